// Undoing: an IDE's journal replayed backwards, and the journals of runs that were cut short
// settled at the next start.
#include <algorithm>
#include <set>

#include "engine/journal.h"
#include "engine/journal_files.h"
#include "system/file_utils.h"
#include "system/text.h"

namespace engine::journal {

namespace {

std::string KeyName(platform::Registry& registry, Hive root, const std::string& key) {
    return registry.RootName(root) + "\\" + key;
}

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
    if (!RemoveFile(files, path)) return {CouldNotDelete(path)};
    return UndoMoveAway(files, folder, path, saved);
}

// A file moved from PATH to TO goes back.
std::vector<std::string> UndoMove(FileSystem& files, const std::string& path, const std::string& to) {
    if (!Exists(files, to)) return {};
    if (Exists(files, path)) return {CouldNotPutBack("The file " + path) + " Another file is in its place."};
    if (!files.MoveFile(to, path)) return {CouldNotPutBack("The file " + path)};
    return {};
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
    if (entry.kind == "files-moved" || entry.kind == "files-created" || entry.kind == "files-moved-to") {
        // One entry for a set of files (one file or many), each file undone, the last first.
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
        auto problems = UndoEntry(machine, folder, *stored->entry);
        if (problems.empty() && !machine.files.DeleteFile(stored->path))
            problems.push_back("The journal entry " + stored->path + " could not be deleted once undone.");
        if (!problems.empty()) {
            // Older entries wait: undone before this one is undone and gone, they could be undone
            // again by it.
            result.problems = problems;
            break;
        }
    }
    if (result.Complete()) sys::DeleteTree(machine.files, folder);
    return result;
}

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
