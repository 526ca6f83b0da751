#include "platform/win32/system_library.h"

#include <map>
#include <string>

#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {

namespace {

// Empty, with the reason in `error`, when the system folder cannot be named.
std::string SystemFolderPath(const char* name, DWORD& error) {
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0) error = ::GetLastError();
    if (length >= MAX_PATH) error = ERROR_BUFFER_OVERFLOW;
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(folder, length) + "\\" + name;
}

template <typename Function>
Function* KernelFunction(const char* name) {
    return reinterpret_cast<Function*>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), name)));
}

struct LoadedLibrary {
    std::string path;
    UniqueModule module;
    DWORD error = ERROR_SUCCESS;  // why the module is missing
};

const LoadedLibrary& Load(const char* name) {
    // Only ever used from the window's thread; the libraries go when the program ends. A library
    // that failed stays failed: every later use gets the same reason.
    static std::map<std::string, LoadedLibrary> loaded;
    auto found = loaded.find(name);
    if (found == loaded.end()) {
        LoadedLibrary library;
        library.path = SystemFolderPath(name, library.error);
        if (library.path.empty()) {
            library.path = name;
        } else {
            // By full path: LOAD_LIBRARY_SEARCH_SYSTEM32 fails on XP, and on Vista and 7 without
            // KB2533623. The library's own imports are then looked up beside it first.
            library.module.reset(::LoadLibraryExA(library.path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
            if (!library.module) library.error = ::GetLastError();
        }
        found = loaded.emplace(name, std::move(library)).first;
    }
    return found->second;
}

}  // namespace

HMODULE SystemLibrary(const char* name) { return Load(name).module.get(); }

void* RequiredSystemProc(const char* library, const char* name) {
    const LoadedLibrary& loaded = Load(library);
    DWORD error = loaded.error;
    if (loaded.module) {
        if (const FARPROC proc = ::GetProcAddress(loaded.module.get(), name))
            return reinterpret_cast<void*>(proc);
        error = ::GetLastError();
    }
    throw SystemLibraryError("Cannot load " + std::string(name) + " from " + loaded.path + ": " +
                             SystemMessage(error));
}

void KeepCurrentFolderOutOfDllSearch() {
    // Vista and 7 with KB2533623, and every later system.
    using SetDefaultDllDirectories = BOOL WINAPI(DWORD);
    if (auto* setDefault = KernelFunction<SetDefaultDllDirectories>("SetDefaultDllDirectories"))
        if (setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // XP SP1 and later; an empty folder takes the current one out of the search.
    using SetDllDirectory = BOOL WINAPI(LPCSTR);
    if (auto* setDllDirectory = KernelFunction<SetDllDirectory>("SetDllDirectoryA")) setDllDirectory("");
}

}  // namespace platform::win32
