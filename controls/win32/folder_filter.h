#pragma once
// The folder filter a browse dialog installs at the shell's filter site: each listed item and each
// folder's object classes are decided by the dialog's events.

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "controls/browse_for_folder.h"

namespace controls::win32 {

// A component object with its own reference count. It reaches its dialog only until Detach, since
// the shell may hold a reference a little longer than the run.
class FolderFilter final : public IFolderFilter {
public:
    // Created with one reference, the creator's.
    explicit FolderFilter(TBrowseForFolder& dialog) : dialog_(&dialog) {}
    void Detach() { dialog_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // S_OK shows the item, S_FALSE hides it.
    HRESULT STDMETHODCALLTYPE ShouldShow(IShellFolder* folder, PCIDLIST_ABSOLUTE folderItem,
                                         PCUITEMID_CHILD item) override;
    // Replaces the object-class bits of the flags and keeps the others.
    HRESULT STDMETHODCALLTYPE GetEnumFlags(IShellFolder* folder, PCIDLIST_ABSOLUTE folderItem, HWND* window,
                                           DWORD* flags) override;

private:
    ~FolderFilter() = default;
    TBrowseForFolder* dialog_;
    ULONG references_ = 1;
};

}  // namespace controls::win32
