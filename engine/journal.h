#pragma once
// The journal of a run: before the engine changes anything of an IDE, it writes down how to undo
// that change. A failed IDE is then put back as it was, and so is one whose run was cut short
// (the next start of setup finds the journal and undoes it).
//
// Where it lies: beside the installation folder, in "<installation folder>.journal" (for a
// drive's root, "<drive>\Quorvex.journal"). The value of that folder's path in the registry key
// JournalRegistryKey points to it, so that the next start finds it before it reads anything
// else. Inside:
//   000000.entry ...      the run's own entries: its header, the old installation moved aside,
//                         the extraction done, the IDEs that succeeded;
//   <IDE name>\           one folder per IDE: its entries, and the files it moved away or saved;
//   Previous\<name>\      in an update, the installation folder as it was before the run;
//   Replaced\             what was moved out of the way to give an old folder back.
//
// Every entry is written to "NNNNNN.tmp" and then renamed to "NNNNNN.entry", before the change
// it describes: a run killed between any two steps leaves whole entries only, and every change
// made has its entry. Undoing goes from the newest entry to the oldest; each entry is deleted
// once it is undone, and every undo step can be done again, so that an undo that is cut short
// can be done again from the start.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/journal_entry.h"
#include "platform/platform.h"
#include "platform/registry_data.h"

namespace engine::journal {

// The registry key (HKEY_LOCAL_MACHINE) whose values name the journals on this machine.
inline constexpr const char* JournalRegistryKey = "Software\\Veltrano Software\\Quorvex Journals";

// A journal entry that could not be written, or a change that could not be made in the journal's
// way (a file that could not be moved into it).
class JournalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The folder a run's journal gets for an installation folder (the first choice; a folder of that
// name that is not a journal is left alone and a number is added).
std::string JournalFolderFor(const std::string& installDir);

// The root of this registry that the journal's name of a root stands for: nothing when the
// journal changed a hive that this registry does not reach as one of its roots (another user's).
std::optional<platform::Hive> RootFromName(platform::Registry& registry, const std::string& name);

// A folder of numbered entries, the first (000000) its header.
class EntryFolder {
public:
    // An existing folder continues after its last entry.
    EntryFolder(platform::FileSystem& files, std::string folder);
    const std::string& Path() const { return folder_; }
    // Writes the entry under the next number, durably: whole or not at all. Raises JournalError.
    unsigned Write(const Entry& entry);
    // The file that holds the data an entry saved: NNNNNN.file, or NNNNNN-P.file for part P.
    std::string SavedFile(unsigned number, int part = -1) const;
    unsigned NextNumber() const { return next_; }

private:
    platform::FileSystem& files_;
    std::string folder_;
    unsigned next_ = 0;
};

struct StoredEntry {
    unsigned number = 0;
    std::string path;
    std::optional<Entry> entry;  // none: damaged, cut short or of another format
};
// The entries of a journal folder in the order they were written.
std::vector<StoredEntry> ReadEntries(platform::FileSystem& files, const std::string& folder);

enum class Work { Installation, Removal };

// A folder that a tool's run may write into: files with these extensions ("." included).
struct WatchedFolder {
    std::string folder;
    std::vector<std::string> extensions;
};

// One IDE's journal: what each change of its registry settings and files is about to alter.
class IdeJournal {
public:
    // Creates the folder and writes the header; raises JournalError or FileError.
    IdeJournal(platform::FileSystem& files, const std::string& folder, const std::string& ideName, Work work,
               const std::string& targetFolderName);

    const std::string& Folder() const { return entries_.Path(); }

    // A registry value is about to be written or deleted; `old` is nothing when it does not exist.
    // The root is named as the registry names it (HKEY_USERS\<SID> for another user's hive).
    void ValueChanging(const std::string& root, const std::string& key, const std::string& name,
                       const std::optional<platform::RegistryValue>& old);
    // The key (the first missing one of a path to be created) is about to be created. Undoing it
    // deletes it with everything in it: values written there later need no entries.
    void KeyCreating(const std::string& root, const std::string& key);
    // The key is about to be deleted, with everything in it.
    void KeyDeleting(platform::Registry& registry, platform::Hive root, const std::string& key);

    // Files about to change, one entry for each set: the files to be moved into the journal
    // instead of being deleted (returns where each goes), the files to be moved where there is
    // none, and the files to be written where `replaced` says whether one is there to be moved
    // into the journal first (returns where each replaced one goes; empty for the others).
    std::vector<std::string> FilesMovingAway(const std::vector<std::string>& paths);
    void FilesMoving(const std::vector<platform::FilePair>& moves);
    std::vector<std::string> FilesCreating(const std::vector<std::string>& paths, const std::vector<bool>& replaced);
    void FolderCreating(const std::string& path);
    void FolderRemoving(const std::string& path);
    void AttributesChanging(const std::string& path, std::uint32_t old);
    // A tool is about to run that may write these files and, in the watched folders, files with
    // those extensions. Those that already exist are copied into the journal first, except those
    // that older entries put back whatever they hold, unless the tool's failure is to be undone
    // alone (an optional package's, by DiscardToolOutputs). Returns the entry, for
    // DiscardToolOutputs.
    Entry ToolRunning(const std::vector<std::string>& outputs, const std::vector<WatchedFolder>& watched,
                      bool undoneAlone);
    // Takes away what a tool that failed left behind, and puts back what it overwrote.
    void DiscardToolOutputs(const Entry& toolRun);

