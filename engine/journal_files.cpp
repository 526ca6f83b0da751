#include "engine/journal_files.h"

#include <algorithm>
#include <cstdio>

#include "engine/install_data.h"
#include "ide/package_list.h"
#include "system/file_utils.h"
#include "system/text.h"

namespace engine::journal {

namespace {

// Moves FROM out of the way into the journal's Replaced folder; false when it cannot be moved.
bool MoveOutOfTheWay(FileSystem& files, const std::string& root, const std::string& from) {
    const std::string replaced = Join(root, ReplacedFolder);
    if (!sys::DirExists(files, replaced)) files.CreateDirectory(replaced);
    return files.MoveFile(from, FreePath(files, replaced, LastName(from)));
}

}  // namespace

std::string Join(const std::string& folder, const std::string& name) { return sys::AddPathDelimiter(folder) + name; }

std::string LastName(const std::string& path) { return ide::ExtractFileName(sys::RemovePathDelimiter(path)); }

std::string Number(unsigned number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06u", number);
    return digits;
}

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

bool RemoveFile(FileSystem& files, const std::string& path) {
    if (files.DeleteFile(path)) return true;  // the common case, in one call
    const auto attributes = files.GetAttributes(path);
    if (!attributes) return true;
    if (!(*attributes & attr::ReadOnly) || (*attributes & attr::Directory)) return false;
    files.SetAttributes(path, *attributes & ~attr::ReadOnly);
    return files.DeleteFile(path);
}

std::string CouldNotPutBack(const std::string& what) { return what + " could not be put back."; }

std::string CouldNotDelete(const std::string& path) {
    return "The file " + path + " that the installation made could not be deleted.";
}

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
            if (!RemoveFile(files, path)) problems.push_back(CouldNotDelete(path));
        }
    }
    for (const auto& field : entry.fields) {
        if (field.name != "file" || field.values.size() < 2) continue;
        const std::string& path = field.values[0];
        if (field.values[1] == "absent") {
            if (!RemoveFile(files, path)) problems.push_back(CouldNotDelete(path));
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

bool NeedsUndo(const std::vector<StoredEntry>& entries) {
    return !HasCommitted(entries) &&
           std::any_of(entries.begin(), entries.end(), [](const StoredEntry& stored) { return stored.number != 0; });
}


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

}  // namespace engine::journal
