#include "platform/win32/system_library.h"

#include <map>
#include <string>

#include "platform/win32/unique_handle.h"

namespace platform::win32 {

namespace {

std::string SystemFolderPath(const char* name) {
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(folder, length) + "\\" + name;
}

template <typename Function>
Function* KernelFunction(const char* name) {
    return reinterpret_cast<Function*>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), name)));
}

}  // namespace

HMODULE SystemLibrary(const char* name) {
    // Only ever used from the window's thread; the libraries go when the program ends.
    static std::map<std::string, UniqueModule> loaded;
    auto found = loaded.find(name);
    if (found == loaded.end()) {
        // By full path: LOAD_LIBRARY_SEARCH_SYSTEM32 fails on XP, and on Vista and 7 without
        // KB2533623. The library's own imports are then looked up beside it first.
        const std::string path = SystemFolderPath(name);
        found = loaded
                    .emplace(name, UniqueModule(path.empty() ? nullptr
                                                             : ::LoadLibraryExA(path.c_str(), nullptr,
                                                                                LOAD_WITH_ALTERED_SEARCH_PATH)))
                    .first;
    }
    return found->second.get();
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
