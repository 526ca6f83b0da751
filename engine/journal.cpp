#include "engine/journal.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "engine/install_data.h"
#include "ide/package_list.h"
#include "system/file_utils.h"
#include "system/text.h"

namespace engine::journal {

namespace {

using platform::FileSystem;
using platform::Hive;
using platform::KeyAccess;
using platform::RegistryValue;
namespace attr = platform::attr;

const char* const EntryExtension = ".entry";
const char* const PreviousFolder = "Previous";
const char* const ReplacedFolder = "Replaced";

std::string Join(const std::string& folder, const std::string& name) { return sys::AddPathDelimiter(folder) + name; }

std::string LastName(const std::string& path) { return ide::ExtractFileName(sys::RemovePathDelimiter(path)); }

std::string Number(unsigned number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06u", number);
    return digits;
}

// The number of a journal file's name ("000012.entry", "000012-3.file", "000012.tmp").
std::optional<unsigned> NumberOf(const std::string& name) {
    if (name.size() < 7) return std::nullopt;
    unsigned number = 0;
    for (int i = 0; i < 6; ++i) {
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
        number = number * 10 + static_cast<unsigned>(name[i] - '0');
    }
    if (name[6] != '.' && name[6] != '-') return std::nullopt;
    return number;
}

std::vector<platform::FindEntry> Listing(FileSystem& files, const std::string& folder) {
    std::vector<platform::FindEntry> found;
    for (auto& entry : files.Find(Join(folder, "*.*"), attr::AnyFile).entries)
        if (entry.name != "." && entry.name != "..") found.push_back(std::move(entry));
    return found;
}

bool Exists(FileSystem& files, const std::string& path) { return files.GetAttributes(path).has_value(); }

bool IsEmptyFolder(FileSystem& files, const std::string& path) {
    return sys::DirExists(files, path) && Listing(files, path).empty();
}

bool HasExtension(const std::string& name, const std::vector<std::string>& extensions) {
    return std::any_of(extensions.begin(), extensions.end(),
                       [&](const std::string& extension) { return sys::EndsWithText(name, extension, true); });
}

// A file name made of an IDE's name: without the characters a file name cannot hold.
std::string FolderNameOf(const std::string& text) {
    std::string name;
    for (const char c : text)
        name += static_cast<unsigned char>(c) < 32 || std::string("\\/:*?\"<>|").find(c) != std::string::npos ? '_' : c;
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    return name.empty() ? "IDE" : name;
}

// A name in the folder that is not taken yet: NAME, NAME (2), NAME (3), ...
std::string FreePath(FileSystem& files, const std::string& folder, const std::string& name) {
    std::string path = Join(folder, name);
    for (int n = 2; Exists(files, path); ++n) path = Join(folder, name + " (" + std::to_string(n) + ")");
    return path;
}

std::string WorkName(Work work) { return work == Work::Installation ? "installation" : "removal"; }

std::vector<std::string> ValueFields(const std::optional<RegistryValue>& value) {
    if (!value) return {"absent"};
    return {std::to_string(static_cast<std::uint32_t>(value->kind)), ToHex(value->bytes)};
}

std::optional<RegistryValue> ValueFromFields(const std::vector<std::string>& fields, std::size_t first, bool& valid) {
    valid = false;
    if (fields.size() == first + 1 && fields[first] == "absent") {
        valid = true;
        return std::nullopt;
    }
    if (fields.size() != first + 2) return std::nullopt;
    const auto bytes = FromHex(fields[first + 1]);
    if (!bytes || fields[first].empty() || fields[first].find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    valid = true;
    return RegistryValue{static_cast<platform::RegistryValueKind>(std::stoul(fields[first])), *bytes};
}

std::string KeyName(platform::Registry& registry, Hive root, const std::string& key) {
    return registry.RootName(root) + "\\" + key;
}

void Snapshot(platform::Registry& registry, Hive root, const std::string& key, const std::string& relative,
              Entry& entry) {
    const auto opened = registry.OpenKey(root, relative.empty() ? key : key + "\\" + relative, KeyAccess::Read);
    if (!opened) return;
    entry.Add("subkey", {relative});
    for (const auto& name : opened->ValueNames()) {
        const auto value = opened->ReadValue(name);
        if (!value) continue;
        auto fields = ValueFields(value);
        entry.Add("data", {relative, name, fields[0], fields[1]});
    }
    for (const auto& subkey : opened->SubkeyNames())
        Snapshot(registry, root, key, relative.empty() ? subkey : relative + "\\" + subkey, entry);
}

// Deletes a file that the undone work made, read-only or not.
bool RemoveFile(FileSystem& files, const std::string& path) {
    if (files.DeleteFile(path)) return true;  // the common case, in one call
    const auto attributes = files.GetAttributes(path);
    if (!attributes) return true;
    if (!(*attributes & attr::ReadOnly) || (*attributes & attr::Directory)) return false;
    files.SetAttributes(path, *attributes & ~attr::ReadOnly);
    return files.DeleteFile(path);
}

std::string CouldNotPutBack(const std::string& what) { return what + " could not be put back."; }

// A file moved into the journal (as SAVED) goes back to its place.
std::vector<std::string> UndoMoveAway(FileSystem& files, const std::string& folder, const std::string& path,
                                      const std::string& saved) {
    const std::string kept = Join(folder, saved);
    if (saved.empty() || !Exists(files, kept)) return {};  // it never moved, or is back already
    if (Exists(files, path))
        return {CouldNotPutBack("The file " + path) + " Another file is in its place; the journal keeps the old one as " + kept + "."};
    if (!files.MoveFile(kept, path)) return {CouldNotPutBack("The file " + path)};
    return {};
}

// A file the work wrote goes; the one it replaced (moved into the journal as SAVED, if any) comes
// back. A replaced file not yet moved away is still the old one, and stays.
std::vector<std::string> UndoCreation(FileSystem& files, const std::string& folder, const std::string& path,
                                      const std::string& saved) {
    if (!saved.empty() && !Exists(files, Join(folder, saved))) return {};
    if (!RemoveFile(files, path)) return {"The file " + path + " that the installation made could not be deleted."};
    return UndoMoveAway(files, folder, path, saved);
}

// A file moved from PATH to TO goes back.
std::vector<std::string> UndoMove(FileSystem& files, const std::string& path, const std::string& to) {
    if (!Exists(files, to)) return {};
    if (Exists(files, path)) return {CouldNotPutBack("The file " + path) + " Another file is in its place."};
    if (!files.MoveFile(to, path)) return {CouldNotPutBack("The file " + path)};
    return {};
}

// Undoes one entry of an IDE's journal; what could not be undone, in words.
std::vector<std::string> UndoToolRun(FileSystem& files, const std::string& folder, const Entry& entry) {
    std::vector<std::string> problems;
    std::set<std::string> known;
    for (const auto& field : entry.fields)
        if (field.name == "file" && !field.values.empty()) known.insert(sys::UpperAscii(field.values[0]));
    // What the tool wrote beside the files that were there before it ran.
    for (const auto& field : entry.fields) {
        if (field.name != "watch" || field.values.empty()) continue;
        const std::vector<std::string> extensions(field.values.begin() + 1, field.values.end());
        for (const auto& found : Listing(files, field.values[0])) {
            const std::string path = Join(field.values[0], found.name);
            if ((found.attributes & attr::Directory) || !HasExtension(found.name, extensions) ||
                known.count(sys::UpperAscii(path)))
                continue;
            if (!RemoveFile(files, path)) problems.push_back("The file " + path + " that the installation made could not be deleted.");
        }
    }
    for (const auto& field : entry.fields) {
        if (field.name != "file" || field.values.size() < 2) continue;
        const std::string& path = field.values[0];
        if (field.values[1] == "absent") {
            if (!RemoveFile(files, path)) problems.push_back("The file " + path + " that the installation made could not be deleted.");
            continue;
        }
        if (field.values.size() < 3) continue;
        const std::string saved = Join(folder, field.values[2]);
        if (!Exists(files, saved)) continue;  // put back already
        if (!RemoveFile(files, path) || !files.MoveFile(saved, path))
            problems.push_back(CouldNotPutBack("The file " + path));
    }
    return problems;
}

std::vector<std::string> UndoEntry(platform::Platform& machine, const std::string& folder, const Entry& entry) {
    auto& files = machine.files;
    auto& registry = machine.registry;
    const std::string path = entry.Text("path");
    if (entry.kind == "value" || entry.kind == "key-created" || entry.kind == "key-deleted") {
        const auto root = RootFromName(registry, entry.Text("root"));
        const std::string key = entry.Text("key");
        if (!root)
            return {"The key " + entry.Text("root") + "\\" + key + " could not be put back: that hive is not the one "
                    "setup changes at this start (it is another user's)."};
        try {
            if (entry.kind == "value") {
                const Field* old = entry.Find("old");
                bool valid = false;
                const auto value = old ? ValueFromFields(old->values, 0, valid) : std::nullopt;
                if (!valid) return {"A journal entry of the key " + KeyName(registry, *root, key) + " cannot be read."};
                if (value) {
                    registry.OpenKey(*root, key, KeyAccess::CreateWrite)->WriteValue(entry.Text("name"), *value);
                } else if (const auto opened = registry.OpenKey(*root, key, KeyAccess::Write)) {
                    if (opened->ValueExists(entry.Text("name")) && !opened->DeleteValue(entry.Text("name")))
                        return {CouldNotPutBack("The value \"" + entry.Text("name") + "\" of " + KeyName(registry, *root, key))};
                }
            } else if (entry.kind == "key-created") {
                // It was not there before the work: it goes with what the work wrote into it.
                if (registry.KeyExists(*root, key)) registry.DeleteKey(*root, key);
            } else {
                for (const auto& field : entry.fields) {
                    if (field.name == "subkey" && field.values.size() == 1) {
                        registry.OpenKey(*root, field.values[0].empty() ? key : key + "\\" + field.values[0],
                                         KeyAccess::CreateWrite);
                    } else if (field.name == "data" && field.values.size() == 4) {
                        bool valid = false;
                        const auto value = ValueFromFields(field.values, 2, valid);
                        if (!valid || !value) return {"A journal entry of the key " + KeyName(registry, *root, key) + " cannot be read."};
                        const std::string subkey = field.values[0].empty() ? key : key + "\\" + field.values[0];
                        registry.OpenKey(*root, subkey, KeyAccess::CreateWrite)->WriteValue(field.values[1], *value);
                    }
                }
            }
        } catch (const std::exception& error) {
            return {CouldNotPutBack("The registry key " + KeyName(registry, *root, key)) + " " + error.what()};
        }
        return {};
    }
    if (entry.kind == "file-moved") return UndoMoveAway(files, folder, path, entry.Text("saved"));
    if (entry.kind == "file-created") return UndoCreation(files, folder, path, "");
    if (entry.kind == "file-moved-to") return UndoMove(files, path, entry.Text("to"));
    if (entry.kind == "files-moved" || entry.kind == "files-created" || entry.kind == "files-moved-to") {
        // One entry for a set of files, undone newest first like single entries.
        std::vector<std::string> problems;
        for (auto field = entry.fields.rbegin(); field != entry.fields.rend(); ++field) {
            const auto& values = field->values;
            if (field->name != "file" || values.empty()) continue;
            const std::string second = values.size() > 1 ? values[1] : std::string();
            const auto failed = entry.kind == "files-moved"     ? UndoMoveAway(files, folder, values[0], second)
                                : entry.kind == "files-created" ? UndoCreation(files, folder, values[0], second)
                                                                : UndoMove(files, values[0], second);
            problems.insert(problems.end(), failed.begin(), failed.end());
        }
        return problems;
    }
    if (entry.kind == "folder-created") {
        // Whatever is still in it is not the work's: the folder stays with it.
        if (IsEmptyFolder(files, path)) files.RemoveDirectory(path);
        return {};
    }
    if (entry.kind == "folder-removed") {
        if (!Exists(files, path) && !files.CreateDirectory(path)) return {CouldNotPutBack("The folder " + path)};
        return {};
    }
    if (entry.kind == "attributes") {
        const auto bytes = FromHex(entry.Text("old"));
        if (!bytes || bytes->size() != 4) return {"A journal entry of the file " + path + " cannot be read."};
        std::uint32_t old = 0;
        for (int i = 3; i >= 0; --i) old = (old << 8) | static_cast<unsigned char>((*bytes)[static_cast<std::size_t>(i)]);
        if (Exists(files, path) && !files.SetAttributes(path, old)) return {CouldNotPutBack("The attributes of " + path)};
        return {};
    }
    if (entry.kind == "tool-run") return UndoToolRun(files, folder, entry);
    return {"A journal entry of the kind \"" + entry.kind + "\" is not known."};
}

// The folders of the IDEs' journals in a run's journal folder.
std::vector<std::string> IdeFolders(FileSystem& files, const std::string& root) {
    std::vector<std::string> folders;
    for (const auto& entry : Listing(files, root))
        if ((entry.attributes & attr::Directory) && !sys::SameText(entry.name, PreviousFolder) &&
            !sys::SameText(entry.name, ReplacedFolder))
            folders.push_back(Join(root, entry.name));
    return folders;
}

bool HasCommitted(const std::vector<StoredEntry>& entries) {
    return std::any_of(entries.begin(), entries.end(),
                       [](const StoredEntry& stored) { return stored.entry && stored.entry->kind == "committed"; });
}

// Deletes the journal of an IDE whose work succeeded, its "committed" entry last: as long as any
// other entry is left, that one stays to say that none of them is to be undone.
void DeleteCommittedJournal(FileSystem& files, const std::string& folder, const std::string& committed) {
    bool othersGone = true;
    for (const auto& entry : Listing(files, folder)) {
        const std::string path = Join(folder, entry.name);
        if (sys::SameText(path, committed)) continue;
        if (entry.attributes & attr::Directory)
            othersGone = sys::DeleteTree(files, path) && othersGone;
        else
            othersGone = RemoveFile(files, path) && othersGone;
    }
    if (othersGone && RemoveFile(files, committed)) files.RemoveDirectory(folder);
}

// Whether anything in an IDE's journal is to be undone: an entry after its header, and none that
// says the work succeeded.
bool NeedsUndo(const std::vector<StoredEntry>& entries) {
    return !HasCommitted(entries) &&
           std::any_of(entries.begin(), entries.end(), [](const StoredEntry& stored) { return stored.number != 0; });
}

// Moves FROM out of the way into the journal's Replaced folder; false when it cannot be moved.
bool MoveOutOfTheWay(FileSystem& files, const std::string& root, const std::string& from) {
    const std::string replaced = Join(root, ReplacedFolder);
    if (!sys::DirExists(files, replaced)) files.CreateDirectory(replaced);
    return files.MoveFile(from, FreePath(files, replaced, LastName(from)));
}

// The old folder back in its place, what is there now moved out of the way first.
std::vector<std::string> PutBackFolder(FileSystem& files, const std::string& root, const std::string& old,
                                       const std::string& place) {
    if (!sys::DirExists(files, old)) return {};
    if (Exists(files, place) && !MoveOutOfTheWay(files, root, place))
        return {"The folder " + place + " could not be moved out of the way to put back its old contents, which "
                "are kept in " + old + "."};
    if (!files.MoveFile(old, place))
        return {"The folder " + place + " could not be put back; its old contents are kept in " + old + "."};
    return {};
}

// The old installation folder to the recycle bin, and the journal with its registry value gone.
void DeleteRunJournal(platform::Platform& machine, const std::string& root) {
    auto& files = machine.files;
    const std::string previous = Join(root, PreviousFolder);
    for (const auto& entry : Listing(files, previous))
        if (entry.attributes & attr::Directory) sys::RecycleDirectory(files, Join(previous, entry.name));
    sys::DeleteTree(files, root);
    if (Exists(files, root)) return;  // the next start tries again
    if (const auto key = machine.registry.OpenKey(Hive::LocalMachine, JournalRegistryKey, KeyAccess::Write))
        key->DeleteValue(root);
}

void RestoreRecord(platform::Platform& machine, const Entry& header) {
    const Field* record = header.Find("record");
    if (!record || record->values.size() != 2) return;
    const auto key = machine.registry.OpenKey(Hive::LocalMachine, ProductRegistryKey, KeyAccess::CreateWrite);
    key->WriteString("InstallDir", record->values[0]);
    key->WriteString("InstalledVersion", record->values[1]);
}

// Settles the journal of a run that was cut short.
void SettleRun(platform::Platform& machine, const std::string& root, RestoreReport& report) {
    auto& files = machine.files;
    if (!sys::DirExists(files, root)) {
        if (const auto key = machine.registry.OpenKey(Hive::LocalMachine, JournalRegistryKey, KeyAccess::Write))
            key->DeleteValue(root);
        return;
    }
    std::set<std::string> committed;
    std::set<std::string> pending;  // target folders of IDEs whose journal is left
    for (const auto& folder : IdeFolders(files, root)) {
        const auto undone = UndoIdeJournal(machine, folder);
        const std::string target = sys::UpperAscii(undone.targetFolderName);
        if (undone.committed) committed.insert(target);
        if (!undone.Complete()) pending.insert(target);
        if (!undone.committed && undone.changed && undone.Complete()) report.restored.push_back(undone.ideName);
        report.problems.insert(report.problems.end(), undone.problems.begin(), undone.problems.end());
    }
    const auto entries = ReadEntries(files, root);
    if (std::any_of(entries.begin(), entries.end(), [](const StoredEntry& stored) { return !stored.entry; })) {
        report.problems.push_back("The journal in " + root + " cannot be read completely; it is left as it is.");
        return;
    }
    const Entry* header = nullptr;
    const Entry* aside = nullptr;
    bool extracted = false;
    for (const auto& stored : entries) {
        const Entry& entry = *stored.entry;
        if (entry.kind == "run") header = &entry;
        if (entry.kind == "aside") aside = &entry;
        if (entry.kind == "extracted") extracted = true;
        if (entry.kind == "committed") committed.insert(sys::UpperAscii(entry.Text("folder")));
    }
    std::vector<std::string> problems;
    if (header && aside && sys::DirExists(files, aside->Text("to"))) {
        const std::string installDir = aside->Text("path");
        if (!extracted) {
            // Cut short before the new files were all there: the old installation comes back whole.
            problems = PutBackFolder(files, root, aside->Text("to"), installDir);
            if (problems.empty()) RestoreRecord(machine, *header);
        } else if (const Field* plan = aside->Find("plan")) {
            for (const auto& target : plan->values) {
                const std::string folded = sys::UpperAscii(target);
                if (committed.count(folded) || pending.count(folded)) continue;
                const auto failed = PutBackFolder(files, root, Join(aside->Text("to"), target), Join(installDir, target));
                problems.insert(problems.end(), failed.begin(), failed.end());
            }
        }
    }
    report.problems.insert(report.problems.end(), problems.begin(), problems.end());
    if (pending.empty() && problems.empty()) DeleteRunJournal(machine, root);
}

}  // namespace

std::string JournalFolderFor(const std::string& installDir) {
    const std::string trimmed = sys::RemovePathDelimiter(installDir);
    const bool driveRoot = trimmed.size() == 2 && trimmed[1] == ':';
    const bool shareRoot = trimmed.rfind("\\\\", 0) == 0 && trimmed.find('\\', trimmed.find('\\', 2) + 1) == std::string::npos;
    if (driveRoot || shareRoot || trimmed.empty()) return Join(trimmed, "Quorvex.journal");
    return trimmed + ".journal";
}

std::optional<Hive> RootFromName(platform::Registry& registry, const std::string& name) {
    for (const Hive root : {Hive::LocalMachine, Hive::User})
        if (registry.RootName(root) == name) return root;
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------

EntryFolder::EntryFolder(FileSystem& files, std::string folder) : files_(files), folder_(std::move(folder)) {
    for (const auto& entry : Listing(files_, folder_))
        if (const auto number = NumberOf(entry.name)) next_ = std::max(next_, *number + 1);
}

unsigned EntryFolder::Write(const Entry& entry) {
    const unsigned number = next_;
    const std::string temporary = Join(folder_, Number(number) + ".tmp");
    const std::string final = Join(folder_, Number(number) + EntryExtension);
    files_.WriteFile(temporary, FormatEntry(entry));
    if (!files_.MoveFile(temporary, final)) throw JournalError("Cannot write the journal entry " + final + ".");
    next_ = number + 1;
    return number;
}

std::string EntryFolder::SavedFile(unsigned number, int part) const {
    return Number(number) + (part < 0 ? std::string() : "-" + std::to_string(part)) + ".file";
}

std::vector<StoredEntry> ReadEntries(FileSystem& files, const std::string& folder) {
    std::vector<StoredEntry> entries;
    for (const auto& found : Listing(files, folder)) {
        const auto number = NumberOf(found.name);
        if (!number || (found.attributes & attr::Directory) || found.name != Number(*number) + EntryExtension) continue;
        StoredEntry stored{*number, Join(folder, found.name), std::nullopt};
        if (const auto text = files.ReadFile(stored.path)) stored.entry = ParseEntry(*text);
        entries.push_back(std::move(stored));
    }
    std::sort(entries.begin(), entries.end(),
              [](const StoredEntry& a, const StoredEntry& b) { return a.number < b.number; });
    return entries;
}

// ---------------------------------------------------------------------------------------------

IdeJournal::IdeJournal(FileSystem& files, const std::string& folder, const std::string& ideName, Work work,
                       const std::string& targetFolderName)
    : files_(files), entries_(files, (files.CreateDirectory(folder), folder)) {
    if (!sys::DirExists(files_, folder)) throw JournalError("Cannot create the journal folder " + folder + ".");
    try {
        entries_.Write(Entry{"ide", {}}.Add("name", {ideName}).Add("work", {WorkName(work)}).Add("target", {targetFolderName}));
    } catch (const std::exception&) {
        sys::DeleteTree(files_, folder);  // nothing was changed yet
        throw;
    }
}

void IdeJournal::ValueChanging(const std::string& root, const std::string& key, const std::string& name,
                               const std::optional<RegistryValue>& old) {
    if (InCreatedKey(root, key)) return;  // undoing the key's creation takes the value with it
    entries_.Write(Entry{"value", {}}
                       .Add("root", {root})
                       .Add("key", {key})
                       .Add("name", {name})
                       .Add("old", ValueFields(old)));
}

void IdeJournal::KeyCreating(const std::string& root, const std::string& key) {
    if (InCreatedKey(root, key)) return;
    createdKeys_.push_back(sys::UpperAscii(root + "\\" + key));
    entries_.Write(Entry{"key-created", {}}.Add("root", {root}).Add("key", {key}));
}

void IdeJournal::KeyDeleting(platform::Registry& registry, Hive root, const std::string& key) {
    Entry entry{"key-deleted", {}};
    entry.Add("root", {registry.RootName(root)}).Add("key", {key});
    Snapshot(registry, root, key, "", entry);
    entries_.Write(entry);
}

std::string IdeJournal::FileMovingAway(const std::string& path) {
    const std::string saved = entries_.SavedFile(entries_.NextNumber());
    entries_.Write(Entry{"file-moved", {}}.Add("path", {path}).Add("saved", {saved}));
    return Join(Folder(), saved);
}

void IdeJournal::FileCreating(const std::string& path) {
    entries_.Write(Entry{"file-created", {}}.Add("path", {path}));
    Made(path);
}

void IdeJournal::FileMoving(const std::string& from, const std::string& to) {
    entries_.Write(Entry{"file-moved-to", {}}.Add("path", {from}).Add("to", {to}));
    MovedHere(from, to);
}

bool IdeJournal::InCreatedKey(const std::string& root, const std::string& key) const {
    const std::string path = sys::UpperAscii(root + "\\" + key);
    return std::any_of(createdKeys_.begin(), createdKeys_.end(), [&](const std::string& created) {
        return path == created || path.rfind(created + "\\", 0) == 0;
    });
}

bool IdeJournal::PutBackWhateverItHolds(const std::string& path) const {
    const std::string upper = sys::UpperAscii(path);
    if (movedIn_.count(upper)) return false;
    if (made_.count(upper)) return true;
    // In a folder an older tool run watched, a file there then was saved by it, and one that came
    // later was made since: that entry deletes it.
    const auto cut = upper.find_last_of('\\');
    const auto watched = watched_.find(upper.substr(0, cut == std::string::npos ? 0 : cut));
    return watched != watched_.end() && HasExtension(path, watched->second);
}

void IdeJournal::Made(const std::string& path) {
    const std::string upper = sys::UpperAscii(path);
    movedIn_.erase(upper);
    made_.insert(upper);
}

void IdeJournal::MovedHere(const std::string& from, const std::string& to) {
    if (PutBackWhateverItHolds(from)) {
        Made(to);
        return;
    }
    const std::string upper = sys::UpperAscii(to);
    made_.erase(upper);
    movedIn_.insert(upper);
}

std::vector<std::string> IdeJournal::FilesMovingAway(const std::vector<std::string>& paths) {
    const unsigned number = entries_.NextNumber();
    Entry entry{"files-moved", {}};
    std::vector<std::string> saved;
    for (const auto& path : paths) {
        const std::string name = entries_.SavedFile(number, static_cast<int>(saved.size()));
        entry.Add("file", {path, name});
        saved.push_back(Join(Folder(), name));
    }
    entries_.Write(entry);
    return saved;
}

void IdeJournal::FilesMoving(const std::vector<platform::FilePair>& moves) {
    Entry entry{"files-moved-to", {}};
    for (const auto& move : moves) entry.Add("file", {move.from, move.to});
    entries_.Write(entry);
    for (const auto& move : moves) MovedHere(move.from, move.to);
}

std::vector<std::string> IdeJournal::FilesCreating(const std::vector<std::string>& paths,
                                                   const std::vector<bool>& replaced) {
    const unsigned number = entries_.NextNumber();
    Entry entry{"files-created", {}};
    std::vector<std::string> saved;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!replaced[i]) {
            entry.Add("file", {paths[i]});
            saved.emplace_back();
            continue;
        }
        const std::string name = entries_.SavedFile(number, static_cast<int>(i));
        entry.Add("file", {paths[i], name});
        saved.push_back(Join(Folder(), name));
    }
    entries_.Write(entry);
    for (const auto& path : paths) Made(path);
    return saved;
}

void IdeJournal::FolderCreating(const std::string& path) {
    entries_.Write(Entry{"folder-created", {}}.Add("path", {path}));
}

void IdeJournal::FolderRemoving(const std::string& path) {
    entries_.Write(Entry{"folder-removed", {}}.Add("path", {path}));
}

void IdeJournal::AttributesChanging(const std::string& path, std::uint32_t old) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((old >> shift) & 0xFF);
    entries_.Write(Entry{"attributes", {}}.Add("path", {path}).Add("old", {ToHex(bytes)}));
}

