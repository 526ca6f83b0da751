// ui_driver COMMAND ...: drives the installer's windows in GUI tests. Windows are found by their
// title, controls inside them by class and caption ("&" ignored) or by "#ID", their identifier.
//
//   message TITLE [TIMEOUT-MS]        waits for a message box, prints its text, presses its first
//                                     button and waits until the box is gone; exit code 1 when
//                                     none came in time or it stayed
//   wait TITLE [TIMEOUT-MS]           waits until a visible window has the title
//   click TITLE CLASS CONTROL         presses a button; returns once the window has handled the
//                                     press or opened a modal loop (a message box) for it
//   focus TITLE CLASS CONTROL         sends the click a button reports when it only takes the focus
//                                     (its check stays as it is); returns once it has been handled
//   select TITLE CLASS CONTROL INDEX  selects a list item, as the user does
//   type TITLE CLASS CONTROL TEXT     replaces an edit's text, as typing it does
//   text TITLE CLASS CONTROL          prints the control's text
//   state TITLE CLASS CONTROL         prints "enabled|disabled visible|hidden checked|unchecked|grayed"
//   rect TITLE CLASS CONTROL          prints the control's outer rectangle on the screen: left top right bottom
//   save TITLE PATH [TIMEOUT-MS]      waits for a file dialog, prints its folder's name and the file name,
//                                     then saves to PATH (or cancels for PATH "-")
//   close TITLE                       asks the window to close
//   endsession TITLE                  asks the window, as Windows does before a shutdown, whether
//                                     the session may end; prints "allowed" or "refused"
//   settle TITLE                      returns once the window's thread has handled every message
//                                     sent before (at once when there is no such window)
//   page TITLE                        prints the shown wizard page's text (its header)
//   focused TITLE                     prints the keyboard focus of the window's thread: the
//                                     control's class, "#ID" and first line of text, or "none"
//   fits TITLE                        measures the text of every shown label, check box, radio
//                                     button, group box and push button in the control's own font
//                                     on its own device context; prints each that its client area
//                                     cuts, and how many were measured; exit code 1 when one is cut
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>

#include "wizard/win32/gdi_canvas.h"

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

// A window's thread answers sent messages in the order they came, and also from inside a modal
// loop. So once it answers this one, everything sent before has been handled, or has opened a
// message box or dialog that now runs. No fixed wait, and a bound for a window that hangs.
bool Settle(HWND window) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result)) return true;
    if (!IsWindow(window)) return true;  // the press closed it
    std::fprintf(stderr, "the window did not answer within 30 s\n");
    return false;
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

// The message box's static text and its buttons are its direct children. Wine makes a button for
// every answer and hides those the box does not offer, so only a shown button counts.
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
    if (lstrcmpiA(className, "Button") == 0 && !parts.firstButton && IsWindowVisible(child) &&
        GetWindowTextLengthA(child) > 0)
        parts.firstButton = child;
    return TRUE;
}

