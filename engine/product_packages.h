#pragma once
// The product's packages as an installation builds and registers them in an IDE.

#include <string>
#include <vector>

#include "engine/install_data.h"

namespace engine {

inline constexpr const char* MainRuntimePackage = "tkQuorvex";
inline constexpr const char* MainDesignPackage = "tkQuorvexDsgn";
inline constexpr const char* MainDesignDescription = "Quorvex Component";

struct ProductPackage {
    const char* runtime;
    const char* design;
    const char* description;
    bool TTargetOptions::*option;  // connectivity switch
};

inline constexpr ProductPackage Connectivity[] = {
    {"tkQuorvexZeos", "tkQuorvexDsgnZeos", "Quorvex Component ZEOS Connectivity", &TTargetOptions::ZEOS},
    {"tkQuorvexCrMyDAC", "tkQuorvexDsgnCrMyDAC", "Quorvex Component CoreLab MyDAC Connectivity",
     &TTargetOptions::MyDAC},
    {"tkQuorvexCrODAC", "tkQuorvexDsgnCrODAC", "Quorvex Component CoreLab Oracle DAC Connectivity",
     &TTargetOptions::ODAC},
};

// The package file in the IDE's BPL folder, as the installation registers it.
std::string PackageBplFile(const TTargetOptions& target, const std::string& baseName);

struct InstalledPackage {
    std::string baseName;
    const char* description;  // a design package's, as registered; null for a runtime package
};

// The product's packages that an installation leaves for the IDE, in the order it builds and
// registers them: the main ones, and each connectivity package whose option is on and whose
// file was built (one that did not build only warned).
std::vector<InstalledPackage> InstalledPackages(const TTargetOptions& target, platform::FileSystem& files);

}  // namespace engine
