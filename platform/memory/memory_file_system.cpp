#include "platform/memory/memory_file_system.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace platform::memory {

namespace {

// The words Windows uses for the failures of a read or a write.
const char* const kFileNotFound = "The system cannot find the file specified.";
const char* const kPathNotFound = "The system cannot find the path specified.";
const char* const kAccessDenied = "Access is denied.";
const char* const kInvalidName =
    "The filename, directory name, or volume label syntax is incorrect.";
const char* const kSharingViolation =
    "The process cannot access the file because it is being used by another process.";

// A chain of links this long is taken for a loop: the path cannot be reached.
constexpr int kMaxLinkHops = 31;

constexpr std::uint32_t kSettableAttributes =
    attr::ReadOnly | attr::Hidden | attr::System | attr::Archive;

[[noreturn]] void FailWrite(const std::string& path, const char* reason) {
    throw FileError("Cannot write file " + path + ": " + reason);
}

}  // namespace

struct MemoryFileSystem::Node {
    std::string name;
    std::uint32_t attributes = 0;  // Directory for folders, with ReparsePoint for links
    std::string data;
    std::map<std::string, std::unique_ptr<Node>> children;  // by FoldCase(name): search order
    std::optional<PathParts> linkTarget;  // a link, a mapped drive's or a share's root
    FolderIdentity identity;
    std::string shortName;  // the 8.3 alias, if it has one
    int openCount = 0;      // held open without sharing

    bool IsDirectory() const { return (attributes & attr::Directory) != 0; }
    bool IsLink() const { return linkTarget.has_value(); }
    bool IsReadOnly() const { return (attributes & attr::ReadOnly) != 0; }
    // Windows reports "normal" for an entry that carries no other attribute.
    std::uint32_t ReportedAttributes() const { return attributes != 0 ? attributes : attr::Normal; }

    Node* Child(std::string_view childName) const {
        const std::string key = FoldCase(childName);
        const auto found = children.find(key);
        if (found != children.end()) return found->second.get();
        const auto alias = std::find_if(children.begin(), children.end(), [&key](const auto& entry) {
            return !entry.second->shortName.empty() && FoldCase(entry.second->shortName) == key;
        });
        return alias == children.end() ? nullptr : alias->second.get();
    }
    Node& Add(std::unique_ptr<Node> child) {
        auto& slot = children[FoldCase(child->name)];
        slot = std::move(child);
        return *slot;
    }
    std::unique_ptr<Node> Remove(std::string_view childName) {
        const auto found = children.find(FoldCase(childName));
        auto child = std::move(found->second);
        children.erase(found);
        return child;
    }
    // Open files below a link belong to the link's target, not to this tree.
    bool HoldsOpenFile() const {
        return openCount > 0 ||
               (!IsLink() && std::any_of(children.begin(), children.end(), [](const auto& entry) {
                    return entry.second->HoldsOpenFile();
                }));
    }
    bool Contains(const Node* node) const {
        return this == node ||
               std::any_of(children.begin(), children.end(),
                           [node](const auto& entry) { return entry.second->Contains(node); });
    }
    // A file whose contents another writer may replace.
    bool IsReplaceableFile() const { return !IsDirectory() && !IsReadOnly() && openCount == 0; }
};

// Where a path leads: the folder of its last name (links on the way followed) and the entry of
// that name there. No folder for a root (the entry is the folder the root leads to) or a path
// that cannot be reached.
struct MemoryFileSystem::Place {
    PathParts parts;
    Node* folder = nullptr;
    std::string name;
    Node* entry = nullptr;
};

struct MemoryFileSystem::RecycledEntry {
    std::string originalPath;
    std::unique_ptr<Node> node;
};

MemoryFileSystem::MemoryFileSystem() { AddDrive('C'); }

MemoryFileSystem::~MemoryFileSystem() = default;

namespace {

char DriveLetter(char letter) {
    const char drive = FoldCase(std::string_view(&letter, 1))[0];
    if (drive < 'A' || drive > 'Z') throw std::invalid_argument("not a drive letter");
    return drive;
}

}  // namespace

void MemoryFileSystem::AddDrive(char letter, FileIndexes indexes) {
    const char drive = DriveLetter(letter);
    auto& root = drives_[drive];
    if (root) return;
    root = std::make_unique<Node>();
    root->name = std::string{drive, ':'};
    root->attributes = attr::Directory;
    // A serial number of its own for each drive, as each volume has.
    root->identity = {0x51560000u + static_cast<std::uint32_t>(drive), ++lastIndex_};
    if (indexes == FileIndexes::None) volumesWithoutIndexes_.push_back(root->identity.volume);
}