void Press(HWND dialog, HWND button) {
    SendNotifyMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
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

MessageBoxParts ReadParts(HWND box) {
    MessageBoxParts parts;
    EnumChildWindows(box, CollectPart, reinterpret_cast<LPARAM>(&parts));
    return parts;
}

int DismissMessage(const std::string& title, DWORD timeoutMs) {
    HWND box = WaitForDialog(title, timeoutMs);
    if (!box) return 1;
    // The box is found as soon as it exists. It shows once laid out, its unused buttons gone; a
    // button read before then may be one that the box does not offer.
    MessageBoxParts parts;
    const DWORD found = GetTickCount();
    while (!IsWindowVisible(box) || !(parts = ReadParts(box)).firstButton) {
        if (GetTickCount() - found > timeoutMs) {
            std::fprintf(stderr, "the message box \"%s\" showed no button within %lu ms\n", title.c_str(), timeoutMs);
            return 1;
        }
        Sleep(50);
    }
    std::printf("%s\n", parts.text.c_str());
    std::fflush(stdout);
    // Gone before returning, so that waiting for the next message box does not find this one.
    Press(box, parts.firstButton);
    const DWORD pressed = GetTickCount();
    while (IsWindow(box)) {
        if (GetTickCount() - pressed > timeoutMs) {
            std::fprintf(stderr, "the message box \"%s\" stayed for %lu ms\n", title.c_str(), timeoutMs);
            return 1;
        }
        Sleep(50);
    }
    return 0;
}

int SaveAs(const std::string& title, const std::string& path, DWORD timeoutMs) {
    HWND dialog = WaitForDialog(title, timeoutMs);
    if (!dialog) return 1;
    // Pointers cannot cross into the dialog's process, so the fields are read as window texts:
    // the folder list (cmb2) and the file name (edt1 or cmb13, by the dialog's style). The dialog
    // fills its folder list after it shows.
    HWND fileName = GetDlgItem(dialog, 0x480) ? GetDlgItem(dialog, 0x480) : GetDlgItem(dialog, 0x47C);
    std::string folder;
    const DWORD start = GetTickCount();
    while ((folder = TextOf(GetDlgItem(dialog, 0x471))).empty() && GetTickCount() - start < timeoutMs) Sleep(50);
    std::printf("%s\n%s\n", folder.c_str(), TextOf(fileName).c_str());
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

int PrintFocus(const std::string& title) {
    HWND window = WaitForWindow(title, 10000);
    if (!window) return 1;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus) {
        std::printf("none\n");
        return 0;
    }
    char className[64] = {};
    GetClassNameA(info.hwndFocus, className, sizeof className);
    std::string text = WithoutAccelerators(TextOf(info.hwndFocus));
    text = text.substr(0, text.find_first_of("\r\n"));  // a memo's first line
    std::printf("%s #%d %s\n", className, GetDlgCtrlID(info.hwndFocus), text.c_str());
    return 0;
}

// What a control's text needs against what it has, in pixels.
struct TextFit {
    SIZE needed{};
    SIZE has{};
    bool Fits() const { return needed.cx <= has.cx && needed.cy <= has.cy; }
};

// The text as a control draws it: "&&" is one "&", a single "&" only marks the access key.
std::string Drawn(const std::string& text) {
    std::string drawn;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        drawn += text[i];
    }
    return drawn;
}

// Nothing when the control shows no text of its own (an edit, a list, a bevel, an icon).
std::optional<TextFit> MeasureText(HWND control) {
    char className[64] = {};
    GetClassNameA(control, className, sizeof className);
    const bool isStatic = lstrcmpiA(className, "Static") == 0, isButton = lstrcmpiA(className, "Button") == 0;
    const std::string text = TextOf(control);
    if ((!isStatic && !isButton) || text.empty()) return std::nullopt;
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const LONG kind = style & (isStatic ? SS_TYPEMASK : BS_TYPEMASK);
    if (isStatic && kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT && kind != SS_LEFTNOWORDWRAP &&
        kind != SS_SIMPLE)
        return std::nullopt;
    if (isButton && (kind == BS_OWNERDRAW || kind == BS_USERBUTTON)) return std::nullopt;

    RECT client{};
    GetClientRect(control, &client);
    TextFit fit;
    fit.has = {client.right, client.bottom};
    // A font handle does not cross into this process (WM_GETFONT answers none here): the text is
    // measured in the font the wizard makes for every control, at the control's DC's DPI.
    HDC dc = GetDC(control);
    const wizard::win32::UniqueFont font = wizard::win32::CreateFontFor(dc, wizard::Font{});
    const HGDIOBJ old = SelectObject(dc, font.get());
    if (!old) {
        // Measured in another font, the answer would mean nothing.
        ReleaseDC(control, dc);
        throw std::runtime_error("the wizard's font cannot be selected into the DC of control #" +
                                 std::to_string(GetDlgCtrlID(control)));
    }
    const std::string drawn = Drawn(text);
    SIZE extent{};
    GetTextExtentPoint32A(dc, drawn.c_str(), static_cast<int>(drawn.size()), &extent);
    const bool wraps = isStatic ? kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT : (style & BS_MULTILINE);
    if (wraps) {
        RECT r{0, 0, fit.has.cx, 0};
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | ((style & SS_NOPREFIX) && isStatic ? DT_NOPREFIX : 0));
        fit.needed = {r.right, r.bottom};
    } else {
        fit.needed = extent;
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    if (isButton) {
        const int edge = GetSystemMetrics(SM_CXEDGE);
        if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE ||
            kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON)
            fit.needed.cx += GetSystemMetrics(SM_CXMENUCHECK) + 3 * edge + 2;  // the mark and its gap
        else if (kind == BS_GROUPBOX)
            fit.needed.cx += extent.cy;  // the frame's corner before the caption and the room after it
        else
            fit.needed.cx += 2 * (edge + 1);  // the push button's edges and focus frame
    }
    return fit;
}

