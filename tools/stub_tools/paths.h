#pragma once
// Windows path texts, handled the same on every host: backslash separators, "X:" drives and
// "\\server" shares.

#include <string>
#include <string_view>

namespace stubs {

bool IsAbsolutePath(std::string_view path);

// The path with "." and ".." parts resolved and every separator a single backslash.
std::string NormalizePath(std::string_view path);

// `name` below `folder`, or `name` alone when it is absolute; normalized.
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder part (no trailing backslash) and the name part of a path.
std::string FolderOf(std::string_view path);
std::string FileNameOf(std::string_view path);

// The name without its extension ("tkQuorvexD7" of "C:\P\tkQuorvexD7.dpk").
std::string StemOf(std::string_view path);

// Whether the path's extension is `extension` (".dpk"), ignoring case.
bool HasExtension(std::string_view path, std::string_view extension);

std::string ChangeExtension(std::string_view path, std::string_view extension);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);

}  // namespace stubs