std::unique_ptr<MemoryFileSystem::Node> MemoryFileSystem::AliasOf(const std::string& name,
                                                                  const std::string& target) {
    const Place to = Locate(target);
    if (!to.entry || !to.entry->IsDirectory()) throw std::invalid_argument("not a folder: " + target);
    auto root = std::make_unique<Node>();
    root->name = name;
    root->attributes = attr::Directory;
    root->linkTarget = to.parts;
    return root;
}

void MemoryFileSystem::MapDrive(char letter, const std::string& target) {
    const char drive = DriveLetter(letter);
    if (drives_.count(drive)) throw std::invalid_argument("the drive exists: " + std::string{drive, ':'});
    drives_[drive] = AliasOf(std::string{drive, ':'}, target);
}

void MemoryFileSystem::AddShare(const std::string& share, const std::string& target) {
    const auto parts = ParsePath(share, currentFolder_);
    if (!parts || parts->share.empty() || !parts->names.empty())
        throw std::invalid_argument("not a share: " + share);
    shares_[FoldCase(parts->share)] = AliasOf(parts->share, target);
}

void MemoryFileSystem::SetShortName(const std::string& path, const std::string& shortName) {
    const Place place = Locate(path);
    if (!place.folder || !place.entry) throw std::invalid_argument("no such entry: " + path);
    const Node* other = place.folder->Child(shortName);
    if (!IsValidName(shortName) || (other && other != place.entry))
        throw std::invalid_argument("cannot name " + path + " " + shortName);
    place.entry->shortName = shortName;
}

MemoryFileSystem::Node* MemoryFileSystem::Root(const PathParts& parts) const {
    if (!parts.share.empty()) {
        const auto found = shares_.find(FoldCase(parts.share));
        return found == shares_.end() ? nullptr : found->second.get();
    }
    const auto found = drives_.find(parts.drive);
    return found == drives_.end() ? nullptr : found->second.get();
}

MemoryFileSystem::Node& MemoryFileSystem::AddEntry(Node& folder, const std::string& name,
                                                   std::uint32_t attributes) {
    auto child = std::make_unique<Node>();
    child->name = name;
    child->attributes = attributes;
    child->identity = {folder.identity.volume, ++lastIndex_};
    return folder.Add(std::move(child));
}

MemoryFileSystem::Node* MemoryFileSystem::FollowLinks(Node* node, int& linkHops) const {
    while (node && node->IsLink()) {
        if (++linkHops > kMaxLinkHops) return nullptr;
        const PathParts& target = *node->linkTarget;
        node = Descend(target, target.names.size(), linkHops);
    }
    return node;
}

// The entry that the first `count` names lead to, through the links on the way.
MemoryFileSystem::Node* MemoryFileSystem::Descend(const PathParts& parts, std::size_t count,
                                                  int& linkHops) const {
    Node* node = Root(parts);
    for (std::size_t i = 0; i < count && node; ++i) {
        node = FollowLinks(node, linkHops);
        node = node && node->IsDirectory() ? node->Child(parts.names[i]) : nullptr;
    }
    return node;
}

MemoryFileSystem::Place MemoryFileSystem::Locate(const std::string& path) {
    Place place;
    auto parts = ParsePath(path, currentFolder_);
    if (!parts) return place;
    place.parts = std::move(*parts);
    const auto& names = place.parts.names;
    int linkHops = 0;
    if (names.empty()) {
        place.entry = FollowLinks(Root(place.parts), linkHops);
        return place;
    }
    Node* folder = FollowLinks(Descend(place.parts, names.size() - 1, linkHops), linkHops);
    if (!folder || !folder->IsDirectory()) return place;
    Node* entry = folder->Child(names.back());
    // "name\" reaches folders only.
    if (entry && place.parts.trailingDelimiter && !entry->IsDirectory()) return place;
    place.folder = folder;
    place.name = names.back();
    place.entry = entry;
    return place;
}

