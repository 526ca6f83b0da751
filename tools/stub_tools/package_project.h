#pragma once
// The package projects and make files the stubs read.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stubs {

struct ContainedUnit {
    std::string name;
    std::string path;  // as written after "in", else name + ".pas"; relative to the project
};

// The units of a Delphi package project's "contains" clause, in order. Comments and compiler
// directives are skipped. Throws ToolError for a project without a well-formed clause.
std::vector<ContainedUnit> ContainedUnits(std::string_view dpk);

// The names of a Delphi package project's "requires" clause, in order; none without the clause.
std::vector<std::string> RequiredPackages(std::string_view dpk);

// The file a required package loads from. The IDE's own packages (rtl, vcl, designide...) carry
// its version, which the stub takes from the project's name: "rtl" for tkQuorvexD7 is
// "rtl70.bpl"; any other package is its name with ".bpl".
std::string RequiredPackageFile(const std::string& name, std::string_view projectFile);

// Case-insensitive names: make macros and environment variables are.
struct IgnoreCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
using Macros = std::map<std::string, std::string, IgnoreCaseLess>;

// The macros of a C++Builder package project: every <NAME value="..."/> element.
Macros ProjectMacros(std::string_view bpk);

// The macro definitions "NAME = value" of a make file; comments and rules are skipped.
Macros MakeMacros(std::string_view makefile);

// The text with every $(NAME) replaced by the macro, else the environment variable of that
// name, else nothing, as make does; macros may refer to macros.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string&)>;
std::string ExpandMacros(std::string_view text, const Macros& macros, const EnvironmentLookup& environment);

// Splits at blanks, tabs and line breaks.
std::vector<std::string> SplitWords(std::string_view text);

unsigned CountLines(std::string_view text);

}  // namespace stubs
