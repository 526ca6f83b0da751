#include "controls/win32/browse_folder_dialog.h"

#include <shlobj.h>

#include <stdexcept>
#include <utility>

#include "controls/win32/shell_support.h"

namespace controls::win32 {

namespace {

constexpr char kDialogObject[] = "QvBrowseFolderDialog";

UniquePidl RootFolder(int csidl) {
    UniquePidl pidl = SpecialFolderItem(csidl);
    if (!pidl) throw std::runtime_error("The shell cannot give the special folder " + std::to_string(csidl));
    return pidl;
}

}  // namespace

bool TBrowseFolderDialog::Execute() {
    ComScope com;
    UniquePidl root;
    if (BrowseKind == bfComputers)
        root = RootFolder(CSIDL_NETWORK);
    else if (!DesktopRoot)
        root = RootFolder(CSIDL_DRIVES);
    displayName_.assign(MAX_PATH, '\0');

    BROWSEINFOA info{};
    info.hwndOwner = owner_;
    info.pidlRoot = root.get();
    info.pszDisplayName = displayName_.data();
    info.lpszTitle = DialogText.empty() ? nullptr : DialogText.c_str();
    info.ulFlags = BrowseFolderFlags(BrowseKind);
    info.lpfn = &TBrowseFolderDialog::BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);

    UniquePidl chosen;
    {
        ModalScope modal;
        chosen = BrowseForFolder(info);
        handle_ = nullptr;
        previousProc_ = nullptr;
    }
    // A handler that failed inside the dialog closed it; its failure is the caller's.
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    if (!chosen) return false;
    if (BrowseKind == bfComputers) {
        FolderName = displayName_.c_str();
    } else {
        char path[MAX_PATH] = {};
        if (!ItemPath(chosen.get(), path))
            throw std::runtime_error("The chosen item has no file-system path");
        FolderName = FolderNameFromPath(path);
    }
    selectionPath_ = FolderName;
    imageIndex_ = info.iImage;
    return true;
}

int CALLBACK TBrowseFolderDialog::BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
    auto* self = reinterpret_cast<TBrowseFolderDialog*>(data);
    self->Guarded(dialog, [&] {
        if (message == BFFM_INITIALIZED) self->Initialized(dialog);
        if (message == BFFM_SELCHANGED) self->SelectionChanged(reinterpret_cast<LPCITEMIDLIST>(lParam));
    });
    return 0;
}

// No exception may unwind through the shell or a window procedure: the first one is kept for
// Execute, and the dialog closes without a choice.
template <typename Step>
void TBrowseFolderDialog::Guarded(HWND dialog, Step step) {
    try {
        step();
    } catch (...) {
        if (!failure_) failure_ = std::current_exception();
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

void TBrowseFolderDialog::Initialized(HWND dialog) {
    if (Position == dpScreenCenter) {
        RECT r{};
        ::GetWindowRect(dialog, &r);
        const Point at = CenterOnScreen({::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)},
                                        {r.right - r.left, r.bottom - r.top});
        ::SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    handle_ = dialog;
    ::SetPropA(dialog, kDialogObject, this);
    previousProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TBrowseFolderDialog::DialogProc)));
    // A folder text that names nothing opens the dialog without preselection.
    if (BrowseKind == bfComputers || DirectoryExists(FolderName))
        ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(FolderName.c_str()));
    if (HelpContext != 0) AddDialogButton(dialog, "&Help", kAddedButtonId, false);
    if (OnInitialized) OnInitialized(*this);
    if (OnCustomize) OnCustomize(*this);
}

void TBrowseFolderDialog::SelectionChanged(LPCITEMIDLIST item) {
    if (BrowseKind == bfComputers) {
        selectionPath_ = displayName_.c_str();
    } else {
        char path[MAX_PATH] = {};
        if (item && ItemPath(item, path)) {
            selectionPath_ = path;
            EnableOk(DirectoryExists(selectionPath_));
        } else {
            selectionPath_.clear();
            EnableOk(false);
        }
    }
    if (OnSelChanged) OnSelChanged(*this);
}

void TBrowseFolderDialog::EnableOk(bool enable) {
    if (OnEnableOKBtn) OnEnableOKBtn(*this, enable);
    controls::win32::EnableOk(handle_, enable);
}

LRESULT CALLBACK TBrowseFolderDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<TBrowseFolderDialog*>(::GetPropA(dialog, kDialogObject));
    const WNDPROC previous = self->previousProc_;
    LRESULT result = 0;
    bool routed = false;
    self->Guarded(dialog, [&] {
        result = self->Route(message, wParam, lParam);
        routed = true;
    });
    return routed ? result : ::CallWindowProcA(previous, dialog, message, wParam, lParam);
}

LRESULT TBrowseFolderDialog::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND dialog = handle_;
    const WNDPROC previous = previousProc_;
    if (message == kEnableOkAgain)
        return ::CallWindowProcA(previous, dialog, BFFM_ENABLEOK, 0, static_cast<LPARAM>(wParam));
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == kAddedButtonId && code == 0 && HelpContext != 0) {
            if (OnHelp) OnHelp(HelpContext);
            return 0;
        }
        bool handled = false;
        if (OnCommand) OnCommand(*this, id, code, handled);
        if (handled) return 0;
    }
    bool handled = false;
    if (OnWndProc) OnWndProc(*this, message, wParam, lParam, handled);
    if (handled) return 0;
    if (message == WM_DESTROY) {
        ::RemovePropA(dialog, kDialogObject);
        ::SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        handle_ = nullptr;
    }
    return ::CallWindowProcA(previous, dialog, message, wParam, lParam);
}

bool TBrowseFolderDialog::AddTextButton(const std::string& text, int id) {
    return AddDialogButton(handle_, text, id, true) != nullptr;
}

void TBrowseFolderDialog::Close() {
    if (handle_) ::PostMessageA(handle_, WM_CLOSE, 0, 0);
}

}  // namespace controls::win32
