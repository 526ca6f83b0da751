#pragma once
// File, path and folder helpers, written once over the file-system primitives so that every
// backend behaves alike. None raises for a missing file or folder; results tell.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace sys {

// A file found by FindFiles: full path and its size (32 bits, as the file list keeps it).
struct FoundFile {
    std::string path;
    std::uint32_t size = 0;
};

// Whether the path names a folder; false for an empty path, a file or an unreachable path.
bool DirExists(platform::FileSystem& fs, const std::string& path);

std::string AddPathDelimiter(const std::string& path);
std::string RemovePathDelimiter(const std::string& path);

}  // namespace sys