struct FitCount {
    int measured = 0;
    int cut = 0;
    std::string failure;
};

BOOL CALLBACK CheckFit(HWND child, LPARAM data) {
    auto& count = *reinterpret_cast<FitCount*>(data);
    if (!IsWindowVisible(child)) return TRUE;
    std::optional<TextFit> fit;
    try {
        fit = MeasureText(child);
    } catch (const std::exception& error) {
        count.failure = error.what();  // not thrown through the system's enumeration
        return FALSE;
    }
    if (!fit) return TRUE;
    ++count.measured;
    if (fit->Fits()) return TRUE;
    ++count.cut;
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    std::string text = TextOf(child);
    text = text.substr(0, text.find_first_of("\r\n"));
    std::printf("cut: %s #%d \"%s\" needs %ld x %ld, has %ld x %ld\n", className, GetDlgCtrlID(child), text.c_str(),
                fit->needed.cx, fit->needed.cy, fit->has.cx, fit->has.cy);
    return TRUE;
}

int CheckTextsFit(const std::string& title) {
    HWND window = WaitForWindow(title, 10000);
    if (!window) return 1;
    FitCount count;
    EnumChildWindows(window, CheckFit, reinterpret_cast<LPARAM>(&count));
    if (!count.failure.empty()) {
        std::fprintf(stderr, "%s\n", count.failure.c_str());
        return 1;
    }
    std::printf("%d texts measured, %d cut\n", count.measured, count.cut);
    return count.cut == 0 && count.measured > 0 ? 0 : 1;
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
        // Sent without waiting: a message box may follow, and it holds the handler.
        SendNotifyMessageA(control, BM_CLICK, 0, 0);
        if (!Settle(control)) return 1;
    } else if (command == "focus") {
        Press(GetParent(control), control);
        if (!Settle(control)) return 1;
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
    if (command == "focused" && argc >= 3) return PrintFocus(argv[2]);
    if (command == "fits" && argc >= 3) return CheckTextsFit(argv[2]);
    if (command == "settle" && argc >= 3) {
        HWND window = FindWindowA(nullptr, argv[2]);
        return !window || Settle(window) ? 0 : 1;  // no window: nothing to wait for
    }
    if (command == "close" && argc >= 3) {
        HWND window = WaitForWindow(argv[2], 10000);
        if (window) PostMessageA(window, WM_CLOSE, 0, 0);
        return window ? 0 : 1;
    }
    if (command == "endsession" && argc >= 3) {
        HWND window = WaitForWindow(argv[2], 10000);
        DWORD_PTR answer = 0;
        if (!window || !SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer))
            return 1;
        std::printf("%s\n", answer ? "allowed" : "refused");
        return 0;
    }
    if ((command == "click" || command == "focus" || command == "text" || command == "state" || command == "rect") && argc >= 5)
        return ControlCommand(command, argc, argv);
    if ((command == "type" || command == "select") && argc >= 6) return ControlCommand(command, argc, argv);
    std::fprintf(stderr, "usage: see the head of tools/ui_driver/main.cpp\n");
    return 2;
}
