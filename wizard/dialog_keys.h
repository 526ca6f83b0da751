#pragma once
// The keys a window of controls handles the way a dialog does: Tab and Shift+Tab move through the
// controls, Enter presses the focused push button or else the default one, Escape presses Cancel,
// the arrow keys move among the check boxes of a page, and Alt with a letter acts on the control
// whose caption marks that letter. The decisions, apart from the window calls that carry them out.

#include <string>

namespace wizard {

// Up and Left go back, Down and Right go on.
enum class TDialogKey { Tab, Enter, Escape, ArrowBack, ArrowOn, Other };

// What the focused control is, as far as these keys care.
struct TFocusedControl {
    bool pushButton = false;  // Enter presses it
    bool takesEnter = false;  // a multi-line edit that inserts line breaks
    bool listDropped = false; // an open drop-down list: Enter and Escape close it
    bool checkBox = false;    // the arrow keys move to the next or previous check box beside it
};

enum class TKeyAction {
    PassOn,
    ClickFocused,
    ClickDefault,
    ClickCancel,
    NextControl,
    PriorControl,
    NextCheckBox,
    PriorCheckBox
};

TKeyAction DialogKeyAction(TDialogKey key, bool shift, const TFocusedControl& focused);

// Whether the caption marks `letter` as its access key ("&Next >" marks N, in either case); "&&"
// is a plain ampersand.
bool HasAccessKey(const std::string& caption, char letter);

}  // namespace wizard
