#pragma once
// The imports of a 32-bit Windows module (a package is a DLL), read from its bytes without the
// system loader. Bounded on any input: a file that is not a well-formed 32-bit image, however it
// is damaged, reads as nothing.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace sys {

struct Pe32Image {
    // File names of the modules it imports, load-time ones first, then delay-loaded ones, each
    // once, in the order of the tables.
    std::vector<std::string> imports;
};

// Nothing when the bytes are not a readable i386 image with sound import tables.
std::optional<Pe32Image> ReadPe32Imports(std::string_view bytes);
// Nothing also when the file cannot be read.
std::optional<Pe32Image> ReadPe32Imports(platform::FileSystem& files, const std::string& path);

}  // namespace sys
