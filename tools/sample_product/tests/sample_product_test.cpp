#include "system/pe_image.h"
#include "tools/sample_product/sample_product.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "engine/unit_names.h"
#include "tools/stub_tools/tests/memory_host.h"
#include "tools/stub_tools/tools.h"

namespace sample {
namespace {

using ::testing::HasSubstr;

std::map<std::string, std::string> ByPath(const std::vector<archive::Entry>& tree) {
    std::map<std::string, std::string> files;
    for (const auto& entry : tree) EXPECT_TRUE(files.emplace(entry.path, entry.data).second) << "twice: " << entry.path;
    return files;
}

std::set<std::string> TableUnits() { return {engine::ProductUnitNames.begin(), engine::ProductUnitNames.end()}; }

TEST(SampleProduct, EveryUnitOfTheEnginesTableIsInExactlyOnePackage) {
    std::multiset<std::string> packaged;
    for (const Package& package : Packages()) {
        EXPECT_FALSE(package.units.empty()) << package.baseName;
        packaged.insert(package.units.begin(), package.units.end());
    }
    EXPECT_EQ(std::set<std::string>(packaged.begin(), packaged.end()), TableUnits());
    EXPECT_EQ(packaged.size(), engine::ProductUnitNames.size());
    for (std::string_view form : FormUnits()) EXPECT_TRUE(TableUnits().contains(std::string(form))) << form;
}

TEST(SampleProduct, TheTreeHoldsProjectsTemplatePrecompiledMainPackagesAndOnRequestTheSources) {
    const auto without = ByPath(SampleProduct(false));
    const auto with = ByPath(SampleProduct(true));
    EXPECT_NO_THROW(archive::Pack(SampleProduct(true)));  // every path is one an archive may hold

    for (const Ide& ide : kIdes)
        for (const Package& package : Packages())
            EXPECT_TRUE(without.contains("Packages\\" + ProjectFileName(package, ide))) << ProjectFileName(package, ide);
    EXPECT_TRUE(without.contains("Packages\\tkQuorvexDsgnCrODACD9.dpk"));
    EXPECT_TRUE(without.contains("Packages\\tkQuorvexZeosC6.bpk"));
    EXPECT_THAT(without.at("Packages\\bcb.bmk"), HasSubstr("\r\nHPPOUTDIR = $(HPPDIR)\r\n"));

    for (const char* file : {"Delphi6\\tkQuorvexD6.bpl", "Delphi7\\tkQuorvexDsgnD7.dcp", "Delphi9\\tkQuorvexD9.dcp",
                             "CBuilder6\\tkQuorvexDsgnC6.bpi", "CBuilder6\\tkQuorvexC6.lib", "Delphi7\\QvGrid.dcu",
                             "CBuilder6\\QvGrid.obj", "Delphi9\\QvDialogs.dfm"})
        EXPECT_TRUE(without.contains(file)) << file;
    for (const char* file : {"Delphi7\\tkQuorvexZeosD7.bpl", "CBuilder6\\tkQuorvexDsgnC6.dcp", "Delphi7\\QvGrid.obj",
                             "Delphi7\\QvGrid.dfm"})
        EXPECT_FALSE(without.contains(file)) << file;

    std::set<std::string> sources;
    for (const auto& [path, data] : with)
        if (path.starts_with("Sources\\")) sources.insert(path);
    EXPECT_EQ(sources.size(), engine::ProductUnitNames.size() + FormUnits().size());
    EXPECT_TRUE(sources.contains("Sources\\QvReg.pas"));
    EXPECT_TRUE(sources.contains("Sources\\QvColorPicker.dfm"));
    EXPECT_EQ(with.size(), without.size() + sources.size());
    EXPECT_THAT(with.at("Sources\\QvColorPicker.pas"), HasSubstr("{$R *.dfm}"));
}

// The sample product installed in memory, built by the stub tools with the engine's arguments.
class SampleBuildTest : public ::testing::Test {
protected:
    const std::string kInstall = "C:\\Program Files\\Quorvex Test";
    const std::string kBpl = "C:\\Out\\Bpl";
    const std::string kDcp = "C:\\Out\\Dcp";
    const std::string kHpp = "C:\\Out\\Include";

    void Install(bool withSources) {
        for (const auto& entry : SampleProduct(withSources)) host.AddFile(kInstall + "\\" + entry.path, entry.data);
        for (const std::string& folder : {kBpl, kDcp, kHpp}) host.AddFolder(folder);
        host.currentDirectory = kInstall + "\\Packages";
    }

