#include "tools/seed_ides/ide_seed.h"

#include "system/file_utils.h"
#include "system/text.h"
#include "tools/pe_package/pe_package.h"

namespace seeding {

namespace {

using platform::Hive;
using platform::KeyAccess;

std::string RootMacro(const SeededIde& ide) {
    if (sys::SameText(ide.productKey, "C++Builder")) return "$(BCB)";
    if (sys::SameText(ide.productKey, "BDS")) return "$(BDS)";
    return "$(DELPHI)";
}

std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
    const std::string upperWhat = sys::UpperAscii(what);
    for (std::size_t pos = sys::UpperAscii(text).find(upperWhat); pos != std::string::npos;
         pos = sys::UpperAscii(text).find(upperWhat, pos + with.size()))
        text.replace(pos, what.size(), with);
    return text;
}

std::unique_ptr<platform::RegistryKey> CreateKey(platform::Registry& registry, Hive hive,
                                                 const std::string& path) {
    return registry.OpenKey(hive, path, KeyAccess::CreateWrite);
}

void WriteOptional(platform::RegistryKey& key, const std::string& name,
                   const std::optional<std::string>& value) {
    if (value) key.WriteString(name, *value);
}

void WritePackages(platform::Registry& registry, const std::string& path,
                   const std::vector<PackageValue>& packages) {
    const auto key = CreateKey(registry, Hive::User, path);
    for (const auto& package : packages) key->WriteString(package.file, package.description);
}

void CreateFile(platform::FileSystem& files, const std::string& path, const std::string& content) {
    const auto slash = path.find_last_of('\\');
    if (slash != std::string::npos) sys::ForceDirectories(files, path.substr(0, slash));
    files.WriteFile(path, content);
}

// Appends the folder to the user's PATH unless it is there already.
void AddToUserPath(platform::Registry& registry, const std::string& folder) {
    const auto key = CreateKey(registry, Hive::User, "Environment");
    const std::string path = key->ReadString("PATH");
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find(';', start), path.size());
        if (sys::SameText(path.substr(start, end - start), folder)) return;
        start = end + 1;
    }
    key->WriteString("PATH", path.empty() ? folder : path + ";" + folder);
}

}  // namespace

std::string DefaultApp(const SeededIde& ide) {
    if (!ide.app.empty()) return ide.app;
    const char* program = sys::SameText(ide.productKey, "C++Builder") ? "bcb.exe"
                          : sys::SameText(ide.productKey, "BDS")      ? "bds.exe"
                                                                      : "delphi32.exe";
    return ide.rootDir + "\\Bin\\" + program;
}

int FileVersion(const SeededIde& ide) {
    const int major = ide.keyName.empty() ? 0 : ide.keyName[0] - '0';
    return sys::SameText(ide.productKey, "BDS") && major == 3 ? 9 : major;
}

std::string ExpandedBplOutput(const SeededIde& ide) {
    return ReplaceAll(ide.bplOutput.value_or(""), RootMacro(ide), ide.rootDir);
}

SeededIde TypicalIde(const std::string& productKey, const std::string& keyName,
                     const std::string& rootDir) {
    SeededIde ide;
    ide.productKey = productKey;
    ide.keyName = keyName;
    ide.rootDir = rootDir;
    ide.edition = "Enterprise";
    const std::string root = RootMacro(ide);
    const std::string n = std::to_string(FileVersion(ide)) + "0";
    ide.searchPath = root + "\\Lib;" + root + "\\Bin;" + root + "\\Imports;" + root + "\\Projects\\Bpl";
    ide.browsingPath = root + "\\Source\\Vcl;" + root + "\\Source\\Rtl\\Common;" + root +
                       "\\Source\\Rtl\\Sys";
    ide.packageSearchPath = root + "\\Projects\\Bpl";
    ide.debugDcusPath = root + "\\Lib\\Debug";
    ide.bplOutput = root + "\\Projects\\Bpl";
    ide.dcpOutput = root + "\\Projects\\Bpl";
    ide.knownPackages = {{root + "\\Bin\\dclbase" + n + ".bpl", "Base Components"},
                         {root + "\\Bin\\dcldata" + n + ".bpl", "Data Access Components"}};
    ide.disabledPackages = {{root + "\\Bin\\dclsample" + n + ".bpl", "Sample Components"}};
    ide.knownIdePackages = {{root + "\\Bin\\ideeditor" + n + ".bpl", "Editor"}};
    return ide;
}

