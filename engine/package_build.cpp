#include <algorithm>

#include "engine/compiler.h"
#include "engine/journal.h"
#include "engine/product_packages.h"
#include "engine/unit_names.h"
#include "ide/package_list.h"
#include "system/file_utils.h"
#include "system/text.h"

namespace engine {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Join(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

}  // namespace

bool TCompiler::InstallTarget(TTargetOptions& target) {
    if (!FoldersUsable(target)) return TargetFailed("Installation into ", target);
    target.Target.ReloadLists();
    AddMessage("Compiling for: " + target.Target.DisplayName());
    return Journaled(target, journal::Work::Installation, [&] { return InstallInto(target); });
}

// The work on one IDE, every change through its journal; false at the first step that fails.
bool TCompiler::InstallInto(TTargetOptions& target) {
    auto& files = Files();
    const std::string targetDir = target.TargetDir();
    if (!sys::DirExists(files, targetDir)) files.CreateDirectory(targetDir);
    // Output folders chosen on the configuration page may not exist yet.
    for (const auto& folder : target.OutputFolders()) sys::ForceDirectories(files, *folder.Value);
    if (Data.WithSources) {
        DeleteFiles(targetDir, true, {".obj", ".dcu"});
        CleanForms(target);
    }
    DeleteHeaders(target);

    std::vector<std::string> built;  // base names of the packages that were made
    const auto keep = [&built](bool ok, const char* baseName) {
        if (ok) built.push_back(baseName);
        return ok;
    };
    RemovePackage(target, MainRuntimePackage);
    if (!keep(BuildPackage(target, MainRuntimePackage, false), MainRuntimePackage)) return false;
    RemovePackage(target, MainDesignPackage);
    if (!keep(InstallPackage(target, MainDesignPackage, target.IDERegistration, MainDesignDescription, false),
              MainDesignPackage))
        return false;
    for (const auto& package : Connectivity) {
        if (target.*package.option) {
            // Optional: one that does not build leaves the IDE without it, not without the product.
            RemovePackage(target, package.runtime);
            keep(BuildPackage(target, package.runtime, true), package.runtime);
            RemovePackage(target, package.design);
            keep(InstallPackage(target, package.design, target.IDERegistration, package.description, true),
                 package.design);
        } else {
            // A connectivity switched off since the last run disappears.
            RemovePackage(target, package.design);
            RemovePackage(target, package.runtime);
        }
    }

    SetLibraryPaths(target);
    if (Data.WithSources && !CopyForms(target)) return false;
    RecordProductFiles(target);
    SaveSettings(target);
    CheckPackageLoads(target, built);
    return true;
}

bool TCompiler::InstallPackage(TTargetOptions& target, const std::string& baseName, bool doRegister,
                               const std::string& description, bool optional) {
    const bool ok = BuildPackage(target, baseName, optional);
    AddMessage("Installing package: " + baseName);
    // A package that did not build would stop the IDE from starting cleanly: not registered.
    if (doRegister && ok) RegisterPackage(target, baseName, description);
    return ok;
}

bool TCompiler::BuildPackage(TTargetOptions& target, const std::string& baseName, bool optional) {
    AddMessage("Compiling package: " + baseName);
    const std::string packageFile = target.Target.PackageFileName(baseName);
    const std::string failed = "Package " + baseName + " could not be built; the build log holds the details.";
    bool ok;
    try {
        if (!optional && !target.CompilePackages)
            ok = BuildPrecompiled(target, packageFile);
        else if (target.Target.IsBCB())
            ok = BuildWithMake(target, packageFile, optional);
        else
            ok = BuildWithDcc(target, packageFile, optional);
    } catch (const std::exception& error) {
        // A file that could not be put in place, optional package or not: the IDE's work ends.
        AddMessage(error.what());
        AddMessage(failed);
        throw TargetStopped();
    }
    if (!ok) AddMessage(failed);
    return ok;
}

bool TCompiler::BuildPrecompiled(TTargetOptions& target, const std::string& packageFile) {
    auto& files = Files();
    const std::string targetDir = target.TargetDir();
    // Each copy is checked: a package that did not arrive must not count as installed.
    auto copy = [&](const std::string& extension, const std::string& toFolder) {
        const std::string name = sys::ChangeFileExt(packageFile, extension);
        const std::string from = Join(targetDir, name);
        return sys::FileOrDirExists(files, from) && files.CopyFile(from, Join(toFolder, name), true);
    };
    if (!copy(".bpl", target.BPLDir)) return false;
    if (target.Target.IsBCB()) return copy(".bpi", target.DCPDir) && copy(".lib", target.DCPDir);
    return copy(".dcp", target.DCPDir);
}

bool TCompiler::BuildWithMake(TTargetOptions& target, const std::string& packageFile, bool optional) {
    auto& files = Files();
    auto& system = Machine.system;
    const std::string packagesDir = Data.PackagesDir();
    const std::string sourcesDir = Data.SourcesDir();
    const std::string targetDir = target.TargetDir();
    DeleteFiles(sourcesDir, false, {".obj", ".dcu"});
    DeleteFiles(targetDir, false, {".obj", ".dcu"});
    system.SetEnv("MYUNITOUTDIR", Quoted(targetDir));
    system.SetEnv("MYBPLDIR", Quoted(target.BPLDir));
    system.SetEnv("MYDCPDIR", Quoted(target.DCPDir));
    system.SetEnv("LIBDIR", target.DCPDir);
    system.SetEnv("HPPDIR", target.HPPDir);
    system.SetEnv("BPILIBDIR", target.DCPDir);

    const std::string bpr2mak = Quoted(target.Target.Bpr2MakPath());
    const std::string bpr2makParameters =
        " -t" + Quoted(packagesDir + "\\bcb.bmk") + " " + Quoted(Join(packagesDir, packageFile));
    // Logged with the one blank that the parameters begin with; the run adds a second.
    DoOutput(bpr2mak + bpr2makParameters, Abort);
    const bool toolsSucceeded =
        RunTool(bpr2mak, bpr2makParameters, target, packageFile, optional) == 0 &&
        RunTool(Quoted(target.Target.MakePath()),
                "-f" + Quoted(Join(packagesDir, sys::ChangeFileExt(packageFile, ".mak"))) + " ", target,
                packageFile, optional) == 0;
    bool ok = toolsSucceeded;
    if (toolsSucceeded) {
        // A result that was made but cannot be put in place leaves the old one there: a failure.
        std::vector<platform::FilePair> results;
        for (const auto& [extension, toFolder] :
             {std::pair{".bpl", target.BPLDir}, {".bpi", target.DCPDir}, {".lib", target.DCPDir}}) {
            const std::string name = sys::ChangeFileExt(packageFile, extension);
            const std::string from = Join(packagesDir, name);
            if (sys::FileOrDirExists(files, from)) results.push_back({from, Join(toFolder, name)});
        }
        if (files.MoveFiles(results) != results.size()) ok = false;
        std::vector<sys::FoundFile> units;
        sys::FindFiles(files, sourcesDir, "*.*", false, units, {".obj", ".dcu"});
        std::vector<platform::FilePair> moves;
        for (const auto& unit : units)
            moves.push_back({unit.path, Join(targetDir, ide::ExtractFileName(unit.path))});
        files.MoveFiles(moves);
    }
    std::vector<std::string> leftOvers;
    for (const char* extension : {".mak", ".obj", ".tds"})
        leftOvers.push_back(Join(packagesDir, sys::ChangeFileExt(packageFile, extension)));
    files.DeleteFiles(leftOvers);
    return ok;
}

bool TCompiler::BuildWithDcc(TTargetOptions& target, const std::string& packageFile, bool optional) {
    const std::string targetDir = target.TargetDir();
    const std::string define = Data.FreeVersion ? "-DFREE" : "";
    const std::string parameters = " -B -H+ -W+ -U" + Quoted(targetDir) + " -U" +
                                   Quoted(target.Target.ExpandedDCPOutputDir()) + " -N" +
                                   Quoted(targetDir) + " -LE" + Quoted(target.BPLDir) + " -LN" +
                                   Quoted(target.DCPDir) + " " + define + " " + packageFile;
    const std::string command = Quoted(target.Target.DccPath());
    DoOutput(command + " " + parameters, Abort);
    return RunTool(command, parameters, target, packageFile, optional) == 0;
}

int TCompiler::RunTool(const std::string& command, const std::string& parameters, TTargetOptions& target,
                       const std::string& packageFile, bool optional) {
    std::optional<journal::Entry> toolRun;
    if (ideJournal_) {
        // What any of the tools may write for the package: its files in the folders that the
        // command lines and the make variables name, the units in the target and sources folders.
        std::vector<std::string> outputs;
        const std::string packagesDir = Data.PackagesDir();
        for (const char* extension : {".bpl", ".dcp", ".bpi", ".lib", ".mak", ".obj", ".tds"})
            outputs.push_back(Join(packagesDir, sys::ChangeFileExt(packageFile, extension)));
        outputs.push_back(Join(target.BPLDir, sys::ChangeFileExt(packageFile, ".bpl")));
        for (const char* extension : {".dcp", ".bpi", ".lib"})
            outputs.push_back(Join(target.DCPDir, sys::ChangeFileExt(packageFile, extension)));
        if (target.Target.IsBCB())
            for (const auto unit : ProductUnitNames) outputs.push_back(Join(target.HPPDir, std::string(unit) + ".hpp"));
        toolRun = ideJournal_->ToolRunning(outputs, {{target.TargetDir(), {".dcu", ".obj"}},
                                                     {Data.SourcesDir(), {".dcu", ".obj"}}},
                                           optional);
    }
    platform::IdleCallback idle;
    if (OnIdle) idle = [this] { OnIdle(*this); };
    const int exitCode = Capture(command, parameters, Data.PackagesDir(), idle);
    if (exitCode != 0 && toolRun) ideJournal_->DiscardToolOutputs(*toolRun);
    return exitCode;
}

void TCompiler::RecordProductFiles(TTargetOptions& target) {
    std::vector<sys::FoundFile> found;
    sys::FindFiles(Files(), target.TargetDir(), "*.*", false, found, {".dcu", ".obj", ".dfm"});
    target.Units.clear();
    for (const auto& file : found) target.Units.push_back(ide::ExtractFileName(file.path));
    std::sort(target.Units.begin(), target.Units.end());
    target.Headers.clear();
    if (!target.Target.IsBCB()) return;
    for (const auto unit : ProductUnitNames) {
        const std::string header = std::string(unit) + ".hpp";
        if (sys::FileOrDirExists(Files(), Join(target.HPPDir, header))) target.Headers.push_back(header);
    }
}

void TCompiler::CleanForms(TTargetOptions& target) {
    DeleteFiles(target.TargetDir(), false, {".dfm", ".xfm"});
}

bool TCompiler::CopyForms(TTargetOptions& target) {
    std::vector<sys::FoundFile> forms;
    sys::FindFiles(Files(), Data.SourcesDir(), "*.dfm", false, forms, {});
    std::vector<platform::FilePair> copies;
    for (const auto& form : forms)
        copies.push_back({form.path, Join(target.TargetDir(), ide::ExtractFileName(form.path))});
    return Files().CopyFiles(copies, true) == copies.size();
}

void TCompiler::DeleteFiles(const std::string& folder, bool recursive,
                            const std::vector<std::string>& extensions) {
    // The folders cleaned lie directly in the installation folder.
    if (!MayRemove(folder) || sys::IsLink(Files(), folder) || sys::IsLink(Files(), Data.InstallDir())) return;
    std::vector<sys::FoundFile> found;
    sys::FindFiles(Files(), folder, "*.*", recursive, found, extensions);
    std::vector<std::string> paths;
    for (const auto& file : found) paths.push_back(file.path);
    Files().DeleteFiles(paths);
}

}  // namespace engine
