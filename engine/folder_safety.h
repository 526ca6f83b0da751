#pragma once
// Which folders the installer may recycle or delete as its installation folder. The folder comes
// from the registry or the user; whatever it says, a drive, the system's folders and the user's
// own folders are never taken.

#include <optional>
#include <string>
#include <vector>

#include "platform/system_info.h"

namespace engine {

// False for an empty or relative path, a path with "..", a drive or share root, a short 8.3
// alias (it may stand for anything), and any folder that is or contains a protected folder.
bool MayRemoveFolder(const std::string& folder, const std::vector<std::string>& protectedFolders);

// Windows, system, Program Files, the user profile and its documents and desktop.
std::vector<std::string> ProtectedFolders(platform::SystemInfo& system);

// A character that no folder name holds: " < > | ? *, a control character, or a ":" anywhere
// but after the drive letter. Inside a tool's quoted argument it would end the argument or
// change its meaning.
bool HoldsInvalidCharacter(const std::string& folder);

// Why a folder value cannot be handed to a tool or a file operation: empty, not a full path,
// holding a ".." name or a character that a folder name cannot hold. Nothing when it can.
std::optional<std::string> FolderValueFault(const std::string& folder);

}  // namespace engine
