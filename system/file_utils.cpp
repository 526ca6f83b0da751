#include "system/file_utils.h"

#include "system/text.h"

namespace sys {

namespace {

using platform::attr::Directory;
using platform::attr::ReparsePoint;

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

// The extension of a file name, with its dot; empty when the name has no dot.
std::string ExtensionOf(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

// "", "\", "C:", "C:\", "\\server" and "\\server\share": a root, never a whole folder to remove.
bool IsRootPath(const std::string& path) {
    const std::string trimmed = WithoutTrailingDelimiters(path);
    if (trimmed.empty()) return true;
    if (trimmed.size() == 2 && trimmed[1] == ':') return true;
    if (trimmed.rfind("\\\\", 0) != 0) return false;
    const auto shareStart = trimmed.find('\\', 2);
    return shareStart == std::string::npos ||
           trimmed.find('\\', shareStart + 1) == std::string::npos;
}

// A folder of its own: not a link to a folder elsewhere.
bool IsRealFolder(std::uint32_t attributes) {
    return (attributes & Directory) != 0 && (attributes & ReparsePoint) == 0;
}

bool IsRemovableFolder(platform::FileSystem& fs, const std::string& path) {
    if (IsRootPath(path)) return false;
    const auto attributes = fs.GetAttributes(path);
    return attributes && IsRealFolder(*attributes);
}

bool DeleteEntry(platform::FileSystem& fs, const std::string& path);

// Empties a folder of its own and removes it; what cannot go stays, with the folders above it.
bool DeleteFolder(platform::FileSystem& fs, const std::string& folder) {
    std::vector<std::string> names;
    ListDirectoryEntries(fs, folder + "\\*.*", platform::attr::AnyFile, names);
    bool allDeleted = true;
    for (const auto& name : names)
        allDeleted = DeleteEntry(fs, folder + '\\' + name) && allDeleted;
    if (!allDeleted) return false;
    fs.SetAttributes(folder, platform::attr::Normal);
    return fs.RemoveDirectory(folder);
}

// Clears read-only, hidden and system first: Windows refuses to remove a read-only entry.
bool DeleteEntry(platform::FileSystem& fs, const std::string& path) {
    const auto attributes = fs.GetAttributes(path);
    if (!attributes) return false;
    if (IsRealFolder(*attributes)) return DeleteFolder(fs, path);
    fs.SetAttributes(path, platform::attr::Normal);
    // A link goes as an empty folder would; what it leads to stays.
    return (*attributes & Directory) != 0 ? fs.RemoveDirectory(path) : fs.DeleteFile(path);
}

}  // namespace

bool DirExists(platform::FileSystem& fs, const std::string& path) {
    if (path.empty()) return false;
    const auto attributes = fs.GetAttributes(path);
    return attributes && (*attributes & Directory) != 0;
}

bool FileExists(platform::FileSystem& fs, const std::string& path) {
    const auto attributes = fs.GetAttributes(path);
    return attributes && (*attributes & Directory) == 0;
}

bool IsLink(platform::FileSystem& fs, const std::string& path) {
    const auto attributes = fs.GetAttributes(RemovePathDelimiter(path));
    return attributes && (*attributes & ReparsePoint) != 0;
}

bool FileOrDirExists(platform::FileSystem& fs, const std::string& name) {
    return !fs.Find(name, platform::attr::AnyFile).entries.empty();
}

std::string AddPathDelimiter(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path;
    return path + '\\';
}

std::string ChangeFileExt(const std::string& file, const std::string& extension) {
    const auto dot = file.find_last_of(".\\");
    const bool hasExtension = dot != std::string::npos && file[dot] == '.';
    return (hasExtension ? file.substr(0, dot) : file) + extension;
}

std::string RemovePathDelimiter(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
    return path;
}

std::string WithoutTrailingDelimiters(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

bool ListDirectoryEntries(platform::FileSystem& fs, const std::string& pattern,
                          std::uint32_t attributes, std::vector<std::string>& names) {
    const auto found = fs.Find(pattern, attributes);
    for (const auto& entry : found.entries)
        if (!IsDotEntry(entry.name)) names.push_back(entry.name);
    return !found.entries.empty() && found.completed;
}

void FindFiles(platform::FileSystem& fs, const std::string& directory, const std::string& mask,
               bool recursive, std::vector<FoundFile>& files,
               const std::vector<std::string>& extensions) {
    for (const auto& entry : fs.Find(directory + '\\' + mask, platform::attr::AnyFile).entries) {
        const std::string path = directory + '\\' + entry.name;
        if ((entry.attributes & Directory) != 0) {
            if (recursive && !IsDotEntry(entry.name) && (entry.attributes & ReparsePoint) == 0)
                FindFiles(fs, path, mask, recursive, files, extensions);
        } else if (extensions.empty() || IndexOfText(ExtensionOf(entry.name), extensions) >= 0) {
            files.push_back({path, static_cast<std::uint32_t>(entry.size)});
        }
    }
}

bool DeleteTree(platform::FileSystem& fs, const std::string& path) {
    return IsRemovableFolder(fs, path) && DeleteFolder(fs, RemovePathDelimiter(path));
}

bool RecycleDirectory(platform::FileSystem& fs, const std::string& path) {
    if (!IsRemovableFolder(fs, path)) return false;
    const bool contentsRecycled = fs.Recycle(AddPathDelimiter(path) + "*.*");
    if (contentsRecycled) fs.Recycle(RemovePathDelimiter(path));
    return contentsRecycled;
}

bool ForceDirectories(platform::FileSystem& fs, const std::string& path) {
    const std::string folder = WithoutTrailingDelimiters(path);
    if (folder.empty()) return false;
    if (DirExists(fs, folder)) return true;
    const auto cut = folder.rfind('\\');
    if (cut != std::string::npos) {
        const std::string parent = folder.substr(0, cut);
        if (!IsRootPath(parent) && !ForceDirectories(fs, parent)) return false;
    }
    return fs.CreateDirectory(folder);
}

}  // namespace sys
