#include "controls/win32/folder_filter.h"

#include "controls/win32/shell_support.h"

namespace controls::win32 {

namespace {
constexpr DWORD kObjectClassFlags = TObjectClasses::FromFlags(~0u).Flags();
}  // namespace

HRESULT FolderFilter::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IFolderFilter)) {
        *object = static_cast<IFolderFilter*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FolderFilter::AddRef() { return ++references_; }

ULONG FolderFilter::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT FolderFilter::ShouldShow(IShellFolder* folder, PCIDLIST_ABSOLUTE, PCUITEMID_CHILD item) {
    if (!dialog_ || !folder || !item) return S_OK;
    try {
        return dialog_->ShowsItem(ChildParsingName(*folder, item)) ? S_OK : S_FALSE;
    } catch (...) {
        return S_OK;  // a failing handler must not unwind through the shell
    }
}

HRESULT FolderFilter::GetEnumFlags(IShellFolder*, PCIDLIST_ABSOLUTE folderItem, HWND*, DWORD* flags) {
    if (!dialog_ || !flags) return S_OK;
    try {
        const TObjectClasses classes = dialog_->EnumFlagsFor(ParsingName(folderItem), TObjectClasses::FromFlags(*flags));
        *flags = (*flags & ~kObjectClassFlags) | classes.Flags();
    } catch (...) {
    }
    return S_OK;
}

}  // namespace controls::win32
