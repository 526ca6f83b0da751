#pragma once
// Package files as the real tools make them: 32-bit DLLs whose import tables name the packages
// they require. Built from a template DLL that the i686 toolchain links at build time.

#include <string>
#include <vector>

namespace fixtures {

// A 32-bit DLL that imports the named modules, in order: at most eight names of at most 47
// characters (throws std::invalid_argument otherwise); no imports for an empty list.
std::string PackageImage(const std::vector<std::string>& imports);

// An x86-64 DLL: what a package of the wrong bitness looks like.
std::string Package64Image();

}  // namespace fixtures
