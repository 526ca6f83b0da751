#pragma once
// Which folders the installer may recycle or delete as its installation folder. The folder comes
// from the registry or the user; whatever it says, a drive, the system's folders and the user's
// own folders are never taken.

#include <string>
#include <vector>

#include "platform/system_info.h"

namespace engine {

// False for an empty or relative path, a path with "..", a drive or share root, a short 8.3
// alias (it may stand for anything), and any folder that is or contains a protected folder.
bool MayRemoveFolder(const std::string& folder, const std::vector<std::string>& protectedFolders);

// Windows, system, Program Files, the user profile and its documents and desktop.
std::vector<std::string> ProtectedFolders(platform::SystemInfo& system);

}  // namespace engine
