#include <algorithm>

#include "engine/folder_safety.h"
#include "engine/install_data.h"
#include "platform/registry_data.h"
#include "system/file_utils.h"

namespace engine {

using platform::Hive;
using platform::KeyAccess;

namespace {

// A list of file names as one value: "QvBase.dcu;QvBase.obj".
std::vector<std::string> FileNames(const std::string& text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        if (end > start) names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string FileNamesText(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "" : ";") + name;
    return text;
}

bool ReadBool(const platform::RegistryKey& key, const std::string& name, const platform::KeyLocation& where) {
    const auto value = key.ReadInteger(name);
    // A record this installer wrote always holds its booleans: a missing one is damage.
    if (!value) throw platform::ValueFailure("read", where, name, "the value is missing");
    return *value != 0;
}

}  // namespace

// The per-IDE records of a product that is not installed are left from an earlier attempt: a
// first installation starts from the defaults and its first save clears them.
TTargetOptions::TTargetOptions(ide::TCompileTarget& target, TInstallData& owner)
    : Owner(owner), Target(target) {
    if (!Owner.Installed || !LoadFromRegistry()) TakeDefaults();
}

std::string TTargetOptions::RegistryKey() const {
    return std::string(ProductRegistryKey) + "\\" + Target.DisplayName();
}

void TTargetOptions::TakeDefaults() {
    Installed = false;
    IDERegistration = true;
    ZEOS = ZEOSAvailable() && !Owner.FreeVersion;
    MyDAC = MyDACAvailable() && !Owner.FreeVersion;
    ODAC = ODACAvailable() && !Owner.FreeVersion;
    AddSource = Owner.WithSources;
    BPLDir = Target.ExpandedBPLOutputDir();
    DCPDir = Target.ExpandedDCPOutputDir();
    CompilePackages = false;
    Units.clear();
    Headers.clear();
    HPPDir = Target.IsBCB() ? Target.RootDir + "\\Include\\Vcl" : "";
}

bool TTargetOptions::LoadFromRegistry() {
    const auto key = Owner.Machine.registry.OpenKey(Hive::LocalMachine, RegistryKey(), KeyAccess::Read);
    if (!key) return false;
    const platform::KeyLocation where{Hive::LocalMachine, platform::NormalizeKeyPath(RegistryKey())};
    Installed = ReadBool(*key, "Installed", where);
    BPLDir = key->ReadString("BPLDir");
    DCPDir = key->ReadString("DCPDir");
    HPPDir = key->ReadString("HPPDir");
    IDERegistration = ReadBool(*key, "IDE Registration", where);
    ZEOS = ReadBool(*key, "ZEOS Connectivity", where) && ZEOSAvailable();
    AddSource = ReadBool(*key, "Add Source Location", where) && Owner.WithSources;
    MyDAC = false;
    ODAC = false;
    CompilePackages = false;
    Units = FileNames(key->ReadString("Units"));
    Headers = FileNames(key->ReadString("Headers"));
    return true;
}

void TTargetOptions::SaveToRegistry() { SaveToRegistry(Owner.Machine.registry); }

void TTargetOptions::SaveToRegistry(platform::Registry& registry) {
    if (!Installed) {
        registry.DeleteKey(Hive::LocalMachine, RegistryKey());
        return;
    }
    const auto key = registry.OpenKey(Hive::LocalMachine, RegistryKey(), KeyAccess::CreateWrite);
    key->WriteInteger("Installed", Installed ? 1 : 0);
    key->WriteString("BPLDir", BPLDir);
    key->WriteString("DCPDir", DCPDir);
    key->WriteString("HPPDir", HPPDir);
    key->WriteInteger("IDE Registration", IDERegistration ? 1 : 0);
    key->WriteInteger("ZEOS Connectivity", ZEOS ? 1 : 0);
    key->WriteInteger("Add Source Location", AddSource ? 1 : 0);
    key->WriteInteger("Compile Packages", CompilePackages ? 1 : 0);
    key->WriteString("Units", FileNamesText(Units));
    key->WriteString("Headers", FileNamesText(Headers));
}

bool TTargetOptions::ZEOSAvailable() const {
    return sys::FileOrDirExists(Owner.Machine.files,
                                sys::AddPathDelimiter(Target.ExpandedBPLOutputDir()) + "ZCore.bpl");
}

bool TTargetOptions::MyDACAvailable() const {
    return sys::FileOrDirExists(Owner.Machine.files, sys::AddPathDelimiter(Target.RootDir) +
                                                         "Bin\\mydacvcl" +
                                                         std::to_string(Target.Version) + "0.bpl");
}

bool TTargetOptions::ODACAvailable() const {
    return sys::FileOrDirExists(Owner.Machine.files,
                                sys::AddPathDelimiter(Target.ExpandedBPLOutputDir()) + "odac" +
                                    std::to_string(Target.Version) + "0.bpl");
}

std::string TTargetOptions::TargetDir() const {
    return Owner.InstallDir() + "\\" + (Target.IsBCB() ? "CBuilder" : "Delphi") +
           std::to_string(Target.Version);
}

std::vector<TOutputFolder> TTargetOptions::OutputFolders() const {
    std::vector<TOutputFolder> folders{{"BPL", &BPLDir}, {"DCP", &DCPDir}};
    if (Target.IsBCB()) folders.push_back({"HPP", &HPPDir});
    return folders;
}

std::vector<std::string> TTargetOptions::UnusableFolders() const {
    std::vector<std::string> lines;
    for (const auto& folder : OutputFolders())
        if (const auto fault = FolderValueFault(*folder.Value))
            lines.push_back(std::string("The ") + folder.Kind + " folder \"" + *folder.Value + "\" of " +
                            Target.DisplayName() + " cannot be used: " + *fault + ".");
    return lines;
}

TTargetOptionsList::TTargetOptionsList(ide::TCompileTargetList& targets, TInstallData& owner)
    : Owner(owner) {
    for (int i = 0; i < targets.Count(); ++i)
        Items.push_back(std::make_unique<TTargetOptions>(targets[i], owner));
}

bool TTargetOptionsList::AnyAction() const {
    if (Owner.State == isUpdate) return true;
    for (const auto& item : Items)
        if (item->Action != taNone) return true;
    return false;
}

int TTargetOptionsList::InstallCount() const {
    int count = 0;
    for (const auto& item : Items)
        if (item->Action == taInstall) ++count;
    return count;
}

}  // namespace engine
