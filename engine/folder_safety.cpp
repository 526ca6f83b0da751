#include "engine/folder_safety.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <string_view>

#include "system/text.h"

namespace engine {

namespace {

using platform::FolderIdentity;

// The path's root ("C:" or "\\server\share") and its folder names, as written but for the
// trailing dots and blanks that Windows drops.
struct AbsolutePath {
    std::string root;
    std::vector<std::string> names;

    // The path of the root and the first `depth` names: "C:\", "C:\A", "C:\A\B".
    std::string Prefix(std::size_t depth) const {
        std::string path = root + '\\';
        for (std::size_t i = 0; i < depth; ++i) path += (i ? "\\" : "") + names[i];
        return path;
    }
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
    const char drive = sys::UpperAscii(path[0]);
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\' && drive >= 'A' && drive <= 'Z') {
        pos = 3;
        return std::string{drive, ':'};
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

// The refusals that the names alone give; a whole drive still has its path.
Parsed Parse(std::string text) {
    std::replace(text.begin(), text.end(), '/', '\\');
    text = sys::Trim(text);
    if (text.empty()) return {{}, FolderRefusal::NotAbsolute};
    if (HoldsInvalidCharacter(text)) return {{}, FolderRefusal::BadCharacter};
    std::size_t pos = 0;
    const auto root = RootOf(text, pos);
    if (!root) return {{}, FolderRefusal::NotAbsolute};
    Parsed result;
    result.path.root = *root;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\\', pos), text.size());
        std::string name = text.substr(pos, end - pos);
        // Windows ignores trailing dots and blanks of a name.
        while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
        if (name.empty() && end - pos > 0) return {{}, FolderRefusal::DotName};  // ".", "..", "..."
        if (!name.empty()) result.path.names.push_back(name);
        pos = end + 1;
    }
    if (result.path.names.empty()) result.refusal = FolderRefusal::WholeDrive;
    return result;
}

// A folder with what the system says each folder of its path is, the root first and the folder
// itself last; nothing where it cannot say. Each prefix is opened as written, so that the system
// resolves it through the mapped drives, shares and links it names.
struct SeenFolder {
    AbsolutePath path;
    std::vector<std::optional<FolderIdentity>> chain;

    const std::optional<FolderIdentity>& Identity() const { return chain.back(); }
    bool OnPath(const std::optional<FolderIdentity>& identity) const {
        return identity && std::find(chain.begin(), chain.end(), identity) != chain.end();
    }
};

// Asks the file system once for each path: the guarded folders share their first folders.
class Identities {
public:
    explicit Identities(platform::FileSystem& files) : files_(files) {}

    SeenFolder Look(const AbsolutePath& path) {
        SeenFolder seen{path, {}};
        for (std::size_t depth = 0; depth <= path.names.size(); ++depth) {
            const std::string prefix = path.Prefix(depth);
            auto asked = asked_.find(prefix);
            if (asked == asked_.end()) asked = asked_.emplace(prefix, files_.IdentityOf(prefix)).first;
            seen.chain.push_back(asked->second);
        }
        return seen;
    }

private:
    platform::FileSystem& files_;
    std::map<std::string, std::optional<FolderIdentity>> asked_;
};

// By name: whether the folder is the guarded one or above it (with `inside`, also below it). A
// guarded folder's 8.3 name that the system cannot resolve may stand for any name.
bool MeetsByName(const SeenFolder& folder, const SeenFolder& guarded, bool inside) {
    const auto& names = folder.path.names;
    const auto& guardedNames = guarded.path.names;
    if (!sys::SameText(folder.path.root, guarded.path.root) || (names.size() > guardedNames.size() && !inside))
        return false;
    for (std::size_t i = 0; i < std::min(names.size(), guardedNames.size()); ++i)
        if (!sys::SameText(names[i], guardedNames[i]) && !(IsShortAlias(guardedNames[i]) && !guarded.chain[i + 1]))
            return false;
    return true;
}

// By identity: whether the folder is the guarded one or one of the folders on its path (with
// `inside`, also whether the guarded folder is on the folder's own path).
bool MeetsByIdentity(const SeenFolder& folder, const SeenFolder& guarded, bool inside) {
    return guarded.OnPath(folder.Identity()) || (inside && folder.OnPath(guarded.Identity()));
}

bool Meets(const SeenFolder& folder, const std::vector<std::string>& guardedFolders, bool inside,
           Identities& identities) {
    return std::any_of(guardedFolders.begin(), guardedFolders.end(), [&](const std::string& text) {
        const Parsed parsed = Parse(text);
        // A guarded drive root (setup run from one) guards by identity alone: by name it would
        // stand for every folder of its drive.
        const bool byName = !parsed.refusal;
        if (!byName && parsed.refusal != FolderRefusal::WholeDrive) return false;
        const SeenFolder guarded = identities.Look(parsed.path);
        return (byName && MeetsByName(folder, guarded, inside)) || MeetsByIdentity(folder, guarded, inside);
    });
}

}  // namespace

std::optional<FolderRefusal> RemovalRefusal(const std::string& folder, const GuardedFolders& guarded,
                                            platform::FileSystem& files) {
    const Parsed parsed = Parse(folder);
    if (parsed.refusal) return parsed.refusal;
    Identities identities(files);
    const SeenFolder seen = identities.Look(parsed.path);
    // A short name that the system resolves is the folder it names; one it cannot may be any.
    for (std::size_t i = 0; i < seen.path.names.size(); ++i)
        if (IsShortAlias(seen.path.names[i]) && !seen.chain[i + 1]) return FolderRefusal::ShortName;
    if (Meets(seen, guarded.withContents, true, identities) || Meets(seen, guarded.system, false, identities))
        return FolderRefusal::SystemOrUser;
    if (Meets(seen, guarded.setup, false, identities)) return FolderRefusal::SetupFolder;
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
