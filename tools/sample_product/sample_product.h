#pragma once
// The sample product: the tree that data.arc brings into the installation folder.
//
//   Packages\   the package projects of the eight packages for Delphi 6, 7 and BDS 3 (Delphi 9)
//               (tkQuorvex...D6.dpk, D7, D9) and C++Builder 6 (tkQuorvex...C6.bpk), and bcb.bmk
//   Sources\    the product's units (.pas) and the forms (.dfm) of some of them
//   Delphi6\, Delphi7\, Delphi9\ and CBuilder6\ (the target folders of the four IDEs):
//               the precompiled main packages (tkQuorvex, tkQuorvexDsgn: .bpl and .dcp, or .bpl,
//               .bpi and .lib), and every unit compiled (.dcu, and .obj for C++Builder) with the
//               forms, so that a distribution without sources can still build its connectivity
//               packages against them
//
// Every unit belongs to exactly one package; the units are the engine's table of unit names.

#include <string>
#include <string_view>
#include <vector>

#include "tools/archive/archive.h"

namespace sample {

struct Package {
    std::string_view baseName;
    bool design;
    std::string_view description;
    std::vector<std::string_view> requiredPackages;  // besides rtl, vcl and designide
    std::vector<std::string_view> units;
};

// The eight packages in build order.
const std::vector<Package>& Packages();

// The units that have a form.
const std::vector<std::string_view>& FormUnits();

struct Ide {
    char kind;  // 'D' for Delphi, 'C' for C++Builder
    int version;
    std::string_view targetFolder;
};
inline constexpr Ide kIdes[] = {{'D', 6, "Delphi6"}, {'D', 7, "Delphi7"}, {'D', 9, "Delphi9"}, {'C', 6, "CBuilder6"}};

// The files a package of the product imports, the IDE's own packages first:
// "tkQuorvexDsgnD7" -> rtl70.bpl, vcl70.bpl, designide70.bpl, tkQuorvexD7.bpl. Throws
// std::invalid_argument for a name that is not one of its packages.
std::vector<std::string> PackageImports(std::string_view stem);

// "tkQuorvexDsgnD7.dpk", "tkQuorvexC6.bpk": the package project of a package for an IDE.
std::string ProjectFileName(const Package& package, const Ide& ide);

// The files of the tree, paths relative to the installation folder; Sources\ only on request.
std::vector<archive::Entry> SampleProduct(bool withSources);

}  // namespace sample
