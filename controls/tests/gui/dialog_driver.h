#pragma once
// Acts as the user of a shell folder dialog: once the dialog shows inside its modal loop, a timer
// hands it to the test's steps.

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <utility>

namespace controls::win32::testing {

inline std::function<void(HWND dialog)>& PendingUser() {
    static std::function<void(HWND dialog)> user;
    return user;
}

inline HWND FindBrowseDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            char cls[16] = {};
            ::GetClassNameA(window, cls, sizeof cls);
            if (std::string(cls) == "#32770" && ::IsWindowVisible(window)) {
                *reinterpret_cast<HWND*>(out) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

inline void CALLBACK ActAsUser(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND dialog = FindBrowseDialog();
    if (!dialog || !PendingUser()) return;
    ::KillTimer(nullptr, timer);
    auto user = std::exchange(PendingUser(), nullptr);
    user(dialog);
}

// The user's steps run once the next dialog is up.
inline void WhenDialogShows(std::function<void(HWND dialog)> user) {
    PendingUser() = std::move(user);
    ::SetTimer(nullptr, 0, 200, &ActAsUser);
}

inline std::string SelectedTreeItem(HWND dialog) {
    const HWND tree = ::FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
    const auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    char text[MAX_PATH] = {};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    if (!item || !::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return "";
    return text;
}

inline void Select(HWND dialog, const std::string& path) {
    ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
}

// Selects a path and lets the dialog handle what the selection queued.
inline void SelectAndSettle(HWND dialog, const std::string& path) {
    Select(dialog, path);
    for (int round = 0; round < 5; ++round) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(20);
    }
}

inline std::string WindowText(HWND window) {
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace controls::win32::testing
