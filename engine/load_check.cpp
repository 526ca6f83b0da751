#include "engine/load_check.h"

#include "engine/compiler.h"
#include "ide/path_list.h"
#include "system/file_utils.h"
#include "system/pe_image.h"

namespace engine {

namespace {

std::string FolderOfFile(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

// Looks where the system loader looks when the IDE loads a package by its full path: the IDE
// program's folder, the 32-bit system folder, the Windows folder, then PATH. The package's own
// folder is not searched, so a runtime package whose folder is off PATH is found missing, as the
// IDE would find it.
std::vector<std::string> PackageLoadProblems(platform::Platform& machine, const TTargetOptions& target,
                                             const std::vector<std::string>& baseNames) {
    auto& files = machine.files;
    auto& system = machine.system;
    const std::string ide = target.Target.DisplayName();
    std::vector<std::string> searched = {FolderOfFile(target.Target.IDEExecutable)};
    for (const auto folder : {platform::SpecialFolder::SystemX86, platform::SpecialFolder::Windows})
        if (const auto path = system.GetSpecialFolder(folder)) searched.push_back(*path);
    for (const auto& folder : ide::PathFolders(system.GetEnv("PATH").value_or(""))) searched.push_back(folder);
    const auto foundIn = [&](const std::vector<std::string>& folders, const std::string& file) {
        for (const auto& folder : folders)
            if (!folder.empty() && sys::FileExists(files, sys::AddPathDelimiter(folder) + file)) return folder;
        return std::string();
    };

    std::vector<std::string> problems;
    for (const auto& baseName : baseNames) {
        const std::string bpl = sys::ChangeFileExt(target.Target.PackageFileName(baseName), ".bpl");
        const std::string path = sys::AddPathDelimiter(target.BPLDir) + bpl;
        const std::string problem = bpl + " cannot load in " + ide + ": ";
        if (!sys::FileExists(files, path)) {
            problems.push_back(problem + "the file is missing.");
            continue;
        }
        const auto image = sys::ReadPe32Imports(files, path);
        if (!image) {
            problems.push_back(problem + "it is not a 32-bit package.");
            continue;
        }
        for (const auto& module : image->imports) {
            if (!foundIn(searched, module).empty()) continue;
            const std::string aside =
                foundIn({FolderOfFile(path), target.Target.ExpandedBPLOutputDir()}, module);
            problems.push_back(problem + (aside.empty() ? module + " was not found."
                                                        : module + " is in " + aside + ", which is not on PATH."));
        }
    }
    return problems;
}

void TCompiler::CheckPackageLoads(TTargetOptions& target, const std::vector<std::string>& baseNames) {
    for (const auto& problem : PackageLoadProblems(Machine, target, baseNames)) AddMessage("Warning: " + problem);
}

}  // namespace engine
