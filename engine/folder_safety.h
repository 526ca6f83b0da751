#pragma once
// Which folders the installer may recycle or delete: its installation folder and the folders
// below it that it cleans. The folder comes from the registry or the user; whatever it says, a
// drive, the system's folders, the user's own folders and the folder setup runs from are never
// taken, under whichever name the folder is reached: a folder is known by what the system says it
// is (its volume and file index) as well as by its name, so that no mapped drive, share, link or
// 8.3 alias of a guarded folder passes.

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/system_info.h"

namespace engine {

// Why a folder may not be removed.
enum class FolderRefusal {
    NotAbsolute,     // empty, relative, or a device path
    DotName,         // a ".." (or "."): the path may lead anywhere
    ShortName,       // an 8.3 alias such as PROGRA~1 of a folder the system cannot name: it may be any
    BadCharacter,    // " < > | ? *, a control character or a ":" after the drive
    WholeDrive,      // a drive or share root
    SystemOrUser,    // a folder of the system or of the user, or one above it
    SetupFolder,     // the folder setup runs from, or one above it
};

// The folders that removals keep away from. One given in 8.3 names guards the folder it is; where
// the system cannot say what that is, its short names stand for any name.
struct GuardedFolders {
    // The Windows and system folders: neither it, nor anything inside it, nor any folder above it.
    std::vector<std::string> withContents;
    // Program Files, Common Files, the user profile and shell folders: each and every folder above.
    std::vector<std::string> system;
    // Setup's own folder and the current directory: each and every folder above.
    std::vector<std::string> setup;
};

// Why the folder may not be removed; nothing when it may. Besides the names, `files` tells what
// the folder, the folders on its path and the guarded folders are: the folder is refused when it
// is a guarded folder or one above it, or when a folder on its path is one guarded with its
// contents. The names alone decide for a folder the system cannot name (one that does not exist,
// or on a file system without file indexes).
std::optional<FolderRefusal> RemovalRefusal(const std::string& folder, const GuardedFolders& guarded,
                                            platform::FileSystem& files);

// The reason in words, to follow "it": "is a whole drive".
std::string RefusalReason(FolderRefusal refusal);

// The guarded folders of this machine and this run.
GuardedFolders ProtectedFolders(platform::SystemInfo& system);

// Why a folder value cannot be handed to a tool or a file operation: empty, not a full path,
// holding a ".." name or a character that a folder name cannot hold. Nothing when it can.
std::optional<std::string> FolderValueFault(const std::string& folder);
// The same for a new installation folder, which the IDEs' library paths will name: a ";" there
// separates their entries and would split the folder into two that are not it. (A folder an
// installation already has stays removable whatever it holds.)
std::optional<std::string> InstallFolderFault(const std::string& folder);

}  // namespace engine
