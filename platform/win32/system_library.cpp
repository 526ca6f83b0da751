#include "platform/win32/system_library.h"

#include <map>
#include <string>

#include "platform/win32/unique_handle.h"

namespace platform::win32 {

HMODULE SystemLibrary(const char* name) {
    // Only ever used from the window's thread; the libraries go when the program ends.
    static std::map<std::string, UniqueModule> loaded;
    auto found = loaded.find(name);
    if (found == loaded.end())
        found = loaded.emplace(name, UniqueModule(::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)))
                    .first;
    return found->second.get();
}

}  // namespace platform::win32
