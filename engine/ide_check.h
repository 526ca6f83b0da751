#pragma once
// What went wrong in an IDE since the product was installed into it: the IDE moved the design
// package to its disabled packages, a tool or the user rewrote the library paths, a package file
// or a unit went, another copy of a package answers for it from earlier on the PATH. The check
// looks again for what an installation leaves; it runs no tool and changes nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/install_data.h"

namespace engine {

enum class TDriftKind : std::uint8_t {
    // In the IDE's settings: writing them again mends it.
    DesignPackageNotRegistered,
    DesignPackageElsewhere,
    DesignPackageDisabled,
    UnitPathMissing,
    SourcePathMissing,
    // In the files: the packages are built again.
    PackageFileMissing,
    PackageWillNotLoad,
    PackageShadowed,
    ProductFileMissing,
};

struct TDriftFinding {
    TDriftKind Kind;
    std::string Text;  // the whole finding, with the exact item, for the build log

    bool InSettings() const;
    // What it means to the user, for the IDE page: "the design package is disabled".
    std::string Summary() const;
};

// The findings in an IDE the product is installed in, with its options as recorded; none for a
// healthy one. Reads the IDE's package lists and paths again first.
std::vector<TDriftFinding> CheckInstalledIDE(TInstallData& data, TTargetOptions& target);

// "Needs repair: the design package is disabled", or "Needs repair: 3 findings"; empty for none.
std::string RepairLine(const std::vector<TDriftFinding>& findings);

// Findings, and each of them in the settings: rewriting the settings mends the IDE, no build is
// needed.
bool SettingsRepairSuffices(const std::vector<TDriftFinding>& findings);

}  // namespace engine
