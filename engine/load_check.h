#pragma once
// Whether the packages built for an IDE will load there, judged as the system loader will find
// their imports. Reads the files only.

#include <string>
#include <vector>

#include "engine/install_data.h"

namespace engine {

// One line per problem, such as "tkQuorvexDsgnD7.bpl cannot load in Delphi 7.0 (Enterprise):
// rtl70.bpl was not found."; none when every package and its imports are found.
std::vector<std::string> PackageLoadProblems(platform::Platform& machine, const TTargetOptions& target,
                                             const std::vector<std::string>& baseNames);

}  // namespace engine