FindResult MemoryFileSystem::Find(const std::string& pattern, std::uint32_t attributeMask) {
    FindResult result;
    const auto parts = ParsePath(pattern, currentFolder_);
    if (!parts) return result;
    // The last name is the pattern, unless the path ends in a delimiter: then there is none.
    std::size_t folderDepth = parts->names.size();
    std::string namePattern;
    if (!parts->trailingDelimiter && folderDepth > 0) namePattern = parts->names[--folderDepth];
    int linkHops = 0;
    const Node* folder = FollowLinks(Descend(*parts, folderDepth, linkHops), linkHops);
    if (!folder || !folder->IsDirectory()) return result;
    result.completed = true;
    if (namePattern.empty()) return result;

    auto add = [&](const std::string& name, std::uint32_t attributes, std::uint64_t size) {
        if (MatchesWildcard(name, namePattern) && MatchesAttributeMask(attributes, attributeMask))
            result.entries.push_back({name, attributes, size});
    };
    // A drive's root has no "." and "..".
    if (folderDepth > 0) {
        add(".", attr::Directory, 0);
        add("..", attr::Directory, 0);
    }
    for (const auto& [key, child] : folder->children)
        add(child->name, child->ReportedAttributes(), child->data.size());
    return result;
}

std::optional<std::uint32_t> MemoryFileSystem::GetAttributes(const std::string& path) {
    const Place place = Locate(path);
    if (!place.entry) return std::nullopt;
    return place.entry->ReportedAttributes();
}

std::optional<FolderIdentity> MemoryFileSystem::IdentityOf(const std::string& path) {
    int linkHops = 0;
    const Node* node = FollowLinks(Locate(path).entry, linkHops);
    if (!node || std::count(volumesWithoutIndexes_.begin(), volumesWithoutIndexes_.end(), node->identity.volume))
        return std::nullopt;
    return node->identity;
}

bool MemoryFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
    const Place place = Locate(path);
    if (!place.entry) return false;
    Node& entry = *place.entry;
    entry.attributes = (entry.attributes & (attr::Directory | attr::ReparsePoint)) |
                       (attributes & kSettableAttributes);
    return true;
}

bool MemoryFileSystem::CopyFile(const std::string& from, const std::string& to, bool overwrite) {
    const Place source = Locate(from);
    if (!source.entry || source.entry->IsDirectory() || source.entry->openCount > 0) return false;
    const Place target = Locate(to);
    if (!target.folder || !IsValidName(target.name)) return false;
    if (target.entry &&
        (!overwrite || target.entry == source.entry || !target.entry->IsReplaceableFile()))
        return false;
    Node& copy = target.entry ? *target.entry : AddEntry(*target.folder, target.name, 0);
    copy.data = source.entry->data;
    copy.attributes = source.entry->attributes | attr::Archive;
    return true;
}

bool MemoryFileSystem::MoveFile(const std::string& from, const std::string& to) {
    const Place source = Locate(from);
    if (!source.folder || !source.entry || source.entry->HoldsOpenFile()) return false;
    const Place target = Locate(to);
    if (!target.folder || !IsValidName(target.name)) return false;
    if (target.entry == source.entry) {  // a new spelling of the same name, or its 8.3 alias
        if (FoldCase(target.name) == FoldCase(source.entry->name)) source.entry->name = target.name;
        return true;
    }
    if (target.entry || source.entry->Contains(target.folder)) return false;
    auto node = source.folder->Remove(source.entry->name);
    node->name = target.name;
    target.folder->Add(std::move(node));
    return true;
}

bool MemoryFileSystem::DeleteFile(const std::string& path) {
    const Place place = Locate(path);
    if (!place.folder || !place.entry || !place.entry->IsReplaceableFile()) return false;
    place.folder->Remove(place.entry->name);
    return true;
}

bool MemoryFileSystem::CreateDirectory(const std::string& path) {
    const Place place = Locate(path);
    if (!place.folder || place.entry || !IsValidName(place.name)) return false;
    AddEntry(*place.folder, place.name, attr::Directory);
    return true;
}

bool MemoryFileSystem::RemoveDirectory(const std::string& path) {
    const Place place = Locate(path);
    const Node* entry = place.entry;
    if (!place.folder || !entry || !entry->IsDirectory() || entry->IsReadOnly()) return false;
    // A link goes without its target's contents.
    if (!entry->IsLink() && !entry->children.empty()) return false;
    place.folder->Remove(entry->name);
    return true;
}

std::string MemoryFileSystem::ReadWholeFile(const std::string& path) {
    const Place place = Locate(path);
    const char* reason = !place.folder                 ? kPathNotFound
                         : !place.entry                ? kFileNotFound
                         : place.entry->IsDirectory()  ? kAccessDenied
                         : place.entry->openCount > 0 ? kSharingViolation
                                                       : nullptr;
    if (reason) throw FileError("Cannot open file " + path + ": " + reason);
    return place.entry->data;
}

