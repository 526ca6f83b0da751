#pragma once
// The path and name rules of the memory file system, as Windows applies them: drive letters,
// backslash (or slash) delimiters, "." and "..", names that ignore the case of A to Z, and the
// wildcards of a directory search.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::memory {

// A full path taken apart, with "." and ".." already applied.
struct PathParts {
    char drive = 'C';                // upper case
    std::string share;               // "\\server\share" for a network path, which has no drive
    std::vector<std::string> names;  // below the drive's or the share's root
    bool trailingDelimiter = false;  // the path ended in a delimiter after a name
};

// Resolves relative forms ("a\b", "\a", "C:a") against the current folder, as Windows does with
// one current folder. A network path "\\server\share\a" has the share for its root, which ".."
// does not leave. Nothing for an empty path, a device path ("\\.\", "\\?\") or a server
// without a share.
std::optional<PathParts> ParsePath(std::string_view path, const PathParts& currentFolder);

// "C:\a\b" or "\\server\share\a"; a root is "C:\" or "\\server\share\".
std::string FormatPath(const PathParts& parts);

// The comparison key of a name: a to z as A to Z, every other character as it is.
std::string FoldCase(std::string_view name);

// Whether a folder or file may carry the name: not empty, not "." or "..", none of <>:"|?* and
// no control characters.
bool IsValidName(std::string_view name);

bool HasWildcards(std::string_view name);

// Search-pattern matching of a name: * stands for any run of characters, ? for exactly one,
// letters ignore case, and trailing dots and stars may match nothing, so "*.*" matches names
// without a dot as well.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

}  // namespace platform::memory
