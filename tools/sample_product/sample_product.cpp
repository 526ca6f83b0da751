#include "tools/sample_product/sample_product.h"

#include <algorithm>
#include <stdexcept>

#include "engine/unit_names.h"
#include "tools/pe_package/pe_package.h"

namespace sample {
namespace {

std::string IdeName(const Ide& ide) {
    if (ide.kind == 'C') return "C++Builder " + std::to_string(ide.version);
    return ide.version >= 9 ? "BDS 3 (Delphi " + std::to_string(ide.version) + ")" : "Delphi " + std::to_string(ide.version);
}

std::string Suffix(const Ide& ide) { return std::string(1, ide.kind) + std::to_string(ide.version); }

std::string Stem(const Package& package, const Ide& ide) { return std::string(package.baseName) + Suffix(ide); }

bool HasForm(std::string_view unit) {
    return std::find(FormUnits().begin(), FormUnits().end(), unit) != FormUnits().end();
}

std::string SourceRef(std::string_view unit, std::string_view extension) {
    return "..\\Sources\\" + std::string(unit) + std::string(extension);
}

// The number the IDE's own package files carry: "70" for Delphi 7.
std::string FileNumber(const Ide& ide) { return std::to_string(ide.version) + "0"; }

// A required package: a product package gets the IDE's suffix, a library built for each IDE
// version its number, any other stays as named.
std::string Required(std::string_view name, const Ide& ide) {
    const bool ours = std::any_of(Packages().begin(), Packages().end(),
                                  [&](const Package& p) { return p.baseName == name; });
    if (ours) return std::string(name) + Suffix(ide);
    return std::string(name) + (name == "mydacvcl" || name == "odac" ? FileNumber(ide) : "");
}

std::vector<std::string> Imports(const Package& package, const Ide& ide) {
    std::vector<std::string> imports = {"rtl" + FileNumber(ide) + ".bpl", "vcl" + FileNumber(ide) + ".bpl"};
    if (package.design) imports.push_back("designide" + FileNumber(ide) + ".bpl");
    for (std::string_view name : package.requiredPackages) imports.push_back(Required(name, ide) + ".bpl");
    return imports;
}

std::string DelphiProject(const Package& package, const Ide& ide) {
    std::string text = "package " + Stem(package, ide) + ";\r\n\r\n";
    text += "{ Quorvex sample product: " + std::string(package.design ? "design" : "runtime") + " package for " +
            IdeName(ide) + ". }\r\n\r\n";
    text += "{$R *.res}\r\n{$DESCRIPTION '" + std::string(package.description) + "'}\r\n";
    text += package.design ? "{$DESIGNONLY}\r\n" : "{$RUNONLY}\r\n";
    text += "{$IMPLICITBUILD OFF}\r\n\r\nrequires\r\n  rtl,\r\n  vcl";
    if (package.design) text += ",\r\n  designide";
    for (std::string_view name : package.requiredPackages) text += ",\r\n  " + Required(name, ide);
    text += ";\r\n\r\ncontains";
    for (std::size_t i = 0; i < package.units.size(); ++i)
        text += std::string(i == 0 ? "\r\n  " : ",\r\n  ") + std::string(package.units[i]) + " in '" +
                SourceRef(package.units[i], ".pas") + "'";
    return text + ";\r\n\r\nend.\r\n";
}

std::string BuilderProject(const Package& package, const Ide& ide) {
    std::string objects = Stem(package, ide) + ".obj";
    std::string sources;
    for (std::string_view unit : package.units) {
        objects += " " + SourceRef(unit, ".obj");
        sources += (sources.empty() ? "" : " ") + SourceRef(unit, ".pas");
    }
    std::string packages = "rtl.bpi vcl.bpi";
    if (package.design) packages += " designide.bpi";
    for (std::string_view name : package.requiredPackages) packages += " " + Required(name, ide) + ".bpi";
    return "<?xml version='1.0' encoding='utf-8' ?>\r\n"
           "<!-- Quorvex sample product: package project for " + IdeName(ide) + " -->\r\n"
           "<PROJECT>\r\n  <MACROS>\r\n"
           "    <PROJECT value=\"" + Stem(package, ide) + ".bpl\"/>\r\n"
           "    <OBJFILES value=\"" + objects + "\"/>\r\n"
           "    <PASFILES value=\"" + sources + "\"/>\r\n"
           "    <PACKAGES value=\"" + packages + "\"/>\r\n"
           "    <DESCRIPTION value=\"" + std::string(package.description) + "\"/>\r\n"
           "  </MACROS>\r\n</PROJECT>\r\n";
}

constexpr std::string_view kMakeTemplate =
    "# Make template of the Quorvex C++Builder packages. bpr2mak writes the project's macros\r\n"
    "# (PROJECT, OBJFILES, PASFILES, PACKAGES) above this text. The installer passes the output\r\n"
    "# folders in the environment: MYUNITOUTDIR, MYBPLDIR and MYDCPDIR in double quotes, LIBDIR,\r\n"
    "# HPPDIR and BPILIBDIR without.\r\n"
    "\r\n"
    "HPPOUTDIR = $(HPPDIR)\r\n"
    "PASFLAGS = -JPHNE -N0$(MYUNITOUTDIR) -LE$(MYBPLDIR) -LN$(MYDCPDIR) -I$(BPILIBDIR)\r\n"
    "\r\n"
    "$(PROJECT): $(OBJFILES)\r\n"
    "\tlink $(OBJFILES) $(PACKAGES) -L$(LIBDIR) -o $(PROJECT)\r\n";

std::string UnitSource(std::string_view unit) {
    std::string text = "unit " + std::string(unit) + ";\r\n\r\n";
    text += "{ Quorvex sample product: the unit " + std::string(unit) + ", a placeholder for the installer's tests. }\r\n\r\n";
    text += "interface\r\n\r\nuses\r\n  SysUtils, Classes;\r\n\r\nimplementation\r\n\r\n";
    if (HasForm(unit)) text += "{$R *.dfm}\r\n\r\n";
    return text + "end.\r\n";
}

std::string FormText(std::string_view unit) {
    const std::string name(unit.substr(2));  // "QvDialogs" -> "Dialogs"
    return "object " + name + "Form: T" + name + "Form\r\n  Caption = '" + std::string(unit) + "'\r\nend\r\n";
}

std::string Placeholder(std::string_view what, std::string_view file, const Ide& ide) {
    return "Quorvex precompiled " + std::string(what) + " " + std::string(file) + " for " + IdeName(ide) + "\r\n";
}

void AddPrecompiled(std::vector<archive::Entry>& tree, const Ide& ide) {
    const std::string folder = std::string(ide.targetFolder) + "\\";
    const std::vector<std::string_view> symbolFiles =
        ide.kind == 'C' ? std::vector<std::string_view>{".bpi", ".lib"} : std::vector<std::string_view>{".dcp"};
    for (const Package& package : Packages()) {
        if (package.baseName != "tkQuorvex" && package.baseName != "tkQuorvexDsgn") continue;
        const std::string stem = Stem(package, ide);
        tree.push_back({folder + stem + ".bpl", fixtures::PackageImage(Imports(package, ide)) +
                                                    Placeholder("package", stem + ".bpl", ide)});
        for (std::string_view extension : symbolFiles)
            tree.push_back({folder + stem + std::string(extension), Placeholder("package symbols", stem + std::string(extension), ide)});
    }
    for (std::string_view unit : engine::ProductUnitNames) {
        const std::string name(unit);
        tree.push_back({folder + name + ".dcu", Placeholder("unit", name + ".dcu", ide)});
        if (ide.kind == 'C') tree.push_back({folder + name + ".obj", Placeholder("object file", name + ".obj", ide)});
        if (HasForm(unit)) tree.push_back({folder + name + ".dfm", FormText(unit)});
    }
}

// The connectivity packages and the design package each hold a few named units; the main
// runtime package holds all others.
std::vector<Package> MakePackages() {
    std::vector<Package> packages = {
        {"tkQuorvex", false, "Quorvex Component Runtime", {}, {}},
        {"tkQuorvexDsgn", true, "Quorvex Component", {"tkQuorvex"}, {"QvReg"}},
        {"tkQuorvexZeos", false, "Quorvex Component ZEOS Connectivity Runtime", {"tkQuorvex", "ZCore"}, {"QvDataLink"}},
        {"tkQuorvexDsgnZeos", true, "Quorvex Component ZEOS Connectivity", {"tkQuorvexZeos"}, {"QvLookup"}},
        {"tkQuorvexCrMyDAC", false, "Quorvex Component CoreLab MyDAC Connectivity Runtime",
         {"tkQuorvex", "mydacvcl"}, {"QvDBControls"}},
        {"tkQuorvexDsgnCrMyDAC", true, "Quorvex Component CoreLab MyDAC Connectivity", {"tkQuorvexCrMyDAC"},
         {"QvDBNavigator"}},
        {"tkQuorvexCrODAC", false, "Quorvex Component CoreLab Oracle DAC Connectivity Runtime",
         {"tkQuorvex", "odac"}, {"QvDBGrid"}},
        {"tkQuorvexDsgnCrODAC", true, "Quorvex Component CoreLab Oracle DAC Connectivity", {"tkQuorvexCrODAC"},
         {"QvReports"}},
    };
    for (std::string_view unit : engine::ProductUnitNames) {
        const bool claimed = std::any_of(packages.begin() + 1, packages.end(), [&](const Package& p) {
            return std::find(p.units.begin(), p.units.end(), unit) != p.units.end();
        });
        if (!claimed) packages[0].units.push_back(unit);
    }
    return packages;
}

}  // namespace

const std::vector<Package>& Packages() {
    static const std::vector<Package> packages = MakePackages();
    return packages;
}

const std::vector<std::string_view>& FormUnits() {
    static const std::vector<std::string_view> forms = {"QvDialogs",     "QvMessageDlg", "QvCalculator",
                                                        "QvColorPicker", "QvFontPicker", "QvDatePicker"};
    return forms;
}

std::vector<std::string> PackageImports(std::string_view stem) {
    for (const Ide& ide : kIdes)
        for (const Package& package : Packages())
            if (Stem(package, ide) == stem) return Imports(package, ide);
    throw std::invalid_argument("not a package of the sample product: " + std::string(stem));
}

std::string ProjectFileName(const Package& package, const Ide& ide) {
    return Stem(package, ide) + (ide.kind == 'C' ? ".bpk" : ".dpk");
}

std::vector<archive::Entry> SampleProduct(bool withSources) {
    std::vector<archive::Entry> tree;
    for (const Ide& ide : kIdes)
        for (const Package& package : Packages())
            tree.push_back({"Packages\\" + ProjectFileName(package, ide),
                            ide.kind == 'C' ? BuilderProject(package, ide) : DelphiProject(package, ide)});
    tree.push_back({"Packages\\bcb.bmk", std::string(kMakeTemplate)});
    if (withSources) {
        for (std::string_view unit : engine::ProductUnitNames) {
            tree.push_back({"Sources\\" + std::string(unit) + ".pas", UnitSource(unit)});
            if (HasForm(unit)) tree.push_back({"Sources\\" + std::string(unit) + ".dfm", FormText(unit)});
        }
    }
    for (const Ide& ide : kIdes) AddPrecompiled(tree, ide);
    return tree;
}

}  // namespace sample
