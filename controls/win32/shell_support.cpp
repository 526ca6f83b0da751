#include "controls/win32/shell_support.h"

#include <shlwapi.h>

#include "platform/win32/system_library.h"
#include "wizard/win32/gdi_handles.h"

namespace controls::win32 {

namespace {

std::string NameOf(IShellFolder& folder, LPCITEMIDLIST item) {
    STRRET name{};
    char buffer[MAX_PATH] = {};
    if (FAILED(folder.GetDisplayNameOf(item, SHGDN_FORPARSING, &name))) return "";
    // Frees what the folder allocated for the name, whatever it holds.
    static auto* const strRetToBuf = platform::win32::SystemFunction<decltype(::StrRetToBufA)>("shlwapi.dll", "StrRetToBufA");
    if (!strRetToBuf || FAILED(strRetToBuf(&name, item, buffer, MAX_PATH))) return "";
    return buffer;
}

}  // namespace

UniquePidl SpecialFolderItem(int csidl) {
    UniquePidl pidl;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, pidl.put()))) pidl.reset();
    return pidl;
}

UniquePidl ItemFromParsingName(const std::string& name) {
    if (name.empty()) return {};
    return UniquePidl(::ILCreateFromPathA(name.c_str()));
}

std::string ParsingName(LPCITEMIDLIST item) {
    UniqueCom<IShellFolder> desktop;
    if (!item || FAILED(::SHGetDesktopFolder(desktop.put()))) return "";
    return NameOf(*desktop.get(), item);
}

std::string ChildParsingName(IShellFolder& folder, LPCITEMIDLIST child) { return NameOf(folder, child); }

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ModalScope::ModalScope() : active_(::GetActiveWindow()) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &ModalScope::Disable, reinterpret_cast<LPARAM>(this));
}

ModalScope::~ModalScope() {
    for (HWND window : disabled_) ::EnableWindow(window, TRUE);
    if (active_) ::SetActiveWindow(active_);
}

BOOL CALLBACK ModalScope::Disable(HWND window, LPARAM self) {
    if (::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        ::EnableWindow(window, FALSE);
        reinterpret_cast<ModalScope*>(self)->disabled_.push_back(window);
    }
    return TRUE;
}

void EnableOk(HWND dialog, bool enable) {
    ::SendMessageA(dialog, BFFM_ENABLEOK, 0, enable ? TRUE : FALSE);
    ::PostMessageA(dialog, kEnableOkAgain, enable ? TRUE : FALSE, 0);
}

HWND AddDialogButton(HWND dialog, const std::string& text, int id, bool fitText) {
    const HWND first = ::FindWindowExA(dialog, nullptr, "BUTTON", nullptr);
    if (!first) return nullptr;
    RECT r{};
    ::GetWindowRect(first, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
    int width = r.right - r.left;
    if (fitText) {
        // Measured in the font the button gets: the dialog's, or the system font without one.
        wizard::win32::WindowDc dc(dialog);
        wizard::win32::SelectGuard selected(dc.get(), font ? font : ::GetStockObject(SYSTEM_FONT));
        SIZE extent{};
        ::GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        TEXTMETRICA metrics{};
        ::GetTextMetricsA(dc.get(), &metrics);
        // The button's edges and focus frame, and a character's room on each side of the text.
        width = extent.cx + 2 * (metrics.tmAveCharWidth + 3 * ::GetSystemMetrics(SM_CXEDGE));
    }
    const HWND button = ::CreateWindowExA(0, "BUTTON", text.c_str(), 0x54010000, 12, r.top, width, r.bottom - r.top,
                                          dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                          ::GetModuleHandleA(nullptr), nullptr);
    if (font) ::SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::UpdateWindow(dialog);
    return button;
}

}  // namespace controls::win32