Entry IdeJournal::ToolRunning(const std::vector<std::string>& outputs, const std::vector<WatchedFolder>& watched,
                              bool undoneAlone) {
    const unsigned number = entries_.NextNumber();
    Entry entry{"tool-run", {}};
    std::set<std::string> seen;
    // The files of each folder concerned, read once: a C++Builder build names some 60 files.
    std::map<std::string, std::set<std::string>> listed;
    auto isFile = [&](const std::string& path) {
        const auto cut = path.find_last_of('\\');
        const std::string folder = sys::UpperAscii(path.substr(0, cut));
        auto known = listed.find(folder);
        if (known == listed.end()) {
            std::set<std::string> names;
            for (const auto& found : Listing(files_, path.substr(0, cut)))
                if (!(found.attributes & attr::Directory)) names.insert(sys::UpperAscii(found.name));
            known = listed.emplace(folder, std::move(names)).first;
        }
        return known->second.count(sys::UpperAscii(path.substr(cut + 1))) > 0;
    };
    int part = 0;
    auto note = [&](const std::string& path) {
        if (!seen.insert(sys::UpperAscii(path)).second) return;
        if (!isFile(path)) {
            entry.Add("file", {path, "absent"});
            return;
        }
        if (!undoneAlone && PutBackWhateverItHolds(path)) {
            entry.Add("file", {path, "kept"});
            return;
        }
        // A tool may overwrite it: a copy keeps what was there.
        const std::string saved = entries_.SavedFile(number, part++);
        if (!files_.CopyFile(path, Join(Folder(), saved), true))
            throw JournalError("Cannot keep a copy of " + path + " in the journal.");
        entry.Add("file", {path, "saved", saved});
    };
    for (const auto& path : outputs) note(path);
    for (const auto& watch : watched) {
        std::vector<std::string> field{watch.folder};
        field.insert(field.end(), watch.extensions.begin(), watch.extensions.end());
        entry.Add("watch", field);
        for (const auto& found : Listing(files_, watch.folder))
            if (!(found.attributes & attr::Directory) && HasExtension(found.name, watch.extensions))
                note(Join(watch.folder, found.name));
    }
    entries_.Write(entry);
    for (const auto& field : entry.fields) {
        if (field.name == "file") Made(field.values[0]);
        if (field.name == "watch") {
            auto& extensions = watched_[sys::UpperAscii(field.values[0])];
            extensions.insert(extensions.end(), field.values.begin() + 1, field.values.end());
        }
    }
    return entry;
}

