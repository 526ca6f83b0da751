#pragma once
// The dialog keys (see wizard/dialog_keys.h) in a window that is not a dialog: its messages pass
// here from the message loop before they are dispatched.

#include <windows.h>

#include <functional>

namespace wizard::win32 {

struct DialogButtons {
    std::function<void()> pressDefault;  // Enter away from a push button
    std::function<void()> pressCancel;   // Escape
};

// True when the message was a dialog key of a control inside `root` and has been acted on.
bool HandleDialogKey(HWND root, const MSG& message, const DialogButtons& buttons);

// Gives the focus to a control as the keyboard does: a one-line edit shows its whole text selected,
// so that typing replaces it; a memo (the licence, the output pane) is not highlighted.
void FocusControl(HWND control);

}  // namespace wizard::win32