    int Dcc32(const Package& package, const Ide& ide) {
        const std::string target = kInstall + "\\" + std::string(ide.targetFolder);
        return stubs::RunDcc32({"-B", "-H+", "-W+", "-U" + target, "-UC:\\IDE\\Projects\\Bpl", "-N" + target,
                                "-LE" + kBpl, "-LN" + kDcp, ProjectFileName(package, ide)},
                               host);
    }

    // The modules a package file imports; "<not an image>" for anything else.
    std::vector<std::string> ImportsOf(const std::string& path) {
        const auto image = sys::ReadPe32Imports(host.FileText(path));
        return image ? image->imports : std::vector<std::string>{"<not an image>"};
    }

    std::set<std::string> UnitsIn(const std::string& folder, std::string_view extension) {
        std::set<std::string> units;
        for (const std::string& path : host.Files())
            if (stubs::EqualsIgnoreCase(stubs::FolderOf(path), folder) && stubs::HasExtension(path, extension))
                units.insert(stubs::StemOf(path));
        return units;
    }

    stubs::testing::MemoryHost host;
};

TEST_F(SampleBuildTest, EveryDelphiPackageCompilesFromSourcesAndTogetherTheyCompileEveryUnit) {
    Install(true);
    for (const Ide& ide : kIdes) {
        if (ide.kind != 'D') continue;
        const std::string target = kInstall + "\\" + std::string(ide.targetFolder);
        for (const std::string& unit : TableUnits()) host.RemoveFile(target + "\\" + unit + ".dcu");
        for (const Package& package : Packages()) {
            host.output.clear();
            EXPECT_EQ(Dcc32(package, ide), 0) << host.output;
            const std::string stem = stubs::StemOf(ProjectFileName(package, ide));
            EXPECT_THAT(host.FileText(kBpl + "\\" + stem + ".bpl"), HasSubstr("compiled package"));
            EXPECT_EQ(ImportsOf(kBpl + "\\" + stem + ".bpl"), PackageImports(stem));
        }
        EXPECT_EQ(UnitsIn(target, ".dcu"), TableUnits()) << ide.targetFolder;
    }
}

TEST_F(SampleBuildTest, WithoutSourcesTheConnectivityPackagesCompileAgainstTheShippedUnits) {
    Install(false);
    for (const Package& package : Packages()) {
        host.output.clear();
        EXPECT_EQ(Dcc32(package, kIdes[1]), 0) << host.output;
    }
    EXPECT_THAT(host.FileText(kInstall + "\\Delphi7\\QvDataLink.dcu"), HasSubstr("Quorvex precompiled unit"));
    // The precompiled packages import what the compiled ones would.
    EXPECT_EQ(ImportsOf(kInstall + "\\Delphi7\\tkQuorvexDsgnD7.bpl"),
              (std::vector<std::string>{"rtl70.bpl", "vcl70.bpl", "designide70.bpl", "tkQuorvexD7.bpl"}));
    EXPECT_EQ(ImportsOf(kInstall + "\\CBuilder6\\tkQuorvexC6.bpl"), PackageImports("tkQuorvexC6"));
}

TEST_F(SampleBuildTest, EveryBuilderPackageMakesAndTogetherTheyWriteEveryHeader) {
    Install(true);
    const std::string packages = kInstall + "\\Packages";
    host.environment = {{"MYUNITOUTDIR", "\"" + kInstall + "\\CBuilder6\""}, {"MYBPLDIR", "\"" + kBpl + "\""},
                        {"MYDCPDIR", "\"" + kDcp + "\""}, {"LIBDIR", kDcp}, {"HPPDIR", kHpp}, {"BPILIBDIR", kDcp}};
    for (const Package& package : Packages()) {
        const std::string project = ProjectFileName(package, kIdes[3]);
        host.output.clear();
        ASSERT_EQ(stubs::RunBpr2Mak({"-t" + packages + "\\bcb.bmk", packages + "\\" + project}, host), 0) << host.output;
        EXPECT_EQ(stubs::RunMake({"-f" + packages + "\\" + stubs::ChangeExtension(project, ".mak")}, host), 0)
            << host.output;
        const std::string bpl = packages + "\\" + stubs::ChangeExtension(project, ".bpl");
        EXPECT_EQ(ImportsOf(bpl), PackageImports(stubs::StemOf(project))) << project;
    }
    EXPECT_EQ(UnitsIn(kHpp, ".hpp"), TableUnits());
    EXPECT_EQ(UnitsIn(kInstall + "\\Sources", ".obj"), TableUnits());
}

}  // namespace
}  // namespace sample
