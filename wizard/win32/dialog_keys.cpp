#include "wizard/win32/dialog_keys.h"

#include <string>

#include "wizard/dialog_keys.h"

namespace wizard::win32 {

namespace {

std::string ClassOf(HWND window) {
    char name[32] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsComboBox(HWND window) { return window && ::lstrcmpiA(ClassOf(window).c_str(), "ComboBox") == 0; }

TFocusedControl Describe(HWND focus) {
    TFocusedControl focused;
    if (!focus) return focused;
    const auto code = ::SendMessageA(focus, WM_GETDLGCODE, 0, 0);
    const auto style = ::GetWindowLongA(focus, GWL_STYLE);
    focused.pushButton = (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
    focused.takesEnter = (code & DLGC_HASSETSEL) && (style & ES_MULTILINE) && (style & ES_WANTRETURN);
    // The focus of a combo box with an edit is in the edit, a child of the box.
    const HWND combo = IsComboBox(focus) ? focus : IsComboBox(::GetParent(focus)) ? ::GetParent(focus) : nullptr;
    focused.listDropped = combo && ::SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0);
    return focused;
}

struct AccessKeySearch {
    char letter;
    HWND found = nullptr;
};

BOOL CALLBACK FindAccessKey(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<AccessKeySearch*>(data);
    if (::IsWindowVisible(window) && ::IsWindowEnabled(window) && HasAccessKey(TextOf(window), search.letter)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// A push button is pressed, a check box or radio button is focused and pressed, a label hands the
// focus to the control after it, any other control takes the focus.
void UseAccessKey(HWND root, HWND control) {
    const auto code = ::SendMessageA(control, WM_GETDLGCODE, 0, 0);
    if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
        ::SendMessageA(control, BM_CLICK, 0, 0);
    } else if (code & DLGC_BUTTON) {
        ::SetFocus(control);
        ::SendMessageA(control, BM_CLICK, 0, 0);
    } else if (code & DLGC_STATIC) {
        if (const HWND next = ::GetNextDlgTabItem(root, control, FALSE)) FocusControl(next);
    } else {
        FocusControl(control);
    }
}

TDialogKey KeyOf(WPARAM key) {
    switch (key) {
    case VK_TAB: return TDialogKey::Tab;
    case VK_RETURN: return TDialogKey::Enter;
    case VK_ESCAPE: return TDialogKey::Escape;
    default: return TDialogKey::Other;
    }
}

}  // namespace

void FocusControl(HWND control) {
    ::SetFocus(control);
    const bool edit = (::SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0;
    if (edit && !(::GetWindowLongA(control, GWL_STYLE) & ES_MULTILINE)) ::SendMessageA(control, EM_SETSEL, 0, -1);
}

bool HandleDialogKey(HWND root, const MSG& message, const DialogButtons& buttons) {
    if (message.hwnd != root && !::IsChild(root, message.hwnd)) return false;
    if (message.message == WM_SYSCHAR) {
        AccessKeySearch search{static_cast<char>(message.wParam)};
        ::EnumChildWindows(root, &FindAccessKey, reinterpret_cast<LPARAM>(&search));
        if (!search.found) return false;
        UseAccessKey(root, search.found);
        return true;
    }
    if (message.message != WM_KEYDOWN) return false;
    // Ctrl and Alt combinations belong to the controls (Ctrl+Tab, Alt+Down in a list).
    if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0) return false;
    const HWND focus = ::GetFocus();
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    switch (DialogKeyAction(KeyOf(message.wParam), shift, Describe(focus))) {
    case TKeyAction::PassOn: return false;
    case TKeyAction::ClickFocused: ::SendMessageA(focus, BM_CLICK, 0, 0); return true;
    case TKeyAction::ClickDefault: buttons.pressDefault(); return true;
    case TKeyAction::ClickCancel: buttons.pressCancel(); return true;
    case TKeyAction::NextControl:
    case TKeyAction::PriorControl: {
        // With no control focused, either key starts at the first.
        const bool none = !focus || focus == root;
        if (const HWND next = ::GetNextDlgTabItem(root, none ? nullptr : focus, !none && shift)) FocusControl(next);
        return true;
    }
    }
    return false;
}

}  // namespace wizard::win32
