#include "wizard/dialog_keys.h"

#include <cctype>

namespace wizard {

TKeyAction DialogKeyAction(TDialogKey key, bool shift, const TFocusedControl& focused) {
    switch (key) {
    case TDialogKey::Tab: return shift ? TKeyAction::PriorControl : TKeyAction::NextControl;
    case TDialogKey::Enter:
        if (focused.listDropped || focused.takesEnter) return TKeyAction::PassOn;
        return focused.pushButton ? TKeyAction::ClickFocused : TKeyAction::ClickDefault;
    case TDialogKey::Escape: return focused.listDropped ? TKeyAction::PassOn : TKeyAction::ClickCancel;
    // Radio buttons, lists and edits keep their own arrow keys.
    case TDialogKey::ArrowBack: return focused.checkBox ? TKeyAction::PriorCheckBox : TKeyAction::PassOn;
    case TDialogKey::ArrowOn: return focused.checkBox ? TKeyAction::NextCheckBox : TKeyAction::PassOn;
    case TDialogKey::Other: break;
    }
    return TKeyAction::PassOn;
}

bool HasAccessKey(const std::string& caption, char letter) {
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return lower(caption[i + 1]) == lower(letter);
        ++i;  // "&&": a plain ampersand
    }
    return false;
}

}  // namespace wizard