void MemoryFileSystem::WriteFile(const std::string& path, const std::string& data) {
    const Place place = Locate(path);
    if (!place.folder) FailWrite(path, kPathNotFound);
    if (!IsValidName(place.name)) FailWrite(path, kInvalidName);
    if (place.entry && place.entry->openCount > 0) FailWrite(path, kSharingViolation);
    if (place.entry && !place.entry->IsReplaceableFile()) FailWrite(path, kAccessDenied);
    Node& file = place.entry ? *place.entry : AddEntry(*place.folder, place.name, 0);
    file.data = data;
    file.attributes |= attr::Archive;
}

bool MemoryFileSystem::Recycle(const std::string& pattern) {
    const Place place = Locate(pattern);
    if (!place.folder) return false;
    std::vector<std::string> names;
    if (HasWildcards(place.name)) {
        for (const auto& [key, child] : place.folder->children)
            if (MatchesWildcard(child->name, place.name)) names.push_back(child->name);
    } else if (place.entry) {
        names.push_back(place.entry->name);
    } else {
        return false;
    }
    // All or nothing: an open file stops the whole operation before anything moves.
    if (std::any_of(names.begin(), names.end(),
                    [&](const auto& name) { return place.folder->Child(name)->HoldsOpenFile(); }))
        return false;
    PathParts folderParts = place.parts;
    folderParts.names.pop_back();
    const std::string folderPath = FormatPath(folderParts);
    for (const auto& name : names) {
        const std::string separator = folderParts.names.empty() ? "" : "\\";
        recycleBin_.push_back({folderPath + separator + name, place.folder->Remove(name)});
    }
    return true;
}

void MemoryFileSystem::SetCurrentFolder(const std::string& path) {
    const Place place = Locate(path);
    if (!place.entry || !place.entry->IsDirectory())
        throw std::invalid_argument("not a folder: " + path);
    currentFolder_ = place.parts;
    currentFolder_.trailingDelimiter = false;
}

void MemoryFileSystem::CreateDirectoryLink(const std::string& link, const std::string& target) {
    const Place at = Locate(link);
    const Place to = Locate(target);
    if (!at.folder || at.entry || !IsValidName(at.name))
        throw std::invalid_argument("cannot place a link at " + link);
    if (!to.entry || !to.entry->IsDirectory())
        throw std::invalid_argument("not a folder: " + target);
    Node& node = AddEntry(*at.folder, at.name, attr::Directory | attr::ReparsePoint);
    node.linkTarget = to.parts;
}

MemoryFileSystem::OpenFile MemoryFileSystem::OpenWithoutSharing(const std::string& path) {
    const Place place = Locate(path);
    if (!place.entry || place.entry->IsDirectory()) throw FileError("Cannot open file " + path);
    return OpenFile(*place.entry);
}

std::vector<std::string> MemoryFileSystem::RecycleBin() const {
    std::vector<std::string> paths;
    for (const auto& entry : recycleBin_) paths.push_back(entry.originalPath);
    return paths;
}

namespace {

template <typename Node>
std::unique_ptr<Node> CloneNode(const Node& node) {
    auto copy = std::make_unique<Node>();
    copy->name = node.name;
    copy->attributes = node.attributes;
    copy->data = node.data;
    copy->linkTarget = node.linkTarget;
    copy->identity = node.identity;
    copy->shortName = node.shortName;
    for (const auto& [key, child] : node.children) copy->children[key] = CloneNode(*child);
    return copy;
}

}  // namespace

void MemoryFileSystem::CopyFrom(const MemoryFileSystem& other) {
    if (&other == this) return;
    drives_.clear();
    for (const auto& [letter, root] : other.drives_) drives_[letter] = CloneNode(*root);
    shares_.clear();
    for (const auto& [share, root] : other.shares_) shares_[share] = CloneNode(*root);
    volumesWithoutIndexes_ = other.volumesWithoutIndexes_;
    lastIndex_ = other.lastIndex_;
    currentFolder_ = other.currentFolder_;
    recycleBin_.clear();
    for (const auto& entry : other.recycleBin_) recycleBin_.push_back({entry.originalPath, CloneNode(*entry.node)});
}

MemoryFileSystem::OpenFile::OpenFile(Node& file) : file_(&file) { ++file.openCount; }

MemoryFileSystem::OpenFile::OpenFile(OpenFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)) {}

MemoryFileSystem::OpenFile::~OpenFile() {
    if (file_) --file_->openCount;
}

}  // namespace platform::memory
