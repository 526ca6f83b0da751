// ui_driver COMMAND ...: drives the installer's windows in GUI tests. Windows are found by their
// title, controls inside them by class and caption ("&" ignored) or by "#ID", their identifier.
//
//   message TITLE [TIMEOUT-MS]        waits for a message box, prints its text, presses its first
//                                     button and waits until the box is gone; exit code 1 when
//                                     none came in time
//   wait TITLE [TIMEOUT-MS]           waits until a visible window has the title
//   click TITLE CLASS CONTROL         presses a button (posted: a message box may follow)
//   select TITLE CLASS CONTROL INDEX  selects a list item, as the user does
//   type TITLE CLASS CONTROL TEXT     replaces an edit's text, as typing it does
//   text TITLE CLASS CONTROL          prints the control's text
//   state TITLE CLASS CONTROL         prints "enabled|disabled visible|hidden checked|unchecked|grayed"
//   rect TITLE CLASS CONTROL          prints the control's outer rectangle on the screen: left top right bottom
//   save TITLE PATH [TIMEOUT-MS]      waits for a file dialog, prints its folder's name and the file name,
//                                     then saves to PATH (or cancels for PATH "-")
//   close TITLE                       asks the window to close
//   page TITLE                        prints the shown wizard page's text (its header)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// WM_GETTEXT reaches into the other process; GetWindowText would not for its controls.
std::string TextOf(HWND window) {
    std::string buffer(65536, '\0');
    const auto length = SendMessageA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(length));
    return buffer;
}

std::string WithoutAccelerators(std::string text) {
    std::string result;
    for (char c : text)
        if (c != '&') result += c;
    return result;
}

HWND WaitForWindow(const std::string& title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        HWND window = FindWindowA(nullptr, title.c_str());
        if (window && IsWindowVisible(window)) return window;
        Sleep(100);
    } while (GetTickCount() - start < timeoutMs);
    std::fprintf(stderr, "no window \"%s\" within %lu ms\n", title.c_str(), timeoutMs);
    return nullptr;
}

struct Search {
    std::string className;
    std::string control;  // caption, or "#ID"
    HWND found = nullptr;
};

BOOL CALLBACK Match(HWND child, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, search.className.c_str()) != 0) return TRUE;
    const bool byId = !search.control.empty() && search.control[0] == '#';
    const bool matches = byId ? GetDlgCtrlID(child) == std::atoi(search.control.c_str() + 1)
                              : WithoutAccelerators(TextOf(child)) == WithoutAccelerators(search.control);
    if (!matches) return TRUE;
    search.found = child;
    return FALSE;
}

BOOL CALLBACK MatchId(HWND child, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    if (GetDlgCtrlID(child) != std::atoi(search.control.c_str() + 1)) return TRUE;
    search.found = child;
    return FALSE;
}

// Every descendant of the window, the controls of hidden pages too. "#ID/#ID" looks for the
// second identifier inside the control with the first (a frame's edit).
HWND FindControl(HWND window, const std::string& className, const std::string& control) {
    const auto slash = control.find('/');
    if (slash != std::string::npos) {
        Search outer{"", control.substr(0, slash)};
        EnumChildWindows(window, MatchId, reinterpret_cast<LPARAM>(&outer));
        if (!outer.found) {
            std::fprintf(stderr, "no control \"%s\"\n", outer.control.c_str());
            return nullptr;
        }
        return FindControl(outer.found, className, control.substr(slash + 1));
    }
    Search search{className, control};
    EnumChildWindows(window, Match, reinterpret_cast<LPARAM>(&search));
    if (!search.found) std::fprintf(stderr, "no %s \"%s\"\n", className.c_str(), control.c_str());
    return search.found;
}

// The message box's static text and its buttons are its direct children.
struct MessageBoxParts {
    std::string text;
    HWND firstButton = nullptr;
};

BOOL CALLBACK CollectPart(HWND child, LPARAM data) {
    auto& parts = *reinterpret_cast<MessageBoxParts*>(data);
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && GetWindowTextLengthA(child) > 0 && parts.text.empty())
        parts.text = TextOf(child);
    if (lstrcmpiA(className, "Button") == 0 && !parts.firstButton) parts.firstButton = child;
    return TRUE;
}

void Press(HWND dialog, HWND button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

HWND WaitForDialog(const std::string& title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        if (HWND box = FindWindowA("#32770", title.c_str())) return box;
        Sleep(100);
    } while (GetTickCount() - start < timeoutMs);
    std::fprintf(stderr, "no dialog \"%s\" within %lu ms\n", title.c_str(), timeoutMs);
    return nullptr;
}