void IdeJournal::DiscardToolOutputs(const Entry& toolRun) {
    const auto problems = UndoToolRun(files_, Folder(), toolRun);
    if (!problems.empty()) throw JournalError(problems.front());
}

std::string IdeJournal::Commit() {
    const unsigned number = entries_.Write(Entry{"committed", {}});
    return Join(Folder(), Number(number) + EntryExtension);
}

UndoResult UndoIdeJournal(platform::Platform& machine, const std::string& folder) {
    UndoResult result;
    result.ideName = LastName(folder);
    const auto entries = ReadEntries(machine.files, folder);
    for (const auto& stored : entries) {
        if (stored.number == 0 && stored.entry && stored.entry->kind == "ide") {
            result.ideName = stored.entry->Text("name");
            result.work = stored.entry->Text("work") == WorkName(Work::Removal) ? Work::Removal : Work::Installation;
            result.targetFolderName = stored.entry->Text("target");
        }
    }
    for (const auto& stored : entries) {
        if (!stored.entry) {
            result.problems.push_back("The journal of " + result.ideName + " in " + folder + " cannot be read (" +
                                      LastName(stored.path) + "); it is left as it is.");
            return result;
        }
    }
    for (const auto& stored : entries) {
        if (stored.entry->kind != "committed") continue;
        result.committed = true;
        DeleteCommittedJournal(machine.files, folder, stored.path);
        return result;
    }
    for (auto stored = entries.rbegin(); stored != entries.rend(); ++stored) {
        if (stored->number == 0) continue;
        result.changed = true;
        const auto problems = UndoEntry(machine, folder, *stored->entry);
        if (!problems.empty()) {
            // Older entries wait: undone before this one is, they could be undone again by it.
            result.problems = problems;
            break;
        }
        machine.files.DeleteFile(stored->path);
    }
    if (result.Complete()) sys::DeleteTree(machine.files, folder);
    return result;
}

