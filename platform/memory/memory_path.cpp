#include "platform/memory/memory_path.h"

#include <algorithm>

namespace platform::memory {

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsDelimiter(char c) { return c == '\\' || c == '/'; }

void ApplyNames(std::string_view text, std::vector<std::string>& names) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = std::find_if(text.begin() + start, text.end(), IsDelimiter) - text.begin();
        const auto name = text.substr(start, end - start);
        if (name == "..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.emplace_back(name);
        }
        start = end + 1;
    }
}

std::optional<PathParts> ParseNetworkPath(std::string_view path) {
    std::string_view rest = path.substr(2);
    const auto serverEnd = std::find_if(rest.begin(), rest.end(), IsDelimiter) - rest.begin();
    const auto server = rest.substr(0, serverEnd);
    if (server.empty() || server == "." || server == "?" || serverEnd == static_cast<std::ptrdiff_t>(rest.size()))
        return std::nullopt;
    rest.remove_prefix(serverEnd + 1);
    const auto shareEnd = std::find_if(rest.begin(), rest.end(), IsDelimiter) - rest.begin();
    const auto share = rest.substr(0, shareEnd);
    if (share.empty() || share == "." || share == "..") return std::nullopt;
    PathParts parts;
    parts.share = "\\\\" + std::string(server) + '\\' + std::string(share);
    ApplyNames(rest.substr(shareEnd), parts.names);
    parts.trailingDelimiter = IsDelimiter(path.back()) && !parts.names.empty();
    return parts;
}

}  // namespace

std::optional<PathParts> ParsePath(std::string_view path, const PathParts& currentFolder) {
    if (path.empty()) return std::nullopt;
    PathParts parts;
    std::string_view rest = path;
    if (rest.size() >= 2 && rest[1] == ':') {
        parts.drive = UpperAscii(rest[0]);
        if (parts.drive < 'A' || parts.drive > 'Z') return std::nullopt;
        rest.remove_prefix(2);
        // "C:name" continues from the current folder when that is on the same drive.
        const bool fromRoot = !rest.empty() && IsDelimiter(rest[0]);
        if (!fromRoot && parts.drive == currentFolder.drive && currentFolder.share.empty())
            parts.names = currentFolder.names;
    } else if (IsDelimiter(rest[0])) {
        if (rest.size() >= 2 && IsDelimiter(rest[1])) return ParseNetworkPath(path);
        parts.drive = currentFolder.drive;
        parts.share = currentFolder.share;
    } else {
        parts.drive = currentFolder.drive;
        parts.share = currentFolder.share;
        parts.names = currentFolder.names;
    }
    ApplyNames(rest, parts.names);
    parts.trailingDelimiter = IsDelimiter(path.back()) && !parts.names.empty();
    return parts;
}

std::string FormatPath(const PathParts& parts) {
    std::string text = parts.share.empty() ? std::string{parts.drive, ':'} : parts.share;
    if (parts.names.empty()) return text + '\\';
    for (const auto& name : parts.names) text += '\\' + name;
    return text;
}

std::string FoldCase(std::string_view name) {
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(), UpperAscii);
    return key;
}

bool IsValidName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 32 || std::string_view("<>:\"|?*\\/").find(c) !=
                                                          std::string_view::npos;
    });
}

bool HasWildcards(std::string_view name) { return name.find_first_of("*?") != name.npos; }

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    // Where to resume after the last star: its pattern position and the name position it
    // currently stands in for.
    std::size_t starPattern = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || UpperAscii(pattern[p]) == UpperAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern;
            n = ++starName;
        } else {
            return false;
        }
    }
    return pattern.find_first_not_of("*.", p) == std::string_view::npos;
}

}  // namespace platform::memory