int DismissMessage(const std::string& title, DWORD timeoutMs) {
    HWND box = WaitForDialog(title, timeoutMs);
    if (!box) return 1;
    // The box is found as soon as it exists; its text and buttons may come a moment later.
    MessageBoxParts parts;
    const DWORD found = GetTickCount();
    for (;;) {
        parts = MessageBoxParts{};
        EnumChildWindows(box, CollectPart, reinterpret_cast<LPARAM>(&parts));
        if ((parts.firstButton && IsWindowVisible(box)) || GetTickCount() - found > timeoutMs) break;
        Sleep(50);
    }
    std::printf("%s\n", parts.text.c_str());
    std::fflush(stdout);
    // Answered every two seconds while it stays: on a loaded machine Wine may drop an answer that
    // comes while the box is still being shown. Gone before returning, so that waiting for the
    // next message box does not find this one.
    const DWORD start = GetTickCount();
    DWORD answered = start;
    bool first = true;
    while (IsWindow(box) && GetTickCount() - start < timeoutMs) {
        if (first || GetTickCount() - answered >= 2000) {
            if (parts.firstButton)
                Press(box, parts.firstButton);
            else
                PostMessageA(box, WM_CLOSE, 0, 0);
            answered = GetTickCount();
            first = false;
        }
        Sleep(50);
    }
    return 0;
}

int SaveAs(const std::string& title, const std::string& path, DWORD timeoutMs) {
    HWND dialog = WaitForDialog(title, timeoutMs);
    if (!dialog) return 1;
    Sleep(500);  // the dialog fills its folder view after it shows
    // Pointers cannot cross into the dialog's process, so the fields are read as window texts:
    // the folder list (cmb2) and the file name (edt1 or cmb13, by the dialog's style).
    HWND fileName = GetDlgItem(dialog, 0x480) ? GetDlgItem(dialog, 0x480) : GetDlgItem(dialog, 0x47C);
    std::printf("%s\n%s\n", TextOf(GetDlgItem(dialog, 0x471)).c_str(), TextOf(fileName).c_str());
    std::fflush(stdout);
    if (path == "-") {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return 0;
    }
    SendMessageA(fileName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return 0;
}

BOOL CALLBACK MatchShownPage(HWND child, LPARAM data) {
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpA(className, "QvWizardPage") != 0 || !IsWindowVisible(child)) return TRUE;
    *reinterpret_cast<HWND*>(data) = child;
    return FALSE;
}

int PrintShownPage(const std::string& title) {
    HWND window = WaitForWindow(title, 10000);
    if (!window) return 1;
    HWND page = nullptr;
    EnumChildWindows(window, MatchShownPage, reinterpret_cast<LPARAM>(&page));
    if (!page) {
        std::fprintf(stderr, "no page shown in \"%s\"\n", title.c_str());
        return 1;
    }
    std::printf("%s\n", TextOf(page).c_str());
    return 0;
}

int ControlCommand(const std::string& command, int argc, char** argv) {
    HWND window = WaitForWindow(argv[2], 10000);
    if (!window) return 1;
    HWND control = FindControl(window, argv[3], argv[4]);
    if (!control) return 1;
    if (command == "click") {
        if (!IsWindowEnabled(control)) {
            std::fprintf(stderr, "\"%s\" is disabled\n", argv[4]);
            return 1;
        }
        PostMessageA(control, BM_CLICK, 0, 0);
        Sleep(300);
    } else if (command == "select" && argc > 5) {
        SendMessageA(control, CB_SETCURSEL, std::atoi(argv[5]), 0);
        SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
    } else if (command == "type" && argc > 5) {
        SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[5]));
    } else if (command == "text") {
        std::printf("%s\n", TextOf(control).c_str());
    } else if (command == "state") {
        const LRESULT check = SendMessageA(control, BM_GETCHECK, 0, 0);
        std::printf("%s %s %s\n", IsWindowEnabled(control) ? "enabled" : "disabled",
                    IsWindowVisible(control) ? "visible" : "hidden",
                    check == BST_CHECKED ? "checked" : check == BST_INDETERMINATE ? "grayed" : "unchecked");
    } else if (command == "rect") {
        RECT r{};
        ::GetWindowRect(control, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    } else {
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    auto timeout = [&](int index) { return argc > index ? std::strtoul(argv[index], nullptr, 10) : 30000; };
    if (command == "message" && argc >= 3) return DismissMessage(argv[2], timeout(3));
    if (command == "wait" && argc >= 3) return WaitForWindow(argv[2], timeout(3)) ? 0 : 1;
    if (command == "save" && argc >= 4) return SaveAs(argv[2], argv[3], timeout(4));
    if (command == "page" && argc >= 3) return PrintShownPage(argv[2]);
    if (command == "close" && argc >= 3) {
        HWND window = WaitForWindow(argv[2], 10000);
        if (window) PostMessageA(window, WM_CLOSE, 0, 0);
        return window ? 0 : 1;
    }
    if ((command == "click" || command == "text" || command == "state" || command == "rect") && argc >= 5)
        return ControlCommand(command, argc, argv);
    if ((command == "type" || command == "select") && argc >= 6) return ControlCommand(command, argc, argv);
    std::fprintf(stderr, "usage: see the head of tools/ui_driver/main.cpp\n");
    return 2;
}
