#pragma once
// Functions of system libraries that the program needs only now and then (a dialog, a shell
// service): loaded from the system folder on first use and kept for the rest of the run, so that
// a start does not pay for a library it may never call.

#include <windows.h>

namespace platform::win32 {

// The library from the system folder, loaded once; nullptr when it cannot be loaded.
HMODULE SystemLibrary(const char* name);

// Called before anything can load a library. Where the system allows it, libraries come only from
// the system folder; elsewhere at least the current folder is out of the search.
void KeepCurrentFolderOutOfDllSearch();

// The function `name` of the system library `library`; nullptr when either is missing.
template <typename Function>
Function* SystemFunction(const char* library, const char* name) {
    const HMODULE module = SystemLibrary(library);
    if (!module) return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace platform::win32
