#pragma once
// Functions of system libraries that the program needs only now and then (a dialog, a shell
// service): loaded from the system folder on first use and kept for the rest of the run, so that
// a start does not pay for a library it may never call.

#include <windows.h>

#include <stdexcept>

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

// A system library, or one of its functions, that cannot be had.
class SystemLibraryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The address of `name` in the system library `library`. Throws SystemLibraryError naming the
// function, the library's path and the system's reason when either is missing.
void* RequiredSystemProc(const char* library, const char* name);

// RequiredSystemProc as the function's own type.
template <typename Function>
Function& RequiredSystemFunction(const char* library, const char* name) {
    return *reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(RequiredSystemProc(library, name)));
}

}  // namespace platform::win32
