#include "engine/compiler.h"
#include "system/file_utils.h"
#include "system/text.h"

namespace engine {

namespace {

struct ProductPackage {
    const char* runtime;
    const char* design;
    const char* description;
    bool TTargetOptions::*option;  // connectivity switch; none for the main packages
};

constexpr ProductPackage Connectivity[] = {
    {"tkQuorvexZeos", "tkQuorvexDsgnZeos", "Quorvex Component ZEOS Connectivity", &TTargetOptions::ZEOS},
    {"tkQuorvexCrMyDAC", "tkQuorvexDsgnCrMyDAC", "Quorvex Component CoreLab MyDAC Connectivity",
     &TTargetOptions::MyDAC},
    {"tkQuorvexCrODAC", "tkQuorvexDsgnCrODAC", "Quorvex Component CoreLab Oracle DAC Connectivity",
     &TTargetOptions::ODAC},
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Join(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

}  // namespace

bool TCompiler::InstallTarget(TTargetOptions& target) {
    if (!FoldersUsable(target)) return TargetFailed("Installation into ", target);
    target.Target.ReloadLists();
    AddMessage("Compiling for: " + target.Target.DisplayName());
    const std::string targetDir = target.TargetDir();
    if (!sys::DirExists(Machine.files, targetDir)) Machine.files.CreateDirectory(targetDir);
    // Output folders chosen on the configuration page may not exist yet.
    for (const auto& folder : target.OutputFolders()) sys::ForceDirectories(Machine.files, *folder.Value);
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
    RemovePackage(target, "tkQuorvex");
    bool mainBuilt = keep(BuildPackage(target, "tkQuorvex", false), "tkQuorvex");
    RemovePackage(target, "tkQuorvexDsgn");
    mainBuilt = keep(InstallPackage(target, "tkQuorvexDsgn", target.IDERegistration, "Quorvex Component", false),
                     "tkQuorvexDsgn") &&
                mainBuilt;
    for (const auto& package : Connectivity) {
        if (target.*package.option) {
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

    if (target.AddSource)
        AddSourcePath(target);
    else
        RemoveSourcePath(target);
    AddUnitPath(target);
    if (Data.WithSources) CopyForms(target);
    target.Target.SavePaths();
    target.Target.SavePackageLists();
    // Recorded even after a failed build, so that an uninstall finds what was registered.
    target.Installed = true;
    target.SaveToRegistry();
    CheckPackageLoads(target, built);
    if (!mainBuilt) return TargetFailed("Installation into ", target);
    AddMessage("Completed");
    AddMessage("");
    return true;
}

bool TCompiler::InstallPackage(TTargetOptions& target, const std::string& baseName, bool doRegister,
                               const std::string& description, bool optional) {
    const bool ok = BuildPackage(target, baseName, optional);
    AddMessage("Installing package: " + baseName);
    // A package that did not build would stop the IDE from starting cleanly: not registered.
    if (doRegister && ok)
        target.Target.KnownPackages.AddPackage(
            Join(target.BPLDir, sys::ChangeFileExt(target.Target.PackageFileName(baseName), ".bpl")),
            description);
    return ok;
}

bool TCompiler::BuildPackage(TTargetOptions& target, const std::string& baseName, bool optional) {
    AddMessage("Compiling package: " + baseName);
    const std::string packageFile = target.Target.PackageFileName(baseName);
    bool ok;
    if (!optional && !target.CompilePackages)
        ok = BuildPrecompiled(target, packageFile);
    else if (target.Target.IsBCB())
        ok = BuildWithMake(target, packageFile);
    else
        ok = BuildWithDcc(target, packageFile);
    if (!ok)
        AddMessage("Package " + baseName + " could not be built; the build log holds the details.");
    return ok;
}

bool TCompiler::BuildPrecompiled(TTargetOptions& target, const std::string& packageFile) {
    auto& files = Machine.files;
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

bool TCompiler::BuildWithMake(TTargetOptions& target, const std::string& packageFile) {
    auto& files = Machine.files;
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
        RunTool(bpr2mak, bpr2makParameters) == 0 &&
        RunTool(Quoted(target.Target.MakePath()),
                "-f" + Quoted(Join(packagesDir, sys::ChangeFileExt(packageFile, ".mak"))) + " ") == 0;
    bool ok = toolsSucceeded;
    if (toolsSucceeded) {
        // A result that was made but cannot be put in place leaves the old one there: a failure.
        auto move = [&](const std::string& extension, const std::string& toFolder) {
            const std::string name = sys::ChangeFileExt(packageFile, extension);
            const std::string from = Join(packagesDir, name);
            if (sys::FileOrDirExists(files, from) && !files.MoveFile(from, Join(toFolder, name))) ok = false;
        };
        move(".bpl", target.BPLDir);
        move(".bpi", target.DCPDir);
        move(".lib", target.DCPDir);
        std::vector<sys::FoundFile> units;
        sys::FindFiles(files, sourcesDir, "*.*", false, units, {".obj", ".dcu"});
        for (const auto& unit : units)
            files.MoveFile(unit.path, Join(targetDir, unit.path.substr(unit.path.find_last_of('\\') + 1)));
    }
    for (const char* extension : {".mak", ".obj", ".tds"})
        files.DeleteFile(Join(packagesDir, sys::ChangeFileExt(packageFile, extension)));
    return ok;
}

bool TCompiler::BuildWithDcc(TTargetOptions& target, const std::string& packageFile) {
    const std::string targetDir = target.TargetDir();
    const std::string define = Data.FreeVersion ? "-DFREE" : "";
    const std::string parameters = " -B -H+ -W+ -U" + Quoted(targetDir) + " -U" +
                                   Quoted(target.Target.ExpandedDCPOutputDir()) + " -N" +
                                   Quoted(targetDir) + " -LE" + Quoted(target.BPLDir) + " -LN" +
                                   Quoted(target.DCPDir) + " " + define + " " + packageFile;
    const std::string command = Quoted(target.Target.DccPath());
    DoOutput(command + " " + parameters, Abort);
    return RunTool(command, parameters) == 0;
}

int TCompiler::RunTool(const std::string& command, const std::string& parameters) {
    platform::IdleCallback idle;
    if (OnIdle) idle = [this] { OnIdle(*this); };
    return Machine.processes.CaptureExecute(
        command, parameters, Data.PackagesDir(),
        [this](const std::string& line, bool& abort) { DoOutput(line, abort); }, idle, false);
}

void TCompiler::CleanForms(TTargetOptions& target) {
    DeleteFiles(target.TargetDir(), false, {".dfm", ".xfm"});
}

void TCompiler::CopyForms(TTargetOptions& target) {
    std::vector<sys::FoundFile> forms;
    sys::FindFiles(Machine.files, Data.SourcesDir(), "*.dfm", false, forms, {});
    for (const auto& form : forms)
        Machine.files.CopyFile(form.path,
                               Join(target.TargetDir(), form.path.substr(form.path.find_last_of('\\') + 1)),
                               true);
}

void TCompiler::DeleteFiles(const std::string& folder, bool recursive,
                            const std::vector<std::string>& extensions) {
    // The folders cleaned lie directly in the installation folder.
    if (!MayRemove(folder) || sys::IsLink(Machine.files, folder) || sys::IsLink(Machine.files, Data.InstallDir))
        return;
    std::vector<sys::FoundFile> found;
    sys::FindFiles(Machine.files, folder, "*.*", recursive, found, extensions);
    for (const auto& file : found) Machine.files.DeleteFile(file.path);
}

}  // namespace engine
