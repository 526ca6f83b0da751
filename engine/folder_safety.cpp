#include "engine/folder_safety.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

#include "system/text.h"

namespace engine {

namespace {

// The path's root ("C:" or "\\server\share") and its folder names, upper case.
struct AbsolutePath {
    std::string root;
    std::vector<std::string> names;
};

// A character that no folder name holds: " < > | ? *, a control character, or a ":" anywhere
// but after the drive letter. Inside a tool's quoted argument it would end the argument or
// change its meaning.
bool HoldsInvalidCharacter(const std::string& folder) {
    for (std::size_t i = 0; i < folder.size(); ++i) {
        const auto c = static_cast<unsigned char>(folder[i]);
        if (c < 32 || std::string_view("\"<>|?*").find(static_cast<char>(c)) != std::string_view::npos) return true;
        if (c == ':' && i != 1) return true;
    }
    return false;
}

// An 8.3 name with "~digits", as the system makes for a long name: at most 8 characters before an
// optional dot, at most 3 after it.
bool IsShortAlias(const std::string& name) {
    const auto dot = name.find('.');
    const std::string base = name.substr(0, dot);
    if (base.empty() || base.size() > 8) return false;
    if (dot != std::string::npos && (name.size() - dot - 1 > 3 || name.find('.', dot + 1) != std::string::npos))
        return false;
    for (auto tilde = base.find('~'); tilde != std::string::npos; tilde = base.find('~', tilde + 1))
        if (tilde + 1 < base.size() && base[tilde + 1] >= '0' && base[tilde + 1] <= '9') return true;
    return false;
}

// The root, or nothing for a path that does not begin with a drive or a share; `pos` is where its
// names begin.
std::optional<std::string> RootOf(const std::string& path, std::size_t& pos) {
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\' && path[0] >= 'A' && path[0] <= 'Z') {
        pos = 3;
        return path.substr(0, 2);
    }
    if (path.rfind("\\\\", 0) != 0) return std::nullopt;
    const auto server = path.find('\\', 2);
    if (server == std::string::npos || server == 2) return std::nullopt;
    const auto share = path.find('\\', server + 1);
    if (share == server + 1) return std::nullopt;
    pos = share == std::string::npos ? path.size() : share + 1;
    return path.substr(0, share);
}

struct Parsed {
    AbsolutePath path;
    std::optional<FolderRefusal> refusal;
};

// A guarded folder may come in 8.3 names (setup started through one): they are kept, and match any
// name, since which folder they stand for is unknown.
Parsed Parse(std::string text, bool keepShortNames = false) {
    std::replace(text.begin(), text.end(), '/', '\\');
    text = sys::UpperAscii(sys::Trim(text));
    Parsed result;
    if (text.empty()) return {{}, FolderRefusal::NotAbsolute};
    if (HoldsInvalidCharacter(text)) return {{}, FolderRefusal::BadCharacter};
    std::size_t pos = 0;
    const auto root = RootOf(text, pos);
    if (!root) return {{}, FolderRefusal::NotAbsolute};
    result.path.root = *root;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\\', pos), text.size());
        std::string name = text.substr(pos, end - pos);
        // Windows ignores trailing dots and blanks of a name.
        while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
        if (name.empty() && end - pos > 0) return {{}, FolderRefusal::DotName};  // ".", "..", "..."
        if (IsShortAlias(name) && !keepShortNames) return {{}, FolderRefusal::ShortName};
        if (!name.empty()) result.path.names.push_back(name);
        pos = end + 1;
    }
    if (result.path.names.empty()) result.refusal = FolderRefusal::WholeDrive;
    return result;
}

// Whether `outer` is `inner` or one of the folders above it.
bool Contains(const AbsolutePath& outer, const AbsolutePath& inner) {
    return outer.root == inner.root && outer.names.size() <= inner.names.size() &&
           std::equal(outer.names.begin(), outer.names.end(), inner.names.begin(),
                      [](const std::string& a, const std::string& b) {
                          return a == b || IsShortAlias(a) || IsShortAlias(b);
                      });
}

// Whether the path is one of the folders or above one of them; with `inside`, also below one.
bool Meets(const AbsolutePath& path, const std::vector<std::string>& folders, bool inside) {
    return std::any_of(folders.begin(), folders.end(), [&](const std::string& folder) {
        const Parsed guarded = Parse(folder, true);
        return !guarded.refusal && (Contains(path, guarded.path) || (inside && Contains(guarded.path, path)));
    });
}

}  // namespace

std::optional<FolderRefusal> RemovalRefusal(const std::string& folder, const GuardedFolders& guarded) {
    const Parsed parsed = Parse(folder);
    if (parsed.refusal) return parsed.refusal;
    if (Meets(parsed.path, guarded.withContents, true) || Meets(parsed.path, guarded.system, false))
        return FolderRefusal::SystemOrUser;
    if (Meets(parsed.path, guarded.setup, false)) return FolderRefusal::SetupFolder;
    return std::nullopt;
}

std::string RefusalReason(FolderRefusal refusal) {
    switch (refusal) {
    case FolderRefusal::NotAbsolute:
        return "it is not a full folder path, one that begins with a drive letter such as C:\\";
    case FolderRefusal::DotName: return "it holds a \"..\" or \".\" name, which may lead anywhere";
    case FolderRefusal::ShortName:
        return "it holds a short 8.3 name such as PROGRA~1, which may stand for any folder";
    case FolderRefusal::BadCharacter:
        return "it holds characters that a Windows folder name cannot hold (\" < > | ? * :)";
    case FolderRefusal::WholeDrive: return "it is a whole drive";
    case FolderRefusal::SystemOrUser: return "it is a folder of the system or of the user, or holds one";
    case FolderRefusal::SetupFolder: return "setup runs from it or from a folder inside it";
    }
    return {};
}

GuardedFolders ProtectedFolders(platform::SystemInfo& system) {
    using platform::SpecialFolder;
    GuardedFolders folders;
    auto add = [&](std::vector<std::string>& to, SpecialFolder kind) {
        if (auto folder = system.GetSpecialFolder(kind)) to.push_back(std::move(*folder));
    };
    for (const auto kind : {SpecialFolder::Windows, SpecialFolder::System, SpecialFolder::SystemX86})
        add(folders.withContents, kind);
    for (const auto kind : {SpecialFolder::ProgramFiles, SpecialFolder::ProgramFilesNative, SpecialFolder::CommonFiles,
                            SpecialFolder::CommonFilesNative, SpecialFolder::UserProfile, SpecialFolder::Personal,
                            SpecialFolder::OwnPersonal, SpecialFolder::Desktop, SpecialFolder::AppData,
                            SpecialFolder::LocalAppData})
        add(folders.system, kind);
    folders.setup = {system.ProgramFolder(), system.CurrentDirectory()};
    return folders;
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

std::optional<std::string> InstallFolderFault(const std::string& folder) {
    if (auto fault = FolderValueFault(folder)) return fault;
    if (folder.find(';') != std::string::npos)
        return "it holds a \";\", which separates the folders of the IDEs' library paths";
    return std::nullopt;
}

}  // namespace engine
