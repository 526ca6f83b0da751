#pragma once
// The product's entry in Apps & Features and the maintenance copy of setup it starts: the copy
// lives in "<installation folder>\Setup", so that the product can be changed and removed when
// the distribution is gone.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/folder_safety.h"
#include "platform/registry.h"

namespace engine {

// HKEY_LOCAL_MACHINE, in the 32-bit view like the product's own key.
inline constexpr const char* UninstallRegistryKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvex";
inline constexpr const char* MaintenanceFolderName = "Setup";
// The folder below the user's temporary folder that a maintenance copy runs from: this prefix
// and a number.
inline constexpr const char* TemporaryCopyPrefix = "Quorvex Setup ";
// The marker files of the distribution's edition, which a copy of setup takes along.
inline constexpr const char* EditionMarkers[] = {"withsrcs", "freevers"};

struct UninstallEntry {
    std::string displayVersion;  // "2.4.1.17"
    std::string comments;        // the edition: "Standard Edition"
    std::string installLocation;
    std::string installDate;  // YYYYMMDD
    std::uint64_t estimatedBytes = 0;
    std::string copyFolder;  // the folder of the maintenance copy
};

// "<installation folder>\Setup".
std::string MaintenanceFolder(const std::string& installDir);

// Writes every value of the entry; raises the registry's error naming the key and the reason.
void WriteUninstallEntry(platform::Registry& registry, const UninstallEntry& entry);

// The installation folder that the product's record names; nothing when there is none.
std::optional<std::string> RecordedInstallDir(platform::Registry& registry);

// Whether setup, running from the folder, is a maintenance copy in the recorded installation
// folder that has to run from a temporary copy: the folder lies inside the installation folder,
// and that is one the safety rules let an uninstall delete. The guarded folders are asked for
// only then: naming them loads the shell, which a start from a distribution does not need yet.
bool RunsFromInstallation(const std::string& programFolder, const std::optional<std::string>& installDir,
                          const std::function<GuardedFolders()>& guarded, platform::FileSystem& files);

// Whether the folder is a temporary copy that setup made of itself: "Quorvex Setup N" directly
// in the temporary folder.
bool IsTemporaryCopy(const std::string& programFolder, const std::string& tempFolder);

}  // namespace engine
