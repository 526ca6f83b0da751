#include "engine/ide_check.h"

#include "engine/library_paths.h"
#include "engine/load_check.h"
#include "engine/product_packages.h"
#include "ide/path_list.h"
#include "system/file_utils.h"
#include "system/text.h"

namespace engine {

namespace {

std::string Join(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

class Check {
public:
    Check(TInstallData& data, const TTargetOptions& target)
        : data_(data), target_(target), ide_(target.Target), files_(data.Machine.files) {}

    std::vector<TDriftFinding> Run() {
        const auto packages = InstalledPackages(target_, files_);
        for (const auto& package : packages)
            if (package.description && target_.IDERegistration) Registration(package.baseName);
        LibraryPaths();
        std::vector<std::string> present;
        for (const auto& package : packages)
            if (PackageFiles(package.baseName)) present.push_back(package.baseName);
        for (const auto& problem : PackageLoadProblems(data_.Machine, target_, present))
            Add(TDriftKind::PackageWillNotLoad, problem);
        for (const auto& package : packages)
            if (!package.description) Shadowing(package.baseName);
        ProductFiles();
        return std::move(findings_);
    }

private:
    void Add(TDriftKind kind, const std::string& text) { findings_.push_back({kind, text}); }

    std::string Bpl(const std::string& baseName) const {
        return sys::ChangeFileExt(ide_.PackageFileName(baseName), ".bpl");
    }

    void Registration(const std::string& baseName) {
        const std::string bpl = Bpl(baseName);
        const std::string registered = PackageBplFile(target_, baseName);
        // The IDE disables a package by its path, and may take it out of the known packages: that
        // is one finding. An entry of an old copy elsewhere disables nothing of this one.
        for (int i = 0; i < ide_.DisabledPackages.Count(); ++i) {
            const std::string& entry = ide_.DisabledPackages[i].FileName;
            if (!sys::SameText(ide_.ExpandPathMacros(entry), registered)) continue;
            Add(TDriftKind::DesignPackageDisabled, entry + " is in the disabled packages.");
            return;
        }
        const int known = ide_.KnownPackages.IndexOfName(bpl);
        if (known < 0) {
            Add(TDriftKind::DesignPackageNotRegistered, registered + " is not in the known packages.");
            return;
        }
        const std::string& entry = ide_.KnownPackages[known].FileName;
        if (!sys::SameText(ide_.ExpandPathMacros(entry), registered))
            Add(TDriftKind::DesignPackageElsewhere,
                "The known packages name " + entry + " instead of " + registered + ".");
    }

    void LibraryPaths() {
        if (!ListsFolder(ide_, ide_.SearchPaths, target_.TargetDir()))
            Add(TDriftKind::UnitPathMissing, target_.TargetDir() + " is not in the search path.");
        if (target_.AddSource && !ListsFolder(ide_, ide_.BrowsingPaths, data_.SourcesDir()))
            Add(TDriftKind::SourcePathMissing, data_.SourcesDir() + " is not in the browsing path.");
    }

    void Missing(TDriftKind kind, const std::string& path) {
        if (!sys::FileExists(files_, path)) Add(kind, "The file " + path + " is missing.");
    }

    // True when the package file itself is there.
    bool PackageFiles(const std::string& baseName) {
        const std::string packageFile = ide_.PackageFileName(baseName);
        const std::string bpl = PackageBplFile(target_, baseName);
        Missing(TDriftKind::PackageFileMissing, bpl);
        for (const char* extension : ide_.IsBCB() ? std::vector<const char*>{".bpi", ".lib"}
                                                  : std::vector<const char*>{".dcp"})
            Missing(TDriftKind::PackageFileMissing, Join(target_.DCPDir, sys::ChangeFileExt(packageFile, extension)));
        return sys::FileExists(files_, bpl);
    }

    // The loader takes the first file of the package's name on the PATH: one in a folder before
    // the BPL folder answers for the package.
    void Shadowing(const std::string& baseName) {
        const std::string bpl = Bpl(baseName);
        for (const auto& folder : ide::PathFolders(data_.Machine.system.GetEnv("PATH").value_or(""))) {
            if (sys::SameText(sys::WithoutTrailingDelimiters(folder), target_.BPLDir)) return;
            const std::string path = sys::AddPathDelimiter(folder) + bpl;
            if (sys::FileExists(files_, path)) {
                Add(TDriftKind::PackageShadowed,
                    path + " comes earlier on the PATH than " + target_.BPLDir + " and is loaded instead.");
                return;
            }
        }
    }

    // The units, object files and forms in the target folder and the headers in the HPP folder
    // that the installation recorded as left there.
    void ProductFiles() {
        for (const auto& unit : target_.Units)
            Missing(TDriftKind::ProductFileMissing, Join(target_.TargetDir(), unit));
        for (const auto& header : target_.Headers)
            Missing(TDriftKind::ProductFileMissing, Join(target_.HPPDir, header));
    }

    TInstallData& data_;
    const TTargetOptions& target_;
    const ide::TCompileTarget& ide_;
    platform::FileSystem& files_;
    std::vector<TDriftFinding> findings_;
};

}  // namespace

bool TDriftFinding::InSettings() const { return Kind <= TDriftKind::SourcePathMissing; }

std::string TDriftFinding::Summary() const {
    switch (Kind) {
    case TDriftKind::DesignPackageNotRegistered: return "the design package is not registered";
    case TDriftKind::DesignPackageElsewhere: return "the design package is registered from another folder";
    case TDriftKind::DesignPackageDisabled: return "the design package is disabled";
    case TDriftKind::UnitPathMissing: return "the units are not on the search path";
    case TDriftKind::SourcePathMissing: return "the sources are not on the browsing path";
    case TDriftKind::PackageFileMissing: return "a package file is missing";
    case TDriftKind::PackageWillNotLoad: return "a package will not load";
    case TDriftKind::PackageShadowed: return "another copy of a package is loaded instead";
    case TDriftKind::ProductFileMissing: return "a file of the product is missing";
    }
    return {};
}

std::vector<TDriftFinding> CheckInstalledIDE(TInstallData& data, TTargetOptions& target) {
    target.Target.ReloadLists();
    return Check(data, target).Run();
}

std::string RepairLine(const std::vector<TDriftFinding>& findings) {
    if (findings.empty()) return {};
    if (findings.size() == 1) return "Needs repair: " + findings.front().Summary();
    return "Needs repair: " + std::to_string(findings.size()) + " findings";
}

bool SettingsRepairSuffices(const std::vector<TDriftFinding>& findings) {
    if (findings.empty()) return false;
    for (const auto& finding : findings)
        if (!finding.InSettings()) return false;
    return true;
}

}  // namespace engine
