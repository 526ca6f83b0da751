#pragma once
// Setup started from the maintenance copy in its installation folder runs from a copy of itself
// below the user's temporary folder, so that an uninstall may delete the folder it came from.

#include <string>
#include <vector>

namespace platform::win32 {

// The user's temporary folder, with a trailing backslash.
std::string TemporaryFolder();

// Copies the running program and those of the files beside it that exist into a new folder
// "<temporary folder>\PREFIX N" and starts the copy there, with that folder as its current
// directory and this process's arguments. Empty on success; otherwise the failure with the
// operation, the path and the system's reason.
std::string StartTemporaryCopy(const std::string& prefix, const std::vector<std::string>& besideFiles);

// Asks Windows to delete every file of the folder and then the folder itself at the next restart.
void RemoveAtRestart(const std::string& folder);

}  // namespace platform::win32
