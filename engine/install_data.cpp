#include "engine/install_data.h"

#include "engine/uninstall_entry.h"

#include "system/file_utils.h"
#include "system/text.h"

namespace engine {

using platform::Hive;
using platform::KeyAccess;

TInstallData::TInstallData(platform::Platform& machine, cmdline::TCmdOptions& options)
    : Machine(machine) {
    LoadFromRegistry();
    const std::string distribution = sys::AddPathDelimiter(Machine.system.CurrentDirectory());
    WithSources = sys::FileOrDirExists(Machine.files, distribution + "withsrcs");
    FreeVersion = sys::FileOrDirExists(Machine.files, distribution + "freevers");
    SetupVersion = TVersion(sys::Trim(ReadDistributionFile(distribution + "version")));
    Targets = std::make_unique<ide::TCompileTargetList>(Machine, options);
    TargetOptions = std::make_unique<TTargetOptionsList>(*Targets, *this);
    if (!Installed)
        State = isInstall;
    else if (SetupVersion.FullText() == InstalledVersion->FullText())
        State = isMaintenance;
    else
        State = isUpdate;
}

// The options refer to the targets: they go first.
TInstallData::~TInstallData() { TargetOptions.reset(); }

std::string TInstallData::ReadDistributionFile(const std::string& path) const {
    return Machine.files.ReadWholeFile(path);
}

void TInstallData::LoadFromRegistry() {
    const auto key = Machine.registry.OpenKey(Hive::LocalMachine, ProductRegistryKey, KeyAccess::Read);
    if (!key) {
        Installed = false;
        return;
    }
    // Per-IDE records and neither value: a first installation that was cut short.
    if (!key->ValueExists("InstallDir") && !key->ValueExists("InstalledVersion")) {
        Installed = false;
        return;
    }
    const std::string folder = key->ReadString("InstallDir");
    const std::string version = key->ReadString("InstalledVersion");
    InstalledVersion = TVersion(sys::Trim(version));
    Installed = !folder.empty() && !InstalledVersion->FullText().empty();
    if (Installed) {
        installDir_ = folder;
        startRecord_ = TRecord{folder, version};
    } else {
        InstalledVersion.reset();
    }
}

void TInstallData::RestoreRecord() { WriteRecord(startRecord_); }

void TInstallData::SaveToRegistry() {
    // The distribution's version: after the run it is the installed one.
    WriteRecord(Installed ? std::optional<TRecord>(TRecord{InstallDir(), SetupVersion.FullText()}) : std::nullopt);
}

void TInstallData::WriteRecord(const std::optional<TRecord>& record) {
    if (!record) {
        Machine.registry.DeleteKey(Hive::LocalMachine, ProductRegistryKey);
        // No installation, no entry in Apps & Features.
        Machine.registry.DeleteKey(Hive::LocalMachine, UninstallRegistryKey);
        return;
    }
    const auto key =
        Machine.registry.OpenKey(Hive::LocalMachine, ProductRegistryKey, KeyAccess::CreateWrite);
    // The version first: a run cut short between the two leaves a version without a folder,
    // which the next start takes for a first installation, never a folder without a version,
    // which it would take for a damaged record.
    key->WriteString("InstalledVersion", record->InstalledVersion);
    key->WriteString("InstallDir", record->InstallDir);
}

std::string TInstallData::DefaultInstallDir() const {
    const std::string programFiles =
        Machine.system.GetSpecialFolder(platform::SpecialFolder::ProgramFiles)
            .value_or("C:\\Program files");
    return sys::AddPathDelimiter(programFiles) + "Veltradb\\Quorvex";
}

const std::string& TInstallData::InstallDir() const {
    if (!installDir_) installDir_ = DefaultInstallDir();
    return *installDir_;
}

std::string TInstallData::PackagesDir() const { return sys::AddPathDelimiter(InstallDir()) + "Packages"; }

std::string TInstallData::SourcesDir() const { return sys::AddPathDelimiter(InstallDir()) + "Sources"; }

}  // namespace engine
