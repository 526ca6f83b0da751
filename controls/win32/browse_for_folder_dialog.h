#pragma once
// TBrowseForFolderDialog: the shell's folder browser with options, a root folder, a status line,
// filtering and positions, run modally.

#include <windows.h>

#include <cstdint>
#include <functional>

#include "controls/browse_for_folder.h"
#include "controls/win32/shell_support.h"

namespace controls::win32 {

class FolderFilter;

class TBrowseForFolderDialog : public TBrowseForFolder {
public:
    // The file version of shell32.dll, major * 65536 + minor, read once.
    static std::uint32_t InstalledShellVersion();

    // owner: a window of the form the dialog belongs to, or none for the active window.
    explicit TBrowseForFolderDialog(HWND owner = nullptr, std::uint32_t shellVersion = InstalledShellVersion());
    TBrowseForFolderDialog(const TBrowseForFolderDialog&) = delete;
    TBrowseForFolderDialog& operator=(const TBrowseForFolderDialog&) = delete;

    // The application's help for a context number; the help button asks for HelpContext.
    std::function<void(int context)> OnHelp;

    // True when an item was chosen. Throws std::runtime_error when the shell is too old for the
    // dialog; other failures during the run are swallowed.
    bool Execute();
    // The open dialog's window, null while closed.
    HWND Handle() const { return handle_; }

private:
    static int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);
    static LRESULT CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    int Callback(HWND dialog, UINT message, LPARAM lParam);
    LRESULT Route(UINT message, WPARAM wParam, LPARAM lParam);
    HWND OwnerWindow() const;
    void Initialized(HWND dialog);
    void SelectionChanged(LPCITEMIDLIST item);
    void InstallFilter(IUnknown* site);
    void ShowStatus(const std::string& path);
    void PlaceDialog();
    void AddHelpButton();
    void KeepHelpButtonAtBottom();
    void Closed();

    HWND owner_;
    std::uint32_t shellVersion_;
    TBrowseOptions effective_;
    HWND ownerWindow_ = nullptr;
    HWND handle_ = nullptr;
    WNDPROC previousProc_ = nullptr;
    bool placed_ = false;
    HWND helpButton_ = nullptr;
    int helpButtonLeft_ = 0;
    int helpButtonGap_ = 0;  // from the button's top to the dialog's client bottom
    FolderFilter* filter_ = nullptr;  // our reference to the installed filter
    UniquePidl chosen_;
};

}  // namespace controls::win32
