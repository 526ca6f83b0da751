#include "controls/win32/shell_support.h"

#include <shlwapi.h>

#include "platform/win32/system_library.h"
#include "wizard/display_scale.h"
#include "wizard/win32/gdi_handles.h"

namespace controls::win32 {

using platform::win32::RequiredSystemFunction;

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

void FreeItem(LPITEMIDLIST item) {
    // An item list comes from the shell, which brought the object model in with it: the function
    // is there whenever a list is.
    static auto* const taskMemFree =
        platform::win32::SystemFunction<decltype(::CoTaskMemFree)>("ole32.dll", "CoTaskMemFree");
    if (taskMemFree) taskMemFree(item);
}

UniquePidl BrowseForFolder(BROWSEINFOA& info) {
    static auto& browse = RequiredSystemFunction<decltype(::SHBrowseForFolderA)>("shell32.dll", "SHBrowseForFolderA");
    return UniquePidl(browse(&info));
}

bool ItemPath(LPCITEMIDLIST item, char* path) {
    static auto& itemPath =
        RequiredSystemFunction<decltype(::SHGetPathFromIDListA)>("shell32.dll", "SHGetPathFromIDListA");
    return itemPath(item, path);
}

UniquePidl SpecialFolderItem(int csidl) {
    static auto& location =
        RequiredSystemFunction<decltype(::SHGetSpecialFolderLocation)>("shell32.dll", "SHGetSpecialFolderLocation");
    UniquePidl pidl;
    if (FAILED(location(nullptr, csidl, pidl.put()))) pidl.reset();
    return pidl;
}

UniquePidl ItemFromParsingName(const std::string& name) {
    if (name.empty()) return {};
    static auto& fromPath = RequiredSystemFunction<decltype(::ILCreateFromPathA)>("shell32.dll", "ILCreateFromPathA");
    return UniquePidl(fromPath(name.c_str()));
}

std::string ParsingName(LPCITEMIDLIST item) {
    if (!item) return "";
    static auto& desktopFolder =
        RequiredSystemFunction<decltype(::SHGetDesktopFolder)>("shell32.dll", "SHGetDesktopFolder");
    UniqueCom<IShellFolder> desktop;
    if (FAILED(desktopFolder(desktop.put()))) return "";
    return NameOf(*desktop.get(), item);
}

std::string ChildParsingName(IShellFolder& folder, LPCITEMIDLIST child) { return NameOf(folder, child); }

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ComScope::ComScope() {
    static auto& initialize = RequiredSystemFunction<decltype(::CoInitializeEx)>("ole32.dll", "CoInitializeEx");
    static auto& uninitialize = RequiredSystemFunction<decltype(::CoUninitialize)>("ole32.dll", "CoUninitialize");
    if (SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED))) uninitialize_ = &uninitialize;
}

ComScope::~ComScope() {
    if (uninitialize_) uninitialize_();
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
    const HWND button = ::CreateWindowExA(0, "BUTTON", text.c_str(), 0x54010000, wizard::Scaled(12), r.top, width,
                                          r.bottom - r.top,
                                          dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                          ::GetModuleHandleA(nullptr), nullptr);
    if (font) ::SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::UpdateWindow(dialog);
    return button;
}

}  // namespace controls::win32
