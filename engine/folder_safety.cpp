#include "engine/folder_safety.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

#include "system/text.h"

namespace engine {

namespace {

// The path's root ("C:" or "\\server\share") and its folder names, upper case; nothing when the
// path is not absolute or holds names that hide where it leads.
struct AbsolutePath {
    std::string root;
    std::vector<std::string> names;
};

bool IsShortAlias(const std::string& name) {
    const auto tilde = name.find('~');
    return tilde != std::string::npos && tilde + 1 < name.size() && name[tilde + 1] >= '0' &&
           name[tilde + 1] <= '9';
}

std::optional<AbsolutePath> Parse(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    path = sys::UpperAscii(sys::Trim(path));
    AbsolutePath result;
    std::size_t pos = 0;
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\' && path[0] >= 'A' && path[0] <= 'Z') {
        result.root = path.substr(0, 2);
        pos = 3;
    } else if (path.rfind("\\\\", 0) == 0 && path.rfind("\\\\?\\", 0) != 0 &&
               path.rfind("\\\\.\\", 0) != 0) {
        const auto server = path.find('\\', 2);
        if (server == std::string::npos || server == 2) return std::nullopt;
        const auto share = path.find('\\', server + 1);
        result.root = path.substr(0, share);
        if (share == server + 1) return std::nullopt;
        pos = share == std::string::npos ? path.size() : share + 1;
    } else {
        return std::nullopt;
    }
    while (pos < path.size()) {
        const std::size_t end = std::min(path.find('\\', pos), path.size());
        std::string name = path.substr(pos, end - pos);
        // Windows ignores trailing dots and blanks of a name.
        while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
        if (name.empty() && end - pos > 0) return std::nullopt;  // ".", "..", "..."
        if (!name.empty()) {
            if (IsShortAlias(name)) return std::nullopt;
            result.names.push_back(name);
        }
        pos = end + 1;
    }
    return result;
}

// Whether `outer` is `inner` or one of the folders above it.
bool Contains(const AbsolutePath& outer, const AbsolutePath& inner) {
    return outer.root == inner.root && outer.names.size() <= inner.names.size() &&
           std::equal(outer.names.begin(), outer.names.end(), inner.names.begin());
}

}  // namespace

bool MayRemoveFolder(const std::string& folder, const std::vector<std::string>& protectedFolders) {
    const auto path = Parse(folder);
    if (!path || path->names.empty()) return false;
    for (const auto& other : protectedFolders) {
        const auto guarded = Parse(other);
        if (guarded && Contains(*path, *guarded)) return false;
    }
    return true;
}

std::vector<std::string> ProtectedFolders(platform::SystemInfo& system) {
    using platform::SpecialFolder;
    std::vector<std::string> folders;
    for (const auto kind : {SpecialFolder::Windows, SpecialFolder::System, SpecialFolder::ProgramFiles,
                            SpecialFolder::ProgramFilesNative, SpecialFolder::UserProfile,
                            SpecialFolder::Personal, SpecialFolder::Desktop})
        if (auto folder = system.GetSpecialFolder(kind)) folders.push_back(std::move(*folder));
    return folders;
}

bool HoldsInvalidCharacter(const std::string& folder) {
    for (std::size_t i = 0; i < folder.size(); ++i) {
        const auto c = static_cast<unsigned char>(folder[i]);
        if (c < 32 || std::string_view("\"<>|?*").find(static_cast<char>(c)) != std::string_view::npos) return true;
        if (c == ':' && i != 1) return true;
    }
    return false;
}

std::optional<std::string> FolderValueFault(const std::string& folder) {
    if (folder.empty()) return "no folder is given";
    if (HoldsInvalidCharacter(folder))
        return "it holds a character that a folder name cannot hold (\" < > | ? * : or a control character)";
    const auto isDelimiter = [](char c) { return c == '\\' || c == '/'; };
    const bool drive = folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':' &&
                       isDelimiter(folder[2]);
    // \\server\share; "\\.\" names a device, not a folder.
    const std::size_t server = folder.find_first_of("\\/", 2);
    const bool share = folder.size() > 2 && isDelimiter(folder[0]) && isDelimiter(folder[1]) &&
                       server != std::string::npos && server > 2 && folder.compare(2, server - 2, ".") != 0 &&
                       server + 1 < folder.size() && !isDelimiter(folder[server + 1]);
    if (!drive && !share) return "it is not a full path";
    // Windows drops the trailing dots and blanks of a name: ". .." leads to the parent as well.
    std::size_t start = 0;
    while (start < folder.size()) {
        const std::size_t end = std::min(folder.find_first_of("\\/", start), folder.size());
        const std::string_view name(folder.data() + start, end - start);
        if (name.find_first_not_of(". ") == std::string_view::npos &&
            std::count(name.begin(), name.end(), '.') >= 2)
            return "it holds a \"..\" name";
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace engine
