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

bool IsCheckBox(HWND window) {
    if (!window || ::lstrcmpiA(ClassOf(window).c_str(), "Button") != 0) return false;
    switch (::GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return true;
    default: return false;
    }
}

// The next (or previous) check box among the control's siblings that can take the focus, going
// round from the last to the first; the control itself when it is the only one.
HWND SiblingCheckBox(HWND control, bool previous) {
    const UINT step = previous ? GW_HWNDPREV : GW_HWNDNEXT;
    const UINT restart = previous ? GW_HWNDLAST : GW_HWNDFIRST;
    HWND sibling = ::GetWindow(control, step);
    for (int guard = 0; guard < 1000; ++guard) {
        if (!sibling) sibling = ::GetWindow(control, restart);
        if (!sibling || sibling == control) return control;
        if (IsCheckBox(sibling) && ::IsWindowVisible(sibling) && ::IsWindowEnabled(sibling)) return sibling;
        sibling = ::GetWindow(sibling, step);
    }
    return control;
}

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
    focused.checkBox = IsCheckBox(focus);
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
    case VK_UP:
    case VK_LEFT: return TDialogKey::ArrowBack;
    case VK_DOWN:
    case VK_RIGHT: return TDialogKey::ArrowOn;
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
    const TKeyAction action = DialogKeyAction(KeyOf(message.wParam), shift, Describe(focus));
    switch (action) {
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
    case TKeyAction::NextCheckBox:
    case TKeyAction::PriorCheckBox:
        ::SetFocus(SiblingCheckBox(focus, action == TKeyAction::PriorCheckBox));
        return true;
    }
    return false;
}

}  // namespace wizard::win32
