#pragma once
// What writing a journal and undoing one share: the names of its files and folders, and the steps
// on its files that both take (a failed tool's outputs taken away, a committed journal deleted, an
// old folder put back, the run's journal removed).

#include <optional>
#include <string>
#include <vector>

#include "engine/journal.h"

namespace engine::journal {

// The platform's names the journal's files use throughout.
using platform::FileSystem;
using platform::Hive;
using platform::KeyAccess;
using platform::RegistryValue;
namespace attr = platform::attr;

inline constexpr const char* EntryExtension = ".entry";
inline constexpr const char* PreviousFolder = "Previous";
inline constexpr const char* ReplacedFolder = "Replaced";

std::string Join(const std::string& folder, const std::string& name);
std::string LastName(const std::string& path);
// An entry's number as its file names write it: six digits.
std::string Number(unsigned number);
// The number of a journal file's name ("000012.entry", "000012-3.file", "000012.tmp").
std::optional<unsigned> NumberOf(const std::string& name);
// What the folder holds, without "." and "..".
std::vector<platform::FindEntry> Listing(platform::FileSystem& files, const std::string& folder);
bool Exists(platform::FileSystem& files, const std::string& path);
bool IsEmptyFolder(platform::FileSystem& files, const std::string& path);
bool HasExtension(const std::string& name, const std::vector<std::string>& extensions);
// A name in the folder that is not taken yet: NAME, NAME (2), NAME (3), ...
std::string FreePath(platform::FileSystem& files, const std::string& folder, const std::string& name);
std::string WorkName(Work work);

// A registry value as an entry's fields: its kind and bytes, or "absent"; and back. `valid` says
// whether the fields could be read.
std::vector<std::string> ValueFields(const std::optional<platform::RegistryValue>& value);
std::optional<platform::RegistryValue> ValueFromFields(const std::vector<std::string>& fields, std::size_t first,
                                                       bool& valid);

// Deletes a file that the undone work made, read-only or not; true when it is gone.
bool RemoveFile(platform::FileSystem& files, const std::string& path);
std::string CouldNotPutBack(const std::string& what);
// A file that the undone work made and that could not be deleted, in words.
std::string CouldNotDelete(const std::string& path);
// Undoes a tool run's entry: what the tool made goes, what it overwrote comes back from the
// journal's copies. What could not be undone, in words.
std::vector<std::string> UndoToolRun(platform::FileSystem& files, const std::string& folder, const Entry& entry);

// The folders of the IDEs' journals in a run's journal folder.
std::vector<std::string> IdeFolders(platform::FileSystem& files, const std::string& root);
bool HasCommitted(const std::vector<StoredEntry>& entries);
// Whether anything in an IDE's journal is to be undone: an entry after its header, and none that
// says the work succeeded.
bool NeedsUndo(const std::vector<StoredEntry>& entries);
// Deletes the journal of an IDE whose work succeeded, its "committed" entry last: as long as any
// other entry is left, that one stays to say that none of them is to be undone.
void DeleteCommittedJournal(platform::FileSystem& files, const std::string& folder, const std::string& committed);
// The old folder back in its place, what is there now moved out of the way (into the journal's
// Replaced folder) first. What could not be done, in words.
std::vector<std::string> PutBackFolder(platform::FileSystem& files, const std::string& root, const std::string& old,
                                       const std::string& place);
// The old installation folder to the recycle bin, and the journal with its registry value gone.
void DeleteRunJournal(platform::Platform& machine, const std::string& root);
// The product's main record as the run's header says it was.
void RestoreRecord(platform::Platform& machine, const Entry& header);

}  // namespace engine::journal