    // The IDE's work has succeeded: nothing of it is to be undone. Returns the entry's file.
    std::string Commit();

    // Whether undoing the entries written so far gives the file back as it was before the IDE's
    // work, whatever it holds now, or whether it is there at all: it was made or saved by this
    // work, not moved here from a file that needs its content back, nor given back by a tool run
    // discarded since (its copy is gone).
    bool PutBackWhateverItHolds(const std::string& path) const;

private:
    // Whether the key is one this work created, or lies below one.
    bool InCreatedKey(const std::string& root, const std::string& key) const;
    void Made(const std::string& path);
    // What the file holds is in no entry: deleting or overwriting it must keep it first.
    void Unkept(const std::string& path);
    void MovedHere(const std::string& from, const std::string& to);

    platform::FileSystem& files_;
    EntryFolder entries_;
    std::set<std::string> made_;      // upper-case paths
    std::set<std::string> unkept_;    // upper-case paths whose content no entry keeps
    std::map<std::string, std::vector<std::string>> watched_;  // upper-case folder: extensions
    std::vector<std::string> createdKeys_;  // upper-case root\key
};

// What undoing an IDE's journal did.
struct UndoResult {
    std::string ideName;
    Work work = Work::Installation;
    std::string targetFolderName;
    bool committed = false;  // the IDE's work had succeeded: nothing undone, the journal deleted
    bool changed = false;    // something was put back
    std::vector<std::string> problems;  // what could not be read or put back; the journal stays
    bool Complete() const { return problems.empty(); }
};
// Undoes the IDE journal in the folder, newest entry first, each entry deleted once undone, and
// deletes the journal when everything is undone. An entry that cannot be undone stops there: it
// and the older ones wait for the next try, in the same order. An entry that cannot be read
// leaves the whole journal as it is, reported: undoing only a part could undo a success.
UndoResult UndoIdeJournal(platform::Platform& machine, const std::string& folder);

// The product's main record as the run found it, to be put back when the run is undone.
struct ProductRecord {
    std::string installDir;
    std::string installedVersion;
};

// The run's journal and the installation folder it moves aside.
class RunJournal {
public:
    // Creates the journal folder beside the installation folder, points the registry to it and
    // writes its header. Raises JournalError or the platform's errors.
    RunJournal(platform::Platform& machine, const std::string& installDir,
               const std::optional<ProductRecord>& record);

    const std::string& Folder() const { return entries_.Path(); }

    std::unique_ptr<IdeJournal> BeginIde(const std::string& ideName, Work work, const std::string& targetFolderName);

    // Moves the installation folder aside instead of recycling it; `planned` are the target
    // folders of the IDEs the run changes. False, nothing changed, when it cannot be moved.
    bool MoveAside(const std::vector<std::string>& planned);
    bool HasAside() const { return !aside_.empty(); }
    void Extracted();
    // The installation folder back as it was before the run, after a failed extraction.
    std::vector<std::string> BringBack();
    // The IDE with this target folder has succeeded; its journal may go.
    void Committed(const std::string& targetFolderName, IdeJournal& ide);
    // A failed IDE's target folder back from the installation moved aside.
    std::vector<std::string> GiveBack(const std::string& targetFolderName);
    // The end of the run: the installation moved aside to the recycle bin, the journal deleted
    // and its registry value with it, unless the journal of an IDE is left to be undone.
    void Finish();

private:
    platform::Platform& machine_;
    std::string installDir_;
    EntryFolder entries_;
    std::string aside_;  // where the installation folder was moved; empty: nowhere
    bool unsettled_ = false;  // a folder could not be put back: the journal stays
};

// What the start-up restore did.
struct RestoreReport {
    std::vector<std::string> restored;  // the names of the IDEs that were put back
    std::vector<std::string> problems;
    bool Empty() const { return restored.empty() && problems.empty(); }
};
// Finds the journals of runs that were cut short and undoes them: each IDE whose work had not
// succeeded is put back, an old installation folder moved aside is given back where the run
// needs it and recycled otherwise, as the run's end would have done. Raises nothing for a
// journal it cannot read: that one is reported and left.
RestoreReport RestoreInterruptedRuns(platform::Platform& machine);
// The message box's text; empty when there is nothing to tell.
std::string RestoreMessage(const RestoreReport& report);

}  // namespace engine::journal
