#include "engine/uninstall_entry.h"

#include <algorithm>

#include "engine/install_data.h"
#include "system/file_utils.h"
#include "system/text.h"

namespace engine {

namespace {

// The folder's path in upper case with one trailing backslash: "C:\Q" holds "C:\Q\X", not "C:\QX".
std::string FolderKey(const std::string& folder) {
    return sys::UpperAscii(sys::AddPathDelimiter(sys::WithoutTrailingDelimiters(folder)));
}

}  // namespace

std::string MaintenanceFolder(const std::string& installDir) {
    return sys::AddPathDelimiter(installDir) + MaintenanceFolderName;
}

void WriteUninstallEntry(platform::Registry& registry, const UninstallEntry& entry) {
    const auto key = registry.OpenKey(platform::Hive::LocalMachine, UninstallRegistryKey,
                                      platform::KeyAccess::CreateWrite);
    const std::string program = "\"" + sys::AddPathDelimiter(entry.copyFolder) + "setup.exe\"";
    key->WriteString("DisplayName", "Quorvex");
    key->WriteString("DisplayVersion", entry.displayVersion);
    key->WriteString("Publisher", "Veltrano Software");
    key->WriteString("Comments", entry.comments);
    key->WriteString("InstallLocation", entry.installLocation);
    key->WriteString("InstallDate", entry.installDate);
    // In KB, as Apps & Features shows it; no installation reaches 2 TB.
    const std::uint64_t kilobytes = (entry.estimatedBytes + 1023) / 1024;
    key->WriteInteger("EstimatedSize", static_cast<std::int32_t>(std::min<std::uint64_t>(kilobytes, 0x7FFFFFFF)));
    key->WriteString("DisplayIcon", program + ",0");
    key->WriteString("UninstallString", program);
    key->WriteInteger("NoRepair", 1);
}

std::optional<std::string> RecordedInstallDir(platform::Registry& registry) {
    const auto key = registry.OpenKey(platform::Hive::LocalMachine, ProductRegistryKey, platform::KeyAccess::Read);
    if (!key) return std::nullopt;
    std::string folder = key->ReadString("InstallDir");
    if (folder.empty()) return std::nullopt;
    return folder;
}

bool RunsFromInstallation(const std::string& programFolder, const std::optional<std::string>& installDir,
                          const std::function<GuardedFolders()>& guarded, platform::FileSystem& files) {
    if (!installDir || installDir->empty()) return false;
    if (FolderKey(programFolder).rfind(FolderKey(*installDir), 0) != 0) return false;
    GuardedFolders folders = guarded();
    // Setup's own folder lies inside it: that is what the copy is for, not a reason to refuse.
    folders.setup.clear();
    return !RemovalRefusal(*installDir, folders, files);
}

bool IsTemporaryCopy(const std::string& programFolder, const std::string& tempFolder) {
    const std::string prefix = FolderKey(tempFolder) + sys::UpperAscii(TemporaryCopyPrefix);
    const std::string folder = sys::UpperAscii(sys::WithoutTrailingDelimiters(programFolder));
    if (folder.size() <= prefix.size() || folder.rfind(prefix, 0) != 0) return false;
    const std::string number = folder.substr(prefix.size());
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace engine
