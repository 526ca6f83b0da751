#include <algorithm>

#include "engine/compiler.h"
#include "engine/folder_safety.h"
#include "engine/journal.h"
#include "engine/library_paths.h"
#include "engine/product_packages.h"
#include "engine/unit_names.h"
#include "ide/path_list.h"
#include "system/file_utils.h"
#include "system/text.h"

namespace engine {

namespace {

// Removal order: design before runtime, connectivity before the main packages.
constexpr const char* RemovalOrder[] = {
    "tkQuorvexDsgnZeos", "tkQuorvexZeos", "tkQuorvexDsgnCrMyDAC", "tkQuorvexCrMyDAC",
    "tkQuorvexDsgnCrODAC", "tkQuorvexCrODAC", "tkQuorvexDsgn", "tkQuorvex",
};

std::vector<std::string>::iterator FindText(std::vector<std::string>& list, const std::string& text) {
    return std::find_if(list.begin(), list.end(),
                        [&](const std::string& entry) { return sys::SameText(entry, text); });
}

// The folder once, at the place of its first spelling found, in macro form.
void AddFolder(const ide::TCompileTarget& ide, std::vector<std::string>& list, const std::string& folder) {
    const std::string entry = ide.InsertRootMacro(folder);
    if (const auto found = FindFolder(ide, list, folder); found != list.end())
        *found = entry;
    else
        list.push_back(entry);
}

void RemoveFolder(const ide::TCompileTarget& ide, std::vector<std::string>& list, const std::string& folder) {
    for (const auto& form : FolderForms(ide, folder))
        if (const auto found = FindText(list, form); found != list.end()) list.erase(found);
}

}  // namespace

std::vector<std::string> FolderForms(const ide::TCompileTarget& ide, const std::string& folder) {
    const std::string withDelimiter = sys::AddPathDelimiter(folder);
    return {folder, withDelimiter, ide.InsertRootMacro(folder), ide.InsertRootMacro(withDelimiter)};
}

std::vector<std::string>::iterator FindFolder(const ide::TCompileTarget& ide, std::vector<std::string>& list,
                                              const std::string& folder) {
    for (const auto& form : FolderForms(ide, folder))
        if (const auto found = FindText(list, form); found != list.end()) return found;
    return list.end();
}

bool ListsFolder(const ide::TCompileTarget& ide, const std::vector<std::string>& list, const std::string& folder) {
    const auto forms = FolderForms(ide, folder);
    return std::any_of(list.begin(), list.end(), [&](const std::string& entry) {
        return std::any_of(forms.begin(), forms.end(),
                           [&](const std::string& form) { return sys::SameText(entry, form); });
    });
}

void TCompiler::UnregisterPackage(TTargetOptions& target, const std::string& baseName) {
    auto& ide = target.Target;
    const std::string bpl = sys::ChangeFileExt(ide.PackageFileName(baseName), ".bpl");
    for (auto* list : {&ide.DisabledPackages, &ide.KnownPackages}) list->Delete(list->IndexOfName(bpl));
}

void TCompiler::RegisterPackage(TTargetOptions& target, const std::string& baseName, const std::string& description) {
    target.Target.KnownPackages.AddPackage(PackageBplFile(target, baseName), description);
}

std::vector<std::string> BuiltPackageFiles(const TTargetOptions& target, const std::string& baseName) {
    const std::string packageFile = target.Target.PackageFileName(baseName);
    std::vector<std::string> paths{PackageBplFile(target, baseName)};
    for (const char* extension : {".dcp", ".bpi", ".lib"})
        paths.push_back(target.DCPDir + "\\" + sys::ChangeFileExt(packageFile, extension));
    return paths;
}

std::vector<std::string> BuiltPackageFiles(const TTargetOptions& target) {
    std::vector<std::string> paths;
    for (const char* package : RemovalOrder) {
        const auto built = BuiltPackageFiles(target, package);
        paths.insert(paths.end(), built.begin(), built.end());
    }
    return paths;
}

void TCompiler::RemovePackage(TTargetOptions& target, const std::string& baseName) {
    auto& ide = target.Target;
    const std::string packageFile = ide.PackageFileName(baseName);
    const std::string bpl = sys::ChangeFileExt(packageFile, ".bpl");
    UnregisterPackage(target, baseName);

    // Deleted where they are; a name that is not there is passed over. The IDE's own macros in its
    // package search path stand for its folders; a folder that is not a full path would be taken
    // from setup's current folder, and is passed over too.
    std::vector<std::string> paths;
    auto stale = [&](const std::string& folder) {
        if (!FolderValueFault(folder)) paths.push_back(sys::AddPathDelimiter(folder) + bpl);
    };
    for (const auto& folder : ide::PathFolders(Machine.system.GetEnv("PATH").value_or(""))) stale(folder);
    for (const auto& folder : ide.PackageSearchPaths) stale(ide.ExpandPathMacros(folder));
    const auto built = BuiltPackageFiles(target, baseName);
    paths.insert(paths.end(), built.begin(), built.end());
    paths.push_back(Data.PackagesDir() + "\\" + sys::ChangeFileExt(packageFile, ".mak"));
    Files().DeleteFiles(paths);
}

void TCompiler::DeleteHeaders(TTargetOptions& target) {
    if (!target.Target.IsBCB()) return;
    std::vector<std::string> headers;
    for (const auto unit : ProductUnitNames)
        headers.push_back(sys::AddPathDelimiter(target.HPPDir) + std::string(unit) + ".hpp");
    Files().DeleteFiles(headers);
}

void TCompiler::AddSourcePath(TTargetOptions& target) {
    AddFolder(target.Target, target.Target.BrowsingPaths, Data.SourcesDir());
}

void TCompiler::RemoveSourcePath(TTargetOptions& target) {
    RemoveFolder(target.Target, target.Target.BrowsingPaths, Data.SourcesDir());
}

void TCompiler::AddUnitPath(TTargetOptions& target) {
    AddFolder(target.Target, target.Target.SearchPaths, target.TargetDir());
}

void TCompiler::RemoveUnitPath(TTargetOptions& target) {
    RemoveFolder(target.Target, target.Target.SearchPaths, target.TargetDir());
}

void TCompiler::SetLibraryPaths(TTargetOptions& target) {
    if (target.AddSource)
        AddSourcePath(target);
    else
        RemoveSourcePath(target);
    AddUnitPath(target);
}

void TCompiler::SaveSettings(TTargetOptions& target) {
    target.Target.SavePaths(Registry());
    target.Target.SavePackageLists(Registry());
    target.Installed = true;
    target.SaveToRegistry(Registry());
}

bool TCompiler::ReinstallTarget(TTargetOptions& target, const std::vector<TDriftFinding>& findings) {
    return SettingsRepairSuffices(findings) ? RepairTarget(target) : InstallTarget(target);
}

// Every package file is there and loads: the lists and paths are written again as the
// installation wrote them, the product's entries out and its design packages back in, in the
// installation's order.
bool TCompiler::RepairTarget(TTargetOptions& target) {
    if (!FoldersUsable(target)) return TargetFailed("Installation into ", target);
    target.Target.ReloadLists();
    return Journaled(target, journal::Work::Installation, [&] {
        for (const char* package : RemovalOrder) UnregisterPackage(target, package);
        if (target.IDERegistration)
            for (const auto& package : InstalledPackages(target, Files()))
                if (package.description) RegisterPackage(target, package.baseName, package.description);
        SetLibraryPaths(target);
        SaveSettings(target);
        AddMessage("Repaired " + target.Target.DisplayName() + " without a rebuild.");
        return true;
    });
}

bool TCompiler::UninstallTarget(TTargetOptions& target) {
    if (!FoldersUsable(target)) return TargetFailed("Uninstall from ", target);
    target.Target.ReloadLists();
    AddMessage("Uninstall from IDE: " + target.Target.DisplayName());
    return Journaled(target, journal::Work::Removal, [&] {
        RemoveFrom(target);
        return true;
    });
}

void TCompiler::RemoveFrom(TTargetOptions& target) {
    if (Data.WithSources) DeleteFiles(target.TargetDir(), true, {".obj", ".dcu"});
    for (const char* package : RemovalOrder) RemovePackage(target, package);
    DeleteHeaders(target);
    RemoveUnitPath(target);
    RemoveSourcePath(target);
    target.Target.SavePaths(Registry());
    target.Target.SavePackageLists(Registry());
    target.Installed = false;
    target.SaveToRegistry(Registry());
}

}  // namespace engine
