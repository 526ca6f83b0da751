#pragma once
// TBrowseFolderDialog: the shell's folder browser, run modally, with its callback, positioning,
// optional help button and the routing of the dialog window's messages.

#include <windows.h>
#include <shlobj.h>

#include <exception>
#include <functional>
#include <string>

#include "controls/browse_options.h"
#include "controls/dir_edit_browse.h"

namespace controls::win32 {

enum TDialogPosition : std::uint8_t { dpDefault, dpScreenCenter };

class TBrowseFolderDialog : public FolderDialog {
public:
    explicit TBrowseFolderDialog(HWND owner) : owner_(owner) {}
    TBrowseFolderDialog(const TBrowseFolderDialog&) = delete;
    TBrowseFolderDialog& operator=(const TBrowseFolderDialog&) = delete;

    TBrowseKind BrowseKind = bfFolders;
    bool DesktopRoot = true;
    int HelpContext = 0;
    TDialogPosition Position = dpScreenCenter;
    std::function<void(TBrowseFolderDialog& sender)> OnInitialized;
    std::function<void(TBrowseFolderDialog& sender)> OnSelChanged;
    std::function<void(TBrowseFolderDialog& sender, UINT message, WPARAM wParam, LPARAM lParam, bool& handled)>
        OnWndProc;
    std::function<void(TBrowseFolderDialog& sender, bool& enable)> OnEnableOKBtn;
    // The application's help for a context number.
    std::function<void(int context)> OnHelp;

    // Throws std::runtime_error when the shell cannot give the root or the chosen item's path, and
    // what a handler threw while the dialog was open.
    bool Execute() override;
    bool AddTextButton(const std::string& text, int id) override;
    void Close() override;

    HWND Handle() const { return handle_; }
    const std::string& SelectionPath() const { return selectionPath_; }
    int ImageIndex() const { return imageIndex_; }

private:
    static int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);
    static LRESULT CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void Initialized(HWND dialog);
    void SelectionChanged(LPCITEMIDLIST item);
    void EnableOk(bool enable);
    LRESULT Route(UINT message, WPARAM wParam, LPARAM lParam);
    template <typename Step>
    void Guarded(HWND dialog, Step step);

    HWND owner_;
    HWND handle_ = nullptr;
    WNDPROC previousProc_ = nullptr;
    std::string displayName_;
    std::string selectionPath_;
    int imageIndex_ = 0;
    std::exception_ptr failure_;
};

}  // namespace controls::win32
