#include "engine/journal.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "engine/install_data.h"
#include "engine/journal_files.h"
#include "ide/package_list.h"
#include "system/file_utils.h"
#include "system/text.h"

namespace engine::journal {

namespace {

// A file name made of an IDE's name: without the characters a file name cannot hold.
std::string FolderNameOf(const std::string& text) {
    std::string name;
    for (const char c : text)
        name += static_cast<unsigned char>(c) < 32 || std::string("\\/:*?\"<>|").find(c) != std::string::npos ? '_' : c;
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    return name.empty() ? "IDE" : name;
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

}  // namespace

std::string JournalFolderFor(const std::string& installDir) {
    // However the folder was typed ("C:\Q\\", "C:\Q/"), the journal goes beside it, never into it.
    const std::string trimmed = sys::WithoutTrailingDelimiters(installDir);
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

bool IdeJournal::InCreatedKey(const std::string& root, const std::string& key) const {
    const std::string path = sys::UpperAscii(root + "\\" + key);
    return std::any_of(createdKeys_.begin(), createdKeys_.end(), [&](const std::string& created) {
        return path == created || path.rfind(created + "\\", 0) == 0;
    });
}

bool IdeJournal::PutBackWhateverItHolds(const std::string& path) const {
    const std::string upper = sys::UpperAscii(path);
    if (unkept_.count(upper)) return false;
    if (made_.count(upper)) return true;
    // In a folder an older tool run watched, a file there then was saved by it, and one that came
    // later was made since: that entry deletes it.
    const auto cut = upper.find_last_of('\\');
    const auto watched = watched_.find(upper.substr(0, cut == std::string::npos ? 0 : cut));
    return watched != watched_.end() && HasExtension(path, watched->second);
}

void IdeJournal::Made(const std::string& path) {
    const std::string upper = sys::UpperAscii(path);
    unkept_.erase(upper);
    made_.insert(upper);
}

void IdeJournal::Unkept(const std::string& path) {
    const std::string upper = sys::UpperAscii(path);
    made_.erase(upper);
    unkept_.insert(upper);
}

void IdeJournal::MovedHere(const std::string& from, const std::string& to) {
    if (PutBackWhateverItHolds(from))
        Made(to);
    else
        Unkept(to);
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
            for (auto extension = field.values.begin() + 1; extension != field.values.end(); ++extension)
                if (std::find(extensions.begin(), extensions.end(), *extension) == extensions.end())
                    extensions.push_back(*extension);
        }
    }
    return entry;
}

void IdeJournal::DiscardToolOutputs(const Entry& toolRun) {
    const auto problems = UndoToolRun(files_, Folder(), toolRun);
    // Its copies went back to their places: its entry no longer gives those files back. Older
    // entries may, but a needless copy is the safe side.
    for (const auto& field : toolRun.fields)
        if (field.name == "file" && field.values.size() > 2) Unkept(field.values[0]);
    if (!problems.empty()) throw JournalError(problems.front());
}

std::string IdeJournal::Commit() {
    const unsigned number = entries_.Write(Entry{"committed", {}});
    return Join(Folder(), Number(number) + EntryExtension);
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

}  // namespace engine::journal
