// ui_driver message TITLE [TIMEOUT-MS]
//   Waits for a message box titled TITLE, prints its text and presses its first button.
//   Exit code 0 when one was found, 1 on time-out.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string TextOf(HWND window) {
    char buffer[4096] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
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

int DismissMessage(const std::string& title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (HWND box = FindWindowA("#32770", title.c_str())) {
            MessageBoxParts parts;
            EnumChildWindows(box, CollectPart, reinterpret_cast<LPARAM>(&parts));
            std::printf("%s\n", parts.text.c_str());
            std::fflush(stdout);
            if (parts.firstButton)
                SendMessageA(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(parts.firstButton), BN_CLICKED),
                             reinterpret_cast<LPARAM>(parts.firstButton));
            else
                PostMessageA(box, WM_CLOSE, 0, 0);
            return 0;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "no message box \"%s\" within %lu ms\n", title.c_str(), timeoutMs);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "message" && argc >= 3)
        return DismissMessage(argv[2], argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 30000);
    std::fprintf(stderr, "usage: ui_driver message TITLE [TIMEOUT-MS]\n");
    return 2;
}
