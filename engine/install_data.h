#pragma once
// The installer's record of the run: what the distribution folder and the registry say, the
// installation folder, the IDEs found and the options and action of each.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cmdline/cmd_options.h"
#include "engine/version.h"
#include "ide/compile_target.h"
#include "platform/platform.h"

namespace engine {

// Ordered: every state below isMaintenance extracts the archive.
enum TInstallState : std::uint8_t { isInstall = 0, isUpdate = 1, isMaintenance = 2, isUninstall = 3 };

enum TTargetAction : std::uint8_t { taInstall = 0, taNone = 1, taUninstall = 2 };

// The product's key in HKEY_LOCAL_MACHINE; one subkey per IDE lies below it.
inline constexpr const char* ProductRegistryKey = "Software\\Veltrano Software\\Quorvex";

class TInstallData;

// One output folder of an IDE's build: "BPL", "DCP" or "HPP", and the record's value.
struct TOutputFolder {
    const char* Kind;
    const std::string* Value;
};

// What the product is and should be in one IDE.
class TTargetOptions {
public:
    TTargetOptions(ide::TCompileTarget& target, TInstallData& owner);

    TInstallData& Owner;
    ide::TCompileTarget& Target;
    bool Installed = false;
    bool IDERegistration = true;
    bool ZEOS = false;
    bool MyDAC = false;
    bool ODAC = false;
    bool AddSource = false;
    std::string BPLDir;
    std::string DCPDir;
    std::string HPPDir;
    bool CompilePackages = false;
    TTargetAction Action = taNone;
    // What the installation left of the product for this IDE, recorded with it so that a later
    // maintenance can tell when something went: the units and forms in the target folder and,
    // from a C++Builder build, the headers in the HPP folder (file names).
    std::vector<std::string> Units;
    std::vector<std::string> Headers;

    bool LoadFromRegistry();
    // Writes the IDE's subkey while Installed, deletes it otherwise.
    void SaveToRegistry();
    // The same, written through the given registry (the engine's journal).
    void SaveToRegistry(platform::Registry& registry);

    bool ZEOSAvailable() const;
    bool MyDACAvailable() const;
    bool ODACAvailable() const;
    // Where the product keeps its files for this IDE: InstallDir\Delphi7, InstallDir\CBuilder6.
    std::string TargetDir() const;
    std::string RegistryKey() const;
    // BPL and DCP, and HPP for C++Builder: the folders that the tools and file operations get.
    std::vector<TOutputFolder> OutputFolders() const;
    // One line per output folder that cannot be used, as the engine reports it and the
    // configuration page shows it: The BPL folder "X" of NAME cannot be used: REASON.
    std::vector<std::string> UnusableFolders() const;

private:
    void TakeDefaults();
};

class TTargetOptionsList {
public:
    TTargetOptionsList(ide::TCompileTargetList& targets, TInstallData& owner);

    int Count() const { return static_cast<int>(Items.size()); }
    TTargetOptions& operator[](int index) const { return *Items.at(static_cast<std::size_t>(index)); }

    // True in an update; otherwise whether any IDE has something to do.
    bool AnyAction() const;
    int InstallCount() const;

private:
    TInstallData& Owner;
    std::vector<std::unique_ptr<TTargetOptions>> Items;
};

class TInstallData {
public:
    // The start-up sequence: registry record, marker files, the distribution's version, the
    // installation folder, the IDEs and their options, the state. Any failure raises.
    TInstallData(platform::Platform& machine, cmdline::TCmdOptions& options);
    ~TInstallData();

    platform::Platform& Machine;
    TInstallState State = isInstall;
    bool Installed = false;
    std::optional<TVersion> InstalledVersion;
    TVersion SetupVersion;
    bool WithSources = false;
    bool FreeVersion = false;
    std::unique_ptr<ide::TCompileTargetList> Targets;
    std::unique_ptr<TTargetOptionsList> TargetOptions;
    // The first line of every run when start-up found the signed-in user to be another than the
    // installer's own, or could not tell (ChooseUserHive); empty otherwise.
    std::string UserHiveLine;

    void LoadFromRegistry();
    void SaveToRegistry();
    // Puts the product's main record back as start-up found it, or removes it when it was no
    // installation: a run that ends before its work leaves no new version recorded.
    void RestoreRecord();
    std::string PackagesDir() const;
    std::string SourcesDir() const;
    std::string DefaultInstallDir() const;
    // Where the product is, or goes. A first installation's default is looked up when first asked
    // for: naming Program Files loads the shell, a large library that the first page does not need.
    const std::string& InstallDir() const;
    void SetInstallDir(std::string folder) { installDir_ = std::move(folder); }

    // The main record's two values.
    struct TRecord {
        std::string InstallDir;
        std::string InstalledVersion;
    };
    // As start-up read them; nothing when they made no installation.
    const std::optional<TRecord>& StartRecord() const { return startRecord_; }

private:
    std::string ReadDistributionFile(const std::string& name) const;
    // Writes them, or deletes the key with every per-IDE record, and the entry in Apps & Features,
    // when there are none.
    void WriteRecord(const std::optional<TRecord>& record);
    // As start-up read them, while they make an installation.
    std::optional<TRecord> startRecord_;
    mutable std::optional<std::string> installDir_;
};

}  // namespace engine
