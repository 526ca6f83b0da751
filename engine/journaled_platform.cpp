#include "engine/journaled_platform.h"

#include <set>

#include "system/file_utils.h"
#include "system/text.h"

namespace engine::journal {

namespace {

using platform::Hive;
using platform::KeyAccess;
using platform::RegistryValue;
namespace attr = platform::attr;

// A set that names a file twice is done one file at a time, each step seeing the last one's result.
bool NamesAFileTwice(const std::vector<platform::FilePair>& pairs) {
    if (pairs.size() < 2) return false;
    std::set<std::string> seen;
    for (const auto& pair : pairs)
        if (!seen.insert(sys::UpperAscii(pair.from)).second || !seen.insert(sys::UpperAscii(pair.to)).second) return true;
    return false;
}

// Each pair as a set of its own.
template <typename Change>
std::size_t OneByOne(const std::vector<platform::FilePair>& pairs, Change change) {
    std::size_t done = 0;
    for (const auto& pair : pairs) done += change(std::vector<platform::FilePair>{pair});
    return done;
}

bool SameValue(const std::optional<RegistryValue>& a, const RegistryValue& b) {
    return a && a->kind == b.kind && a->bytes == b.bytes;
}

class JournaledKey : public platform::RegistryKey {
public:
    JournaledKey(std::unique_ptr<platform::RegistryKey> inner, std::string rootName, std::string path, IdeJournal& journal)
        : inner_(std::move(inner)), rootName_(std::move(rootName)), path_(std::move(path)), journal_(journal) {}

    std::string ReadString(const std::string& name) const override { return inner_->ReadString(name); }
    std::optional<std::int32_t> ReadInteger(const std::string& name) const override {
        return inner_->ReadInteger(name);
    }
    bool ValueExists(const std::string& name) const override { return inner_->ValueExists(name); }

    void WriteString(const std::string& name, const std::string& value) override {
        Changing(name, platform::StringValue(value));
        inner_->WriteString(name, value);
    }
    void WriteInteger(const std::string& name, std::int32_t value) override {
        Changing(name, platform::IntegerValue(value));
        inner_->WriteInteger(name, value);
    }
    bool DeleteValue(const std::string& name) override {
        const auto old = inner_->ReadValue(name);
        if (!old) return inner_->DeleteValue(name);
        journal_.ValueChanging(rootName_, path_, name, old);
        if (!inner_->DeleteValue(name))
            throw platform::RegistryError("Cannot delete value \"" + name + "\" of key " + rootName_ + "\\" + path_ +
                                          ": the registry refused it.");
        return true;
    }
    std::optional<RegistryValue> ReadValue(const std::string& name) const override { return inner_->ReadValue(name); }
    void WriteValue(const std::string& name, const RegistryValue& value) override {
        Changing(name, value);
        inner_->WriteValue(name, value);
    }

    std::vector<std::string> ValueNames() const override { return inner_->ValueNames(); }
    std::vector<std::pair<std::string, std::string>> StringValues() const override { return inner_->StringValues(); }
    std::vector<std::string> SubkeyNames() const override { return inner_->SubkeyNames(); }

private:
    // A write that leaves the value as it is needs no entry.
    void Changing(const std::string& name, const RegistryValue& value) {
        const auto old = inner_->ReadValue(name);
        if (!SameValue(old, value)) journal_.ValueChanging(rootName_, path_, name, old);
    }

