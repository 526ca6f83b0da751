#pragma once
// Simulated IDE installations for tests and the demo: the registry layout an installed Delphi,
// C++Builder or BDS leaves behind, and the folders and files the installer looks at.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/registry.h"

namespace seeding {

struct PackageValue {
    std::string file;         // value name: a path, possibly with macros
    std::string description;  // value data
};

struct SeededIde {
    std::string productKey = "Delphi";  // "Delphi", "C++Builder" or "BDS"
    std::string keyName = "7.0";        // version key
    std::string registryName;           // product key in the user hive; empty: productKey
    std::optional<std::string> edition;       // value "Edition"
    std::optional<std::string> versionValue;  // value "Version"
    std::string rootDir;
    std::string app;  // empty: the product's usual program below RootDir\Bin

    bool machineKey = true;    // HKLM version key
    bool userKey = true;       // HKCU version key: without it the IDE is not listed
    bool libraryKey = true;    // HKCU ...\Library
    bool debuggingKey = true;  // HKCU ...\Debugging
    bool packageKeys = true;   // the three package keys, even when empty

    // Library values; empty optional: the value is left out.
    std::optional<std::string> searchPath, browsingPath, packageSearchPath, debugDcusPath;
    std::optional<std::string> bplOutput, dcpOutput;

    std::vector<PackageValue> knownPackages, disabledPackages, knownIdePackages;

     // Connectivity libraries: ZCore.bpl and odacN0.bpl in the BPL output, mydacvclN0.bpl in Bin.
    bool zeos = false, mydac = false, odac = false;
    // The BPL output folder on the user's PATH (HKCU\Environment), as the IDE's installer puts it,
    // so that programs started later find the packages there.
    bool bplOnPath = true;
    // Extra files to create, relative to RootDir.
    std::vector<std::string> files;
};

// A complete installation of the product with the paths and packages such an IDE ships with.
SeededIde TypicalIde(const std::string& productKey, const std::string& keyName,
                     const std::string& rootDir);

// The program file App names by default: Bin\delphi32.exe, Bin\bcb.exe or Bin\bds.exe.
std::string DefaultApp(const SeededIde& ide);
// Version number used in file names (mydacvcl70.bpl): the key's major number, 9 for BDS 3.
int FileVersion(const SeededIde& ide);
// Macro-expanded BPL output folder ($(DELPHI), $(BCB), $(BDS) replaced by RootDir).
std::string ExpandedBplOutput(const SeededIde& ide);

// Writes the registry layout and creates the folders and files: the IDE's own runtime packages
// (rtlN0, vclN0, designideN0.bpl) in Bin and the connectivity libraries are real 32-bit DLLs.
// Existing values are replaced.
void Seed(platform::Registry& registry, platform::FileSystem& files, const SeededIde& ide);

}  // namespace seeding
