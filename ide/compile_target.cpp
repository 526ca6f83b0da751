#include "ide/compile_target.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "ide/path_list.h"
#include "system/file_utils.h"
#include "system/text.h"

namespace ide {

namespace {

using platform::Hive;
using platform::KeyAccess;

constexpr BDSVersion BDSVersionTable[] = {
    {"C#Builder", "1.0", 1, "71", 64507, false},
    {"Delphi", "8", 8, "71", 64460, false},
    {"Delphi", "2005", 9, "90", 64431, true},
};

const std::string BorlandKey = "\\SOFTWARE\\Borland\\";

// The number before the first "." of a version key name; 0 when there is none.
int KeyVersionOf(const std::string& keyName) {
    const auto dot = keyName.find('.');
    if (dot == std::string::npos) return 0;
    int value = 0;
    const char* first = keyName.data();
    const char* last = first + dot;
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    return (error == std::errc() && end == last && first != last) ? value : 0;
}

bool IsSupportedBDSKey(const std::string& keyName) {
    const BDSVersion* row = keyName.empty() ? nullptr : FindBDSVersion(keyName[0] - '0');
    return row && row->Supported;
}

std::string ToLowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

const BDSVersion* FindBDSVersion(int keyVersion) {
    if (keyVersion < 1 || keyVersion > 3) return nullptr;
    return &BDSVersionTable[keyVersion - 1];
}

TCompileTarget::TCompileTarget(platform::Platform& machine, std::string productKey,
                               std::string registryName, std::string keyName)
    : ProductKey(std::move(productKey)), KeyName(std::move(keyName)), Machine(machine) {
    KeyVersion = KeyVersionOf(KeyName);
    const BDSVersion* row = IsBDS() ? FindBDSVersion(KeyVersion) : nullptr;
    ProductName = row ? row->ProductName : ProductKey;
    Version = row ? row->Version : KeyVersion;
    VersionStr = row ? row->VersionText : KeyName;
    MachineKey = BorlandKey + ProductKey + "\\" + KeyName;
    UserKey = BorlandKey + registryName + "\\" + KeyName;
    LoadFromRegistry();
}

std::string TCompileTarget::DisplayName() const {
    return ProductName + " " + VersionStr + " (" + Edition + ")";
}

bool TCompileTarget::IsBCB() const { return !sys::SameText(ProductName, "Delphi"); }

bool TCompileTarget::IsBDS() const { return sys::SameText(ProductKey, "BDS"); }

std::string TCompileTarget::PackageFileName(const std::string& baseName) const {
    return baseName + (IsBCB() ? "C" : "D") + std::to_string(Version) + (IsBCB() ? ".bpk" : ".dpk");
}

void TCompileTarget::LoadFromRegistry() {
    if (const auto key = Machine.registry.OpenKey(Hive::LocalMachine, MachineKey, KeyAccess::Read)) {
        Edition = key->ValueExists("Edition")   ? key->ReadString("Edition")
                  : key->ValueExists("Version") ? key->ReadString("Version")
                                                : "Pers";
        IDEExecutable = key->ReadString("App");
        RootDir = sys::RemovePathDelimiter(key->ReadString("RootDir"));
        if (IsBDS()) ProjectsDir = BDSProjectsFolder();
    }
    const auto library = Machine.registry.OpenKey(Hive::User, UserKey + "\\Library", KeyAccess::Read);
    if (library) {
        DCPOutputDir = sys::RemovePathDelimiter(library->ReadString("Package DCP Output"));
        BPLOutputDir = sys::RemovePathDelimiter(library->ReadString("Package DPL Output"));
    }
    // Read, so that a list the engine could not read stops setup before its window, but not kept:
    // the engine reads them again just before it changes them, and forty IDEs' lists are megabytes
    // that no page shows.
    LoadLists(library.get(), false);
}

void TCompileTarget::RequireLists() const {
    if (!listsRead_)
        throw std::logic_error("The lists of " + DisplayName() + " were saved without being read: they would be emptied");
}

void TCompileTarget::ReloadLists() {
    listsRead_ = false;
    LoadLists(Machine.registry.OpenKey(Hive::User, UserKey + "\\Library", KeyAccess::Read).get(), true);
    listsRead_ = true;
}

void TCompileTarget::LoadLists(const platform::RegistryKey* library, bool keep) {
    const auto pathList = [keep](const platform::RegistryKey* key, const char* name, std::vector<std::string>& list) {
        const std::string text = key ? key->ReadString(name) : std::string();
        if (keep) list = SplitPathList(text);
    };
    pathList(library, "Browsing Path", BrowsingPaths);
    pathList(library, "Package Search Path", PackageSearchPaths);
    pathList(library, "Search Path", SearchPaths);
    const auto debugging =
        Machine.registry.OpenKey(Hive::User, UserKey + "\\Debugging", KeyAccess::Read);
    pathList(debugging.get(), "Debug DCUs Path", DebugDCUPaths);
    LoadPackageList(KnownIDEPackages, "Known IDE Packages", keep);
    LoadPackageList(KnownPackages, "Known Packages", keep);
    LoadPackageList(DisabledPackages, "Disabled Packages", keep);
}

void TCompileTarget::LoadPackageList(TDelphiPackageList& list, const std::string& keyName, bool keep) {
    if (keep) list.Clear();
    const auto key =
        Machine.registry.OpenKey(Hive::User, UserKey + "\\" + keyName, KeyAccess::Read);
    if (!key) return;
    const auto values = key->StringValues();
    if (!keep) return;
    for (const auto& [name, description] : values) list.AddPackage(name, description);
}

void TCompileTarget::SavePackageLists() { SavePackageLists(Machine.registry); }

void TCompileTarget::SavePackageLists(platform::Registry& registry) {
    RequireLists();
    SavePackageList(registry, KnownPackages, "Known Packages");
    SavePackageList(registry, DisabledPackages, "Disabled Packages");
}

void TCompileTarget::SavePackageList(platform::Registry& registry, const TDelphiPackageList& list,
                                     const std::string& keyName) {
    const auto key =
        registry.OpenKey(Hive::User, UserKey + "\\" + keyName, KeyAccess::Write);
    if (!key) return;
    const auto names = key->ValueNames();
    for (const auto& name : names)
        if (list.IndexOfFileName(name) < 0) key->DeleteValue(name);
    for (int i = 0; i < list.Count(); ++i)
        if (sys::IndexOfText(list[i].FileName, names) < 0)
            key->WriteString(list[i].FileName, list[i].Description);
}

void TCompileTarget::SavePaths() { SavePaths(Machine.registry); }

void TCompileTarget::SavePaths(platform::Registry& registry) {
    RequireLists();
    if (const auto key =
            registry.OpenKey(Hive::User, UserKey + "\\Library", KeyAccess::Write)) {
        key->WriteString("Browsing Path", JoinPathList(BrowsingPaths));
        key->WriteString("Search Path", JoinPathList(SearchPaths));
    }
    if (const auto key = registry.OpenKey(Hive::User, UserKey + "\\Debugging",
                                          KeyAccess::Write)) {
        const std::string joined = JoinPathList(DebugDCUPaths);
        if (key->ReadString("Debug DCUs Path") != joined) key->WriteString("Debug DCUs Path", joined);
    }
}

std::string TCompileTarget::ExpandPathMacros(const std::string& path) const {
    std::string text = path;
    std::size_t pos = 0;
    while (pos + 1 < text.size()) {
        if (text[pos] == '$' && text[pos + 1] == '(') {
            // A macro without ")" runs to the end of the text.
            const std::size_t close = std::min(text.find(')', pos + 2), text.size());
            const std::string name = ToLowerAscii(text.substr(pos + 2, close - pos - 2));
            std::string value;
            if (name == "delphi" || name == "bcb" || name == "bds")
                value = RootDir;
            else if (name == "bdsprojectsdir" && IsBDS())
                value = ProjectsDir;
            else
                value = Machine.system.GetEnv(name).value_or("");
            if (value != name) {
                text.replace(pos, std::min(close + 1, text.size()) - pos, value);
                // Inserted values are not scanned again.
                pos += value.size();
                continue;
            }
        }
        ++pos;
    }
    return text;
}

std::string TCompileTarget::InsertRootMacro(const std::string& path) const {
    if (!sys::StartsWithText(path, RootDir + "\\", true)) return path;
    const char* macro = IsBCB() ? "$(BCB)" : IsBDS() ? "$(BDS)" : "$(DELPHI)";
    return macro + path.substr(RootDir.size());
}

std::string TCompileTarget::BDSProjectsFolder() const {
    const BDSVersion* row = FindBDSVersion(KeyVersion);
    if (!row) return {};
    std::string folderName = "Borland Studio Projects";
    if (const auto language = Machine.system.LocaleAbbreviation()) {
        const std::string base = RootDir + "\\Bin\\coreide" + row->ResourceSuffix + ".";
        std::string module = base + language->substr(0, 3);
        if (!sys::FileExists(Machine.files, module)) module = base + language->substr(0, 2);
        if (sys::FileExists(Machine.files, module))
            folderName = Machine.system.LoadResourceString(module, row->StringId).value_or("");
    }
    const auto documents = Machine.system.GetSpecialFolder(platform::SpecialFolder::Personal);
    if (!documents) return {};
    return sys::RemovePathDelimiter(*documents) + "\\" + folderName;
}

bool TCompileTarget::IsIDERunning() const {
    const auto processes = Machine.system.RunningProcesses();
    if (!processes) return false;
    const std::string program = sys::UpperAscii(IDEExecutable);
    const std::string programName = sys::UpperAscii(ExtractFileName(IDEExecutable));
    for (const auto& process : *processes) {
        if (sys::UpperAscii(process.exeName) != programName) continue;
        for (const auto& module : Machine.system.ProcessModules(process.id))
            if (sys::UpperAscii(module) == program) return true;
    }
    return false;
}

TCompileTargetList::TCompileTargetList(platform::Platform& machine, cmdline::TCmdOptions& options)
    : Machine(machine) {
    if (options.RegistryDelphi.empty()) options.RegistryDelphi = "Delphi";
    if (options.RegistryBCB.empty()) options.RegistryBCB = "C++Builder";
    if (options.RegistryBDS.empty()) options.RegistryBDS = "BDS";
    if (!options.IgnoreDelphi) LoadTargets("Delphi", options.RegistryDelphi);
    if (!options.IgnoreBCB) LoadTargets("C++Builder", options.RegistryBCB);
    if (!options.IgnoreDelphi) LoadTargets("BDS", options.RegistryBDS);
}

void TCompileTargetList::LoadTargets(const std::string& productKey,
                                     const std::string& registryName) {
    const auto key =
        Machine.registry.OpenKey(Hive::LocalMachine, BorlandKey + productKey, KeyAccess::Read);
    if (!key) return;
    for (const auto& name : key->SubkeyNames()) {
        if (name.empty() || name[0] < '1' || name[0] > '9') continue;
        if (sys::SameText(productKey, "BDS") && !IsSupportedBDSKey(name)) continue;
        if (!Machine.registry.KeyExists(Hive::User, BorlandKey + registryName + "\\" + name))
            continue;
        Targets.push_back(std::make_unique<TCompileTarget>(Machine, productKey, registryName, name));
    }
}

}  // namespace ide