    std::unique_ptr<platform::RegistryKey> inner_;
    std::string rootName_;
    std::string path_;
    IdeJournal& journal_;
};

}  // namespace

std::unique_ptr<platform::RegistryKey> JournaledRegistry::OpenKey(Hive root, const std::string& path,
                                                                  KeyAccess access) {
    if (access == KeyAccess::Read) return inner_.OpenKey(root, path, access);
    const std::string key = platform::NormalizeKeyPath(path);
    if (access == KeyAccess::CreateWrite && !inner_.KeyExists(root, key)) {
        // The first missing key of the path: undoing removes it with what lies below.
        std::string first;
        std::size_t end = 0;
        do {
            end = key.find('\\', end + 1);
            first = key.substr(0, end);
        } while (inner_.KeyExists(root, first) && end != std::string::npos);
        journal_.KeyCreating(inner_.RootName(root), first);
    }
    auto opened = inner_.OpenKey(root, key, access);
    if (!opened) return opened;
    return std::make_unique<JournaledKey>(std::move(opened), inner_.RootName(root), key, journal_);
}

bool JournaledRegistry::KeyExists(Hive root, const std::string& path) { return inner_.KeyExists(root, path); }

bool JournaledRegistry::DeleteKey(Hive root, const std::string& path) {
    const std::string key = platform::NormalizeKeyPath(path);
    if (key.empty() || !inner_.KeyExists(root, key)) return inner_.DeleteKey(root, key);
    journal_.KeyDeleting(inner_, root, key);
    if (!inner_.DeleteKey(root, key))
        throw platform::RegistryError("Cannot delete key " + inner_.RootName(root) + "\\" + key +
                                      ": the registry refused it.");
    return true;
}

// ---------------------------------------------------------------------------------------------

platform::FindResult JournaledFiles::Find(const std::string& pattern, std::uint32_t attributeMask) {
    return inner_.Find(pattern, attributeMask);
}

std::optional<std::uint32_t> JournaledFiles::GetAttributes(const std::string& path) {
    return inner_.GetAttributes(path);
}

bool JournaledFiles::SetAttributes(const std::string& path, std::uint32_t attributes) {
    const auto old = inner_.GetAttributes(path);
    if (!old) return inner_.SetAttributes(path, attributes);
    journal_.AttributesChanging(path, *old);
    return Done(inner_.SetAttributes(path, attributes), "change the attributes of", path);
}

bool JournaledFiles::Done(bool succeeded, const std::string& action, const std::string& path) {
    if (!succeeded) throw JournalError("Cannot " + action + " " + path + ".");
    return true;
}

void JournaledFiles::MoveInto(const std::string& path, const std::string& saved) {
    if (!inner_.MoveFile(path, saved))
        throw JournalError("The file " + path + " cannot be removed: it could not be moved into the journal.");
}

// A single change is a set of one: one entry, the same checks.
bool JournaledFiles::CopyFile(const std::string& from, const std::string& to, bool overwrite) {
    return CopyFiles({{from, to}}, overwrite) == 1;
}

std::size_t JournaledFiles::CopyFiles(const std::vector<platform::FilePair>& copies, bool overwrite) {
    if (NamesAFileTwice(copies)) return OneByOne(copies, [&](const auto& one) { return CopyFiles(one, overwrite); });
    // What the copy itself would refuse is refused as it would be, without a change.
    std::vector<platform::FilePair> journaled;
    std::vector<bool> replaced;
    std::size_t done = 0;
    for (const auto& copy : copies) {
        const auto existing = inner_.GetAttributes(copy.to);
        const bool refused = !inner_.GetAttributes(copy.from) ||
                             (existing && (!overwrite || (*existing & (attr::Directory | attr::ReadOnly))));
        if (refused) {
            done += inner_.CopyFile(copy.from, copy.to, overwrite) ? 1 : 0;
            continue;
        }
        journaled.push_back(copy);
        replaced.push_back(existing.has_value());
    }
    if (journaled.empty()) return done;
    std::vector<std::string> paths;
    for (const auto& copy : journaled) paths.push_back(copy.to);
    const auto saved = journal_.FilesCreating(paths, replaced);
    for (std::size_t i = 0; i < journaled.size(); ++i) {
        if (replaced[i]) MoveInto(journaled[i].to, saved[i]);
        Done(inner_.CopyFile(journaled[i].from, journaled[i].to, false), "copy " + journaled[i].from + " to",
             journaled[i].to);
    }
    return done + journaled.size();
}

bool JournaledFiles::MoveFile(const std::string& from, const std::string& to) { return MoveFiles({{from, to}}) == 1; }

std::size_t JournaledFiles::MoveFiles(const std::vector<platform::FilePair>& moves) {
    if (NamesAFileTwice(moves)) return OneByOne(moves, [&](const auto& one) { return MoveFiles(one); });
    std::vector<platform::FilePair> journaled;
    std::size_t done = 0;
    for (const auto& move : moves) {
        if (!inner_.GetAttributes(move.from) || inner_.GetAttributes(move.to))
            done += inner_.MoveFile(move.from, move.to) ? 1 : 0;
        else
            journaled.push_back(move);
    }
    if (journaled.empty()) return done;
    journal_.FilesMoving(journaled);
    for (const auto& move : journaled) Done(inner_.MoveFile(move.from, move.to), "move " + move.from + " to", move.to);
    return done + journaled.size();
}

std::size_t JournaledFiles::DeleteFiles(const std::vector<std::string>& paths) {
    // A file named twice is deleted once, as the second single call would find it gone.
    std::vector<std::string> journaled;
    std::set<std::string> seen;
    std::size_t deleted = 0;
    for (const auto& path : paths) {
        if (!seen.insert(sys::UpperAscii(path)).second) continue;
        const auto attributes = inner_.GetAttributes(path);
        if (!attributes || (*attributes & (attr::Directory | attr::ReadOnly))) continue;
        if (!journal_.PutBackWhateverItHolds(path)) {
            journaled.push_back(path);
            continue;
        }
        // One that the work made goes at once: the older entries undo it without a copy.
        Done(inner_.DeleteFile(path), "delete", path);
        ++deleted;
    }
    if (journaled.empty()) return deleted;
    const auto saved = journal_.FilesMovingAway(journaled);
    for (std::size_t i = 0; i < journaled.size(); ++i) MoveInto(journaled[i], saved[i]);
    return deleted + journaled.size();
}

bool JournaledFiles::DeleteFile(const std::string& path) { return DeleteFiles({path}) == 1; }

bool JournaledFiles::CreateDirectory(const std::string& path) {
    const auto cut = path.find_last_of('\\');
    std::string parent = cut == std::string::npos ? std::string() : path.substr(0, cut);
    if (parent.size() == 2 && parent[1] == ':') parent += '\\';
    if (inner_.GetAttributes(path) || !sys::DirExists(inner_, parent)) return inner_.CreateDirectory(path);
    journal_.FolderCreating(path);
    return Done(inner_.CreateDirectory(path), "create the folder", path);
}

bool JournaledFiles::RemoveDirectory(const std::string& path) {
    const auto attributes = inner_.GetAttributes(path);
    if (!attributes || !(*attributes & attr::Directory)) return false;
    journal_.FolderRemoving(path);
    return Done(inner_.RemoveDirectory(path), "remove the folder", path);
}

std::string JournaledFiles::ReadWholeFile(const std::string& path) { return inner_.ReadWholeFile(path); }

void JournaledFiles::WriteFile(const std::string& path, const std::string& data) {
    const auto attributes = inner_.GetAttributes(path);
    const bool replaced = attributes && !(*attributes & attr::Directory);
    const auto saved = journal_.FilesCreating({path}, {replaced});
    if (replaced) MoveInto(path, saved.front());
    inner_.WriteFile(path, data);
}

bool JournaledFiles::Recycle(const std::string& pattern) {
    throw JournalError("The journal cannot undo a move of " + pattern + " to the recycle bin.");
}

}  // namespace engine::journal