// ---------------------------------------------------------------------------------------------

namespace {

// A folder that holds nothing but the temporary files of entries never written: what a run that
// was cut short (or failed) before its journal's header was written leaves.
bool IsUnwrittenJournal(FileSystem& files, const std::string& folder) {
    if (!sys::DirExists(files, folder)) return false;
    for (const auto& entry : Listing(files, folder))
        if ((entry.attributes & attr::Directory) || !sys::EndsWithText(entry.name, ".tmp", true)) return false;
    return true;
}

// The run's journal folder: a new one, or one that a run cut short at once left. The registry
// points to it before it is made: a run cut short in between leaves a value naming no folder,
// which the next start removes, never a folder that nothing names.
std::string CreateRunFolder(platform::Platform& machine, const std::string& installDir) {
    auto& files = machine.files;
    const std::string first = JournalFolderFor(installDir);
    for (int n = 1; n < 100; ++n) {
        const std::string folder = n == 1 ? first : first + " " + std::to_string(n);
        const bool unwritten = IsUnwrittenJournal(files, folder);
        if (!unwritten && Exists(files, folder)) continue;
        machine.registry.OpenKey(Hive::LocalMachine, JournalRegistryKey, KeyAccess::CreateWrite)->WriteString(folder, "");
        if (unwritten) {
            for (const auto& entry : Listing(files, folder)) files.DeleteFile(Join(folder, entry.name));
            return folder;
        }
        const auto cut = folder.find_last_of('\\');
        if (cut != std::string::npos) sys::ForceDirectories(files, folder.substr(0, cut));
        if (!files.CreateDirectory(folder)) throw JournalError("Cannot create the journal folder " + folder + ".");
        return folder;
    }
    throw JournalError("Cannot create a journal folder beside " + installDir + ": every name is taken.");
}

}  // namespace

