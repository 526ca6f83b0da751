#include "system/file_utils.h"

namespace sys {

bool DirExists(platform::FileSystem& fs, const std::string& path) {
    if (path.empty()) return false;
    const auto attributes = fs.GetAttributes(path);
    return attributes && (*attributes & platform::attr::Directory) != 0;
}

std::string AddPathDelimiter(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path;
    return path + '\\';
}

std::string RemovePathDelimiter(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
    return path;
}

}  // namespace sys
