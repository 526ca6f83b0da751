// The end of an install run: the maintenance copy of setup in the installation folder and the
// product's entry in Apps & Features, which starts it.
#include "engine/compiler.h"
#include "engine/folder_safety.h"
#include "engine/journal.h"
#include "engine/uninstall_entry.h"
#include "system/file_utils.h"

namespace engine {

namespace {

// The name of the journal of this work, and so of it in the message of a run cut short.
const char* const MaintenanceWork = "The entry of Quorvex in Apps & Features";

}  // namespace

void TCompiler::RecordMaintenance() {
    const std::string& installDir = Data.InstallDir();
    const std::string folder = MaintenanceFolder(installDir);
    const std::string key = Machine.registry.RootName(platform::Hive::LocalMachine) + "\\" + UninstallRegistryKey;
    // An uninstall started from there would delete the folder: no copy goes where none may.
    if (const auto refusal = RemovalRefusal(installDir, ProtectedFolders(Machine.system), Machine.files)) {
        AddMessage("No maintenance copy of setup is written to " + folder + " and no entry to " + key + ", since " +
                   installDir + " is no folder that an uninstall may delete: " + RefusalReason(*refusal) + ".");
        return;
    }
    UninstallEntry entry{Data.SetupVersion.NumberText(), Data.SetupVersion.EditionName(), installDir,
                         Machine.system.LocalDate(), 0, folder};
    const auto result = RunJournaled(MaintenanceWork, journal::Work::Installation, MaintenanceFolderName, [&] {
        WriteMaintenanceCopy(folder);
        entry.estimatedBytes = InstalledBytes();
        WriteUninstallEntry(Registry(), entry);
        return true;
    });
    if (result.ok) return;
    std::string line = "The maintenance copy of setup in " + folder + " and the entry " + key +
                       " could not be written: " + result.error;
    if (result.problems.empty()) {
        line += " The old ones are kept.";
    } else {
        for (const auto& problem : result.problems) line += " " + problem;
        line += " The journal in " + result.journalFolder + " keeps what is left to undo.";
    }
    AddMessage(line);
}

void TCompiler::WriteMaintenanceCopy(const std::string& folder) {
    auto& files = Files();
    const auto attributes = files.GetAttributes(folder);
    if (attributes && !(*attributes & platform::attr::Directory))
        throw platform::FileError("Cannot create the folder " + folder + ": a file of that name is in its place.");
    if (!attributes) files.CreateDirectory(folder);
    const std::string to = sys::AddPathDelimiter(folder);
    const std::string distribution = sys::AddPathDelimiter(Machine.system.CurrentDirectory());
    files.WriteFile(to + "setup.exe",
                    Machine.files.ReadWholeFile(sys::AddPathDelimiter(Machine.system.ProgramFolder()) + "setup.exe"));
    files.WriteFile(to + "version", Machine.files.ReadWholeFile(distribution + "version"));
    const bool present[] = {Data.WithSources, Data.FreeVersion};
    for (std::size_t i = 0; i < std::size(EditionMarkers); ++i) {
        const std::string marker = to + EditionMarkers[i];
        if (present[i])
            files.WriteFile(marker, "");
        else if (sys::FileOrDirExists(files, marker))
            files.DeleteFile(marker);  // an old copy's edition
    }
}

std::uint64_t TCompiler::InstalledBytes() {
    std::vector<sys::FoundFile> found;
    sys::FindFiles(Machine.files, sys::RemovePathDelimiter(Data.InstallDir()), "*.*", true, found);
    std::uint64_t bytes = 0;
    for (const auto& file : found) bytes += file.size;
    auto& targets = *Data.TargetOptions;
    for (int i = 0; i < targets.Count(); ++i) {
        if (!targets[i].Installed) continue;
        for (const auto& path : BuiltPackageFiles(targets[i])) {
            const auto listing = Machine.files.Find(path, platform::attr::AnyFile);
            for (const auto& file : listing.entries)
                if (!(file.attributes & platform::attr::Directory)) bytes += file.size;
        }
    }
    return bytes;
}

}  // namespace engine
