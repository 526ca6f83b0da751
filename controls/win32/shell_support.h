#pragma once
// What both folder dialogs need of the shell and the window system: item lists as owned handles,
// the component object model and the modal state around a run, names of items, and the button a
// dialog gets beside its own. The shell and the object model are loaded on first use, as most runs
// never open a dialog; one that cannot be loaded raises platform::win32::SystemLibraryError.

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace controls::win32 {

// Gives an item list back to the shell allocator.
void FreeItem(LPITEMIDLIST item);

struct PidlTraits {  // item lists come from, and go back to, the shell allocator
    using Handle = LPITEMIDLIST;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { FreeItem(h); }
};
using UniquePidl = platform::win32::UniqueHandle<PidlTraits>;

template <typename Interface>
struct ComTraits {  // one reference to a component object, released when the owner goes
    using Handle = Interface*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { h->Release(); }
};
template <typename Interface>
using UniqueCom = platform::win32::UniqueHandle<ComTraits<Interface>>;

// SHBrowseForFolder: the chosen item, or none when the dialog was cancelled.
UniquePidl BrowseForFolder(BROWSEINFOA& info);
// The file-system path of an item into `path` (MAX_PATH characters); false when it has none.
bool ItemPath(LPCITEMIDLIST item, char* path);
// A shell special folder as an item list; empty when the shell has none.
UniquePidl SpecialFolderItem(int csidl);
// The item a parsing name (a path, or a shell name) stands for; empty when it names nothing.
UniquePidl ItemFromParsingName(const std::string& name);
// The desktop-relative parsing name of an item: a file-system path for file-system items.
std::string ParsingName(LPCITEMIDLIST item);
// The parsing name of a child item of a shell folder.
std::string ChildParsingName(IShellFolder& folder, LPCITEMIDLIST child);

bool DirectoryExists(const std::string& path);

class ComScope {
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    void(WINAPI* uninitialize_)() = nullptr;  // set while this scope initialized the object model
};

// The application's other windows stay disabled while a dialog runs, and come back in every case.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM self);
    HWND active_;
    std::vector<HWND> disabled_;
};

// Some shells decide OK once more after the selection callback. EnableOk sends the decision at once
// and posts it again; the dialog's replaced window procedure answers kEnableOkAgain by passing
// BFFM_ENABLEOK with the posted value (wParam) on to the shell's procedure.
inline constexpr UINT kEnableOkAgain = WM_APP + 0x51;
void EnableOk(HWND dialog, bool enable);

// A push button at the dialog's left (x 12), lined up with the dialog's first button and as wide
// as it, or as its own text in the dialog's font with the button's margins; with the dialog's
// font. Null when the dialog has no button. The dialog owns the new button and destroys it with
// itself.
HWND AddDialogButton(HWND dialog, const std::string& text, int id, bool fitText);

}  // namespace controls::win32