void Seed(platform::Registry& registry, platform::FileSystem& files, const SeededIde& ide) {
    if (ide.machineKey) {
        const auto key = CreateKey(registry, Hive::LocalMachine,
                                   "SOFTWARE\\Borland\\" + ide.productKey + "\\" + ide.keyName);
        WriteOptional(*key, "Edition", ide.edition);
        WriteOptional(*key, "Version", ide.versionValue);
        key->WriteString("App", DefaultApp(ide));
        key->WriteString("RootDir", ide.rootDir);
    }
    if (ide.userKey) {
        const std::string user = "SOFTWARE\\Borland\\" +
                                 (ide.registryName.empty() ? ide.productKey : ide.registryName) +
                                 "\\" + ide.keyName;
        CreateKey(registry, Hive::User, user);
        if (ide.libraryKey) {
            const auto key = CreateKey(registry, Hive::User, user + "\\Library");
            WriteOptional(*key, "Search Path", ide.searchPath);
            WriteOptional(*key, "Browsing Path", ide.browsingPath);
            WriteOptional(*key, "Package Search Path", ide.packageSearchPath);
            WriteOptional(*key, "Package DPL Output", ide.bplOutput);
            WriteOptional(*key, "Package DCP Output", ide.dcpOutput);
        }
        if (ide.debuggingKey) {
            const auto key = CreateKey(registry, Hive::User, user + "\\Debugging");
            WriteOptional(*key, "Debug DCUs Path", ide.debugDcusPath);
        }
        if (ide.packageKeys) {
            WritePackages(registry, user + "\\Known Packages", ide.knownPackages);
            WritePackages(registry, user + "\\Disabled Packages", ide.disabledPackages);
            WritePackages(registry, user + "\\Known IDE Packages", ide.knownIdePackages);
        }
    }

    if (ide.rootDir.empty()) return;
    CreateFile(files, DefaultApp(ide), "MZ");
    if (sys::SameText(ide.productKey, "C++Builder")) sys::ForceDirectories(files, ide.rootDir + "\\Include\\Vcl");
    const std::string bpl = ExpandedBplOutput(ide);
    const std::string dcp = ReplaceAll(ide.dcpOutput.value_or(""), RootMacro(ide), ide.rootDir);
    for (const auto& folder : {bpl, dcp})
        if (!folder.empty() && folder.find("$(") == std::string::npos)
            sys::ForceDirectories(files, folder);
    const std::string n = std::to_string(FileVersion(ide)) + "0";
    const std::string rtl = "rtl" + n + ".bpl", vcl = "vcl" + n + ".bpl";
    const std::string bin = ide.rootDir + "\\Bin\\";
    CreateFile(files, bin + rtl, fixtures::PackageImage({}));
    CreateFile(files, bin + vcl, fixtures::PackageImage({rtl}));
    CreateFile(files, bin + "designide" + n + ".bpl", fixtures::PackageImage({rtl, vcl}));
    if (ide.zeos) CreateFile(files, sys::AddPathDelimiter(bpl) + "ZCore.bpl", fixtures::PackageImage({rtl}));
    if (ide.odac) CreateFile(files, sys::AddPathDelimiter(bpl) + "odac" + n + ".bpl", fixtures::PackageImage({rtl}));
    if (ide.mydac) CreateFile(files, bin + "mydacvcl" + n + ".bpl", fixtures::PackageImage({rtl, vcl}));
    if (ide.bplOnPath && !bpl.empty() && bpl.find("$(") == std::string::npos) AddToUserPath(registry, bpl);
    for (const auto& file : ide.files) CreateFile(files, ide.rootDir + "\\" + file, "");
}

}  // namespace seeding