RunJournal::RunJournal(platform::Platform& machine, const std::string& installDir,
                       const std::optional<ProductRecord>& record)
    : machine_(machine), installDir_(sys::RemovePathDelimiter(installDir)),
      entries_(machine.files, CreateRunFolder(machine, installDir)) {
    Entry header{"run", {}};
    header.Add("install-dir", {installDir_});
    if (record) header.Add("record", {record->installDir, record->installedVersion});
    try {
        entries_.Write(header);
    } catch (const std::exception&) {
        DeleteRunJournal(machine_, Folder());  // nothing of it was used
        throw;
    }
}

std::unique_ptr<IdeJournal> RunJournal::BeginIde(const std::string& ideName, Work work,
                                                 const std::string& targetFolderName) {
    return std::make_unique<IdeJournal>(machine_.files, FreePath(machine_.files, Folder(), FolderNameOf(ideName)),
                                        ideName, work, targetFolderName);
}

bool RunJournal::MoveAside(const std::vector<std::string>& planned) {
    auto& files = machine_.files;
    const std::string previous = Join(Folder(), PreviousFolder);
    if (!sys::DirExists(files, previous) && !files.CreateDirectory(previous)) return false;
    const std::string aside = Join(previous, LastName(installDir_));
    entries_.Write(Entry{"aside", {}}.Add("path", {installDir_}).Add("to", {aside}).Add("plan", planned));
    if (!files.MoveFile(installDir_, aside)) return false;
    aside_ = aside;
    return true;
}

