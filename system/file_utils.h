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

// Whether the path names a file; false for a folder or an unreachable path.
bool FileExists(platform::FileSystem& fs, const std::string& path);

// Whether the path names a link (junction or symbolic link) rather than an entry of its own.
bool IsLink(platform::FileSystem& fs, const std::string& path);

// Whether a search for the name (wildcards allowed) finds anything, file or folder.
bool FileOrDirExists(platform::FileSystem& fs, const std::string& name);

std::string AddPathDelimiter(const std::string& path);
// Removes one trailing backslash, if there is one.
std::string RemovePathDelimiter(const std::string& path);
// Takes off every backslash or slash at the end: each of "C:\\Q\\", "C:\\Q\\\\", "C:\\Q/" -> "C:\\Q".
std::string WithoutTrailingDelimiters(std::string path);
// The file name with its extension (from the last ".") replaced: "a\\P.dpk", ".bpl" -> "a\\P.bpl".
std::string ChangeFileExt(const std::string& file, const std::string& extension);

// Appends the names (without folder) that a search for the pattern with the attribute mask
// finds, leaving out "." and "..". True when the search found something and ran to its end.
bool ListDirectoryEntries(platform::FileSystem& fs, const std::string& pattern,
                          std::uint32_t attributes, std::vector<std::string>& names);

// Appends directory\name of every file that matches the mask, hidden and system files too, in
// search order; with `recursive`, each subfolder whose name matches the mask is searched where
// it is met (depth first), but not a link: what it leads to is not the folder's. When
// `extensions` is not empty, only files whose extension (".dcu") is in it, ignoring case. A
// folder that cannot be searched adds nothing. The directory is given without a trailing
// backslash.
void FindFiles(platform::FileSystem& fs, const std::string& directory, const std::string& mask,
               bool recursive, std::vector<FoundFile>& files,
               const std::vector<std::string>& extensions = {});

// Deletes a folder with everything in it, permanently, read-only, hidden and system files
// included. An entry that cannot be deleted stays with the folders above it, everything else
// goes. True when the folder is gone. Refuses (false, nothing touched) a path that is not a
// folder, a link, or the root of a drive or share: links are removed, never followed.
bool DeleteTree(platform::FileSystem& fs, const std::string& path);

// Moves a folder's contents and then the folder itself to the recycle bin; true when the
// contents went. Refuses what DeleteTree refuses.
bool RecycleDirectory(platform::FileSystem& fs, const std::string& path);

// Creates the folder and any missing folders above it; true when the folder exists at the end.
bool ForceDirectories(platform::FileSystem& fs, const std::string& path);

}  // namespace sys
