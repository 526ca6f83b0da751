#include "engine/product_packages.h"

#include "system/file_utils.h"

namespace engine {

std::string PackageBplFile(const TTargetOptions& target, const std::string& baseName) {
    return target.BPLDir + "\\" + sys::ChangeFileExt(target.Target.PackageFileName(baseName), ".bpl");
}

std::vector<InstalledPackage> InstalledPackages(const TTargetOptions& target, platform::FileSystem& files) {
    std::vector<InstalledPackage> packages = {{MainRuntimePackage, nullptr},
                                              {MainDesignPackage, MainDesignDescription}};
    for (const auto& package : Connectivity) {
        if (!(target.*package.option)) continue;
        for (const InstalledPackage& candidate : {InstalledPackage{package.runtime, nullptr},
                                                 InstalledPackage{package.design, package.description}})
            if (sys::FileExists(files, PackageBplFile(target, candidate.baseName))) packages.push_back(candidate);
    }
    return packages;
}

}  // namespace engine