void RunJournal::Extracted() { entries_.Write(Entry{"extracted", {}}); }

std::vector<std::string> RunJournal::BringBack() {
    if (aside_.empty()) return {};
    auto problems = PutBackFolder(machine_.files, Folder(), aside_, installDir_);
    if (problems.empty())
        aside_.clear();
    else
        unsettled_ = true;
    return problems;
}

void RunJournal::Committed(const std::string& targetFolderName, IdeJournal& ide) {
    // The IDE's own journal says it first: from here on nothing of it is undone.
    const std::string committed = ide.Commit();
    entries_.Write(Entry{"committed", {}}.Add("folder", {targetFolderName}));
    DeleteCommittedJournal(machine_.files, ide.Folder(), committed);
}

std::vector<std::string> RunJournal::GiveBack(const std::string& targetFolderName) {
    if (aside_.empty()) return {};
    auto problems =
        PutBackFolder(machine_.files, Folder(), Join(aside_, targetFolderName), Join(installDir_, targetFolderName));
    if (!problems.empty()) unsettled_ = true;
    return problems;
}

void RunJournal::Finish() {
    if (unsettled_) return;  // the next start tries again
    for (const auto& folder : IdeFolders(machine_.files, Folder())) {
        if (NeedsUndo(ReadEntries(machine_.files, folder))) return;  // left for the next start to undo
    }
    DeleteRunJournal(machine_, Folder());
}

// ---------------------------------------------------------------------------------------------

RestoreReport RestoreInterruptedRuns(platform::Platform& machine) {
    RestoreReport report;
    const auto key = machine.registry.OpenKey(Hive::LocalMachine, JournalRegistryKey, KeyAccess::Read);
    if (!key) return report;
    for (const auto& root : key->ValueNames()) SettleRun(machine, root, report);
    return report;
}

std::string RestoreMessage(const RestoreReport& report) {
    std::string text;
    if (!report.restored.empty()) {
        text = "The last run of Quorvex Setup was cut short before it had finished. ";
        if (report.restored.size() == 1) {
            text += report.restored.front() + " is as it was before that run.";
        } else {
            text += "These IDEs are as they were before that run:";
            for (const auto& name : report.restored) text += "\n" + name;
        }
    }
    if (!report.problems.empty()) {
        if (!text.empty()) text += "\n\n";
        text += "Some of what an earlier run of Quorvex Setup changed could not be put back:";
        for (const auto& problem : report.problems) text += "\n" + problem;
        text += "\n\nWhat is left of its journal is kept, and setup tries again when it starts next.";
    }
    return text;
}

}  // namespace engine::journal
