#pragma once
// One Delphi, C++Builder or BDS installation as the registry describes it, and the list of all.

#include <memory>
#include <string>
#include <vector>

#include "cmdline/cmd_options.h"
#include "ide/package_list.h"
#include "platform/platform.h"

namespace ide {

struct BDSVersion {
    const char* ProductName;
    const char* VersionText;
    int Version;
    const char* ResourceSuffix;
    unsigned StringId;
    bool Supported;
};

// Indexed by the major number of a BDS version key, 1 to 3.
const BDSVersion* FindBDSVersion(int keyVersion);

class TCompileTarget {
public:
    TCompileTarget(platform::Platform& machine, std::string productKey, std::string registryName,
                   std::string keyName);

    std::string ProductName;
    std::string ProductKey;
    int KeyVersion = 0;
    std::string KeyName;
    int Version = 0;
    std::string VersionStr;
    std::string IDEExecutable;
    std::string Edition;
    std::string RootDir;
    std::string ProjectsDir;
    std::vector<std::string> BrowsingPaths;
    std::string DCPOutputDir;
    std::string BPLOutputDir;
    std::vector<std::string> PackageSearchPaths;
    std::vector<std::string> SearchPaths;
    TDelphiPackageList DisabledPackages;
    TDelphiPackageList KnownPackages;
    TDelphiPackageList KnownIDEPackages;
    std::string MachineKey;
    std::string UserKey;
    std::vector<std::string> DebugDCUPaths;

    // "Delphi 7.0 (Enterprise)": shown everywhere and the name of the product's per-IDE key.
    std::string DisplayName() const;
    bool IsBCB() const;
    bool IsBDS() const;
    std::string DccPath() const { return RootDir + "\\Bin\\dcc32.exe"; }
    std::string MakePath() const { return RootDir + "\\Bin\\make.exe"; }
    std::string Bpr2MakPath() const { return RootDir + "\\Bin\\bpr2mak.exe"; }
    // "Name" + "C6.bpk" or "D7.dpk".
    std::string PackageFileName(const std::string& baseName) const;

    std::string ExpandPathMacros(const std::string& path) const;
    std::string ExpandedBPLOutputDir() const { return ExpandPathMacros(BPLOutputDir); }
    std::string ExpandedDCPOutputDir() const { return ExpandPathMacros(DCPOutputDir); }
    std::string InsertRootMacro(const std::string& path) const;

    // Reads the path lists and the package lists. Start-up reads them too but keeps none: the
    // engine calls this before it uses or changes them, so that what the IDE or another program
    // wrote since start-up is kept.
    void ReloadLists();
    void SavePaths();
    void SavePackageLists();
    // The same, written through the given registry (the engine's journal).
    void SavePaths(platform::Registry& registry);
    void SavePackageLists(platform::Registry& registry);
    bool IsIDERunning() const;

private:
    void LoadFromRegistry();
    // From the IDE's "Library" key (none when it is missing) and its other per-user keys.
    // Reads every list; keeps them only when asked to.
    void LoadLists(const platform::RegistryKey* library, bool keep);
    void RequireLists() const;
    void LoadPackageList(TDelphiPackageList& list, const std::string& keyName, bool keep);
    void SavePackageList(platform::Registry& registry, const TDelphiPackageList& list, const std::string& keyName);
    std::string BDSProjectsFolder() const;

    platform::Platform& Machine;
    bool listsRead_ = false;  // by ReloadLists: only then may they be saved
};

class TCompileTargetList {
public:
    // Stores the default registry names into the options where they are empty, then lists the
    // Delphi, C++Builder and BDS installations in that order.
    TCompileTargetList(platform::Platform& machine, cmdline::TCmdOptions& options);

    int Count() const { return static_cast<int>(Targets.size()); }
    TCompileTarget& operator[](int index) const { return *Targets.at(static_cast<std::size_t>(index)); }

private:
    void LoadTargets(const std::string& productKey, const std::string& registryName);

    platform::Platform& Machine;
    std::vector<std::unique_ptr<TCompileTarget>> Targets;
};

}  // namespace ide
