#include "tools/stub_tools/tools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/stub_tools/package_project.h"
#include "tools/stub_tools/paths.h"
#include "tools/stub_tools/tests/memory_host.h"
#include "tools/stub_tools/tool_run.h"

namespace stubs {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

const std::string kInstall = "C:\\Program Files\\Quorvex";
const std::string kPackages = kInstall + "\\Packages";
const std::string kSources = kInstall + "\\Sources";
const std::string kTarget = kInstall + "\\Delphi7";
const std::string kBpl = "C:\\My Packages\\Bpl";
const std::string kDcp = "C:\\My Packages\\Dcp";

TEST(Paths, JoinAndNormalizeWindowsPaths) {
    EXPECT_EQ(JoinPath("C:\\Q\\Packages", "..\\Sources\\A.pas"), "C:\\Q\\Sources\\A.pas");
    EXPECT_EQ(JoinPath("C:\\Q", "D:\\Other\\x"), "D:\\Other\\x");
    EXPECT_EQ(JoinPath("C:\\Q\\", ".\\a//b"), "C:\\Q\\a\\b");
    EXPECT_EQ(NormalizePath("\\\\srv\\share\\..\\..\\x"), "\\\\x");
    EXPECT_EQ(NormalizePath("C:\\..\\x"), "C:\\x");
    EXPECT_EQ(NormalizePath("..\\x\\..\\y"), "..\\y");
    EXPECT_EQ(ChangeExtension("C:\\a.b\\tkQuorvexC6.bpk", ".mak"), "C:\\a.b\\tkQuorvexC6.mak");
    EXPECT_EQ(ChangeExtension("C:\\a.b\\noext", ".mak"), "C:\\a.b\\noext.mak");
    EXPECT_EQ(StemOf("C:\\P\\tkQuorvexD7.dpk"), "tkQuorvexD7");
}

TEST(PackageProject, ContainsClauseSkipsCommentsAndDirectives) {
    const auto units = ContainedUnits(
        "package tkQuorvexD7;\r\n{$R *.res}\r\n{ contains Fake in 'x.pas'; }\r\n(* contains Fake; *)\r\n"
        "requires rtl, vcl; // contains Fake;\r\n"
        "contains\r\n  QvBase in '..\\Sources\\QvBase.pas',\r\n  QvUtils,\r\n  QvOdd in 'it''s.pas';\r\nend.\r\n");
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[0].name, "QvBase");
    EXPECT_EQ(units[0].path, "..\\Sources\\QvBase.pas");
    EXPECT_EQ(units[1].path, "QvUtils.pas");
    EXPECT_EQ(units[2].path, "it's.pas");
}

TEST(PackageProject, MalformedContainsClausesAreErrors) {
    for (const char* text : {"package P; end.", "package P; contains A B; end.", "package P; contains A,",
                             "package P; contains 'x.pas';", "package P; contains A in 'a.pas'"})
        EXPECT_THROW(ContainedUnits(text), ToolError) << text;
}

TEST(PackageProject, MacrosOfProjectsAndMakeFilesExpandLikeMake) {
    const Macros project = ProjectMacros("<PROJECT>\n  <MACROS>\n    <PROJECT value=\"tkQuorvexC6.bpl\"/>\n"
                                         "    <PASFILES value=\"..\\Sources\\A.pas ..\\Sources\\B.pas\" />\n");
    EXPECT_EQ(project.at("project"), "tkQuorvexC6.bpl");
    EXPECT_EQ(SplitWords(project.at("PASFILES")), (std::vector<std::string>{"..\\Sources\\A.pas", "..\\Sources\\B.pas"}));

    const Macros make = MakeMacros("# comment = no\r\nOUT = $(HPPDIR)\\sub\r\nLOOP = $(LOOP)x\r\n"
                                   "all: $(OUT)\r\n\techo = no\r\nEMPTY =\r\n");
    EXPECT_EQ(make.size(), 3u);
    const auto environment = [](const std::string& name) -> std::optional<std::string> {
        if (name == "HPPDIR") return "C:\\Inc";
        return std::nullopt;
    };
    EXPECT_EQ(ExpandMacros("[$(OUT)][$(UNSET)][$(EMPTY)]", make, environment), "[C:\\Inc\\sub][][]");
    EXPECT_THAT(ExpandMacros("$(LOOP)", make, environment), StartsWith("xxxx"));  // ends, does not loop
}

TEST(Misbehaviour, PackageBaseNamesDropTheIdeSuffix) {
    EXPECT_EQ(PackageBaseName("tkQuorvexD7.dpk"), "tkQuorvex");
    EXPECT_EQ(PackageBaseName("C:\\P\\tkQuorvexDsgnC6.mak"), "tkQuorvexDsgn");
    EXPECT_EQ(PackageBaseName("tkQuorvexDsgnCrODACD9"), "tkQuorvexDsgnCrODAC");
    EXPECT_EQ(PackageBaseName("Plain.dpk"), "Plain");
    EXPECT_EQ(PackageBaseName("Win32.dpk"), "Win32");
}

TEST(Misbehaviour, SelectorsNamePackagesForAllIdesOneIdeOrOneTool) {
    EXPECT_TRUE(SelectorMatches("tkQuorvexDsgn", "dcc32", "tkQuorvexDsgnD7.dpk"));
    EXPECT_FALSE(SelectorMatches("tkQuorvexDsgn", "dcc32", "tkQuorvexD7.dpk"));
    EXPECT_FALSE(SelectorMatches("tkQuorvexDsgn", "dcc32", "tkQuorvexDsgnZeosD7.dpk"));
    EXPECT_TRUE(SelectorMatches("TKQUORVEXD9", "dcc32", "tkQuorvexD9.dpk"));
    EXPECT_FALSE(SelectorMatches("tkQuorvexD9", "dcc32", "tkQuorvexD7.dpk"));
    EXPECT_TRUE(SelectorMatches("x;make:tkQuorvex", "make", "tkQuorvexC6.mak"));
    EXPECT_FALSE(SelectorMatches("x;make:tkQuorvex", "bpr2mak", "tkQuorvexC6.bpk"));
    EXPECT_TRUE(SelectorMatches("a,bpr2mak:*", "bpr2mak", "tkQuorvexC6.bpk"));
    EXPECT_FALSE(SelectorMatches("", "dcc32", "tkQuorvexD7.dpk"));
}

// A Delphi 7 installation of the product with two units, and the engine's dcc32 arguments.
class Dcc32Test : public ::testing::Test {
protected:
    Dcc32Test() {
        host.currentDirectory = kPackages;
        host.AddFile(kPackages + "\\tkQuorvexD7.dpk",
                     "package tkQuorvexD7;\r\n\r\nrequires\r\n  rtl;\r\n\r\ncontains\r\n"
                     "  QvBase in '..\\Sources\\QvBase.pas',\r\n  QvGrid in '..\\Sources\\QvGrid.pas';\r\n\r\nend.\r\n");
        host.AddFile(kPackages + "\\tkQuorvexDsgnD7.dpk", "package tkQuorvexDsgnD7;\r\ncontains QvReg in '..\\Sources\\QvReg.pas';\r\nend.\r\n");
        for (const char* unit : {"QvBase", "QvGrid", "QvReg"})
            host.AddFile(kSources + "\\" + unit + ".pas", std::string("unit ") + unit + ";\r\ninterface\r\nimplementation\r\nend.\r\n");
        for (const std::string& folder : {kTarget, kBpl, kDcp}) host.AddFolder(folder);
    }

    Arguments EngineArguments(const std::string& define = "", const std::string& project = "tkQuorvexD7.dpk") {
        Arguments arguments{"-B", "-H+", "-W+", "-U" + kTarget, "-UC:\\Delphi 7\\Projects\\Bpl", "-N" + kTarget,
                            "-LE" + kBpl, "-LN" + kDcp};
        if (!define.empty()) arguments.push_back(define);
        arguments.push_back(project);
        return arguments;
    }

    testing::MemoryHost host;
};

TEST_F(Dcc32Test, CompilesEveryContainedUnitAndThePackageIntoTheNamedFolders) {
    ASSERT_EQ(RunDcc32(EngineArguments(), host), 0) << host.output;
    EXPECT_THAT(host.FileText(kTarget + "\\QvBase.dcu"), HasSubstr(kSources + "\\QvBase.pas"));
    EXPECT_TRUE(host.HasFile(kTarget + "\\QvGrid.dcu"));
    EXPECT_FALSE(host.HasFile(kTarget + "\\QvReg.dcu"));
    EXPECT_THAT(host.FileText(kBpl + "\\tkQuorvexD7.bpl"), HasSubstr("defines: (none)"));
    EXPECT_TRUE(host.HasFile(kDcp + "\\tkQuorvexD7.dcp"));
    EXPECT_THAT(host.output, HasSubstr("\r\nCompiling tkQuorvexD7.dpk\r\n"));
    EXPECT_THAT(host.output, HasSubstr("\r\n" + kSources + "\\QvGrid.pas(4)\r\n"));
    EXPECT_THAT(host.output, HasSubstr("Variable 'Gr\x94\xE1" "e' wurde deklariert, aber in 'Pr\x81" "fe'"));
    EXPECT_THAT(host.output, EndsWith("\r\n18 lines, 0.12 seconds, 288 bytes code, 36 bytes data.\r\n"));
    EXPECT_TRUE(host.sleeps.empty());
}

TEST_F(Dcc32Test, TheFreeDefineReachesThePackage) {
    ASSERT_EQ(RunDcc32(EngineArguments("-DFREE"), host), 0) << host.output;
    EXPECT_THAT(host.FileText(kBpl + "\\tkQuorvexD7.bpl"), HasSubstr("defines: FREE"));
    EXPECT_THAT(host.FileText(kDcp + "\\tkQuorvexD7.dcp"), HasSubstr("defines: FREE"));
}

TEST_F(Dcc32Test, AUnitWithoutSourceNeedsItsCompiledUnitInASearchFolder) {
    host.RemoveFile(kSources + "\\QvGrid.pas");
    EXPECT_EQ(RunDcc32(EngineArguments(), host), 1);
    EXPECT_THAT(host.output, HasSubstr("\r\nFatal: File not found: 'QvGrid.pas'\r\n"));
    EXPECT_FALSE(host.HasFile(kBpl + "\\tkQuorvexD7.bpl"));

    host.AddFile(kTarget + "\\QvGrid.dcu", "shipped");
    ASSERT_EQ(RunDcc32(EngineArguments(), host), 0) << host.output;
    EXPECT_EQ(host.FileText(kTarget + "\\QvGrid.dcu"), "shipped");
    EXPECT_TRUE(host.HasFile(kBpl + "\\tkQuorvexD7.bpl"));
}

TEST_F(Dcc32Test, CommandLinesItCannotWorkWithAreFatalAndWriteNothing) {
    const std::vector<Arguments> wrong = {
        {"-B", "-N" + kTarget, "-LE" + kBpl, "-LN" + kDcp},                               // no project
        {"-N" + kTarget, "-LE" + kBpl, "-LN" + kDcp, "tkQuorvexD7.dpk", "tkQuorvexD7.dpk"},  // two
        {"-N" + kTarget, "-LE" + kBpl, "-LN" + kDcp, "tkQuorvexD7.dpr"},
        {"-LE" + kBpl, "-LN" + kDcp, "tkQuorvexD7.dpk"},
        {"-N" + kTarget, "-LN" + kDcp, "tkQuorvexD7.dpk"},
        {"-N" + kTarget, "-LE" + kBpl, "tkQuorvexD7.dpk"},
        {"-N" + kTarget, "-LE", "-LN" + kDcp, "tkQuorvexD7.dpk"},
        {"-Q", "-N" + kTarget, "-LE" + kBpl, "-LN" + kDcp, "tkQuorvexD7.dpk"},
        {"-N" + kTarget, "-LE" + kBpl, "-LN" + kDcp, "Missing.dpk"},
    };
    const auto filesBefore = host.Files();
    for (const Arguments& arguments : wrong) {
        host.output.clear();
        EXPECT_EQ(RunDcc32(arguments, host), 1) << ::testing::PrintToString(arguments);
        EXPECT_THAT(host.output, HasSubstr("\r\nFatal: ")) << ::testing::PrintToString(arguments);
    }
    EXPECT_EQ(host.Files(), filesBefore);
}

TEST_F(Dcc32Test, AnOutputFolderThatCannotBeWrittenIsFatal) {
    Arguments arguments = EngineArguments();
    arguments[6] = "-LEC:\\No Such Folder";
    EXPECT_EQ(RunDcc32(arguments, host), 1);
    EXPECT_THAT(host.output, HasSubstr("Fatal: could not create output file 'C:\\No Such Folder\\tkQuorvexD7.bpl'"));
}

TEST_F(Dcc32Test, FailsOnRequestForTheNamedPackageOnly) {
    host.environment["QV_STUB_FAIL"] = "tkQuorvexDsgn";
    EXPECT_EQ(RunDcc32(EngineArguments("", "tkQuorvexDsgnD7.dpk"), host), 1);
    EXPECT_THAT(host.output, HasSubstr("tkQuorvexDsgnD7.dpk(1) Error: "));
    EXPECT_THAT(host.output, HasSubstr("\r\nFatal: could not build 'tkQuorvexDsgnD7.dpk'\r\n"));
    EXPECT_FALSE(host.HasFile(kBpl + "\\tkQuorvexDsgnD7.bpl"));
    EXPECT_FALSE(host.HasFile(kTarget + "\\QvReg.dcu"));

    EXPECT_EQ(RunDcc32(EngineArguments(), host), 0);
    EXPECT_TRUE(host.HasFile(kBpl + "\\tkQuorvexD7.bpl"));
}

TEST_F(Dcc32Test, SucceedsWithoutThePackageFileOnRequest) {
    host.environment["QV_STUB_NO_PACKAGE"] = "dcc32:tkQuorvexDsgnD7";
    EXPECT_EQ(RunDcc32(EngineArguments("", "tkQuorvexDsgnD7.dpk"), host), 0);
    EXPECT_FALSE(host.HasFile(kBpl + "\\tkQuorvexDsgnD7.bpl"));
    EXPECT_TRUE(host.HasFile(kDcp + "\\tkQuorvexDsgnD7.dcp"));
    EXPECT_EQ(RunDcc32(EngineArguments(), host), 0);
    EXPECT_TRUE(host.HasFile(kBpl + "\\tkQuorvexD7.bpl"));
}

TEST_F(Dcc32Test, HangsOnRequestForTheGivenSecondsThenWorks) {
    host.environment["QV_STUB_HANG"] = "dcc32:tkQuorvex";
    host.environment["QV_STUB_HANG_SECONDS"] = "2";
    EXPECT_EQ(RunDcc32(EngineArguments(), host), 0);
    EXPECT_THAT(host.sleeps, ElementsAre(2u));
    EXPECT_TRUE(host.HasFile(kBpl + "\\tkQuorvexD7.bpl"));

    host.environment.erase("QV_STUB_HANG_SECONDS");
    host.sleeps.clear();
    RunDcc32(EngineArguments(), host);
    EXPECT_THAT(host.sleeps, ElementsAre(kDefaultHangSeconds));
}

TEST_F(Dcc32Test, EndsWithTenMegabytesWithoutALineBreakOnRequest) {
    host.environment["QV_STUB_LONG_LINE"] = "1";
    host.environment["QV_STUB_FAIL"] = "*";
    EXPECT_EQ(RunDcc32(EngineArguments(), host), 1);
    ASSERT_GT(host.output.size(), kLongLineBytes);
    const std::string tail = host.output.substr(host.output.size() - kLongLineBytes);
    EXPECT_EQ(tail.find_first_not_of('x'), std::string::npos);
    EXPECT_THAT(host.output.substr(0, host.output.size() - kLongLineBytes), EndsWith("\r\n"));
}

// A C++Builder 6 installation with one two-unit package and the engine's make variables.
class BuilderTest : public ::testing::Test {
protected:
    const std::string kTargetC6 = kInstall + "\\CBuilder6";
    const std::string kHpp = "C:\\IDE\\CBuilder 6\\Include\\Vcl";

    BuilderTest() {
        host.currentDirectory = kPackages;
        host.AddFile(kPackages + "\\tkQuorvexC6.bpk",
                     "<?xml version='1.0'?>\r\n<PROJECT>\r\n  <MACROS>\r\n    <PROJECT value=\"tkQuorvexC6.bpl\"/>\r\n"
                     "    <PASFILES value=\"..\\Sources\\QvBase.pas ..\\Sources\\QvGrid.pas\"/>\r\n  </MACROS>\r\n</PROJECT>\r\n");
        host.AddFile(kPackages + "\\bcb.bmk", "# the template\r\nHPPOUTDIR = $(HPPDIR)\r\n");
        for (const char* unit : {"QvBase", "QvGrid"})
            host.AddFile(kSources + "\\" + unit + ".pas", std::string("unit ") + unit + ";\r\nend.\r\n");
        host.AddFolder(kHpp);
        host.environment = {{"MYUNITOUTDIR", "\"" + kTargetC6 + "\""}, {"MYBPLDIR", "\"" + kBpl + "\""},
                            {"MYDCPDIR", "\"" + kDcp + "\""},        {"LIBDIR", kDcp},
                            {"HPPDIR", kHpp},                        {"BPILIBDIR", kDcp}};
    }

    int Bpr2Mak() { return RunBpr2Mak({"-t" + kPackages + "\\bcb.bmk", kPackages + "\\tkQuorvexC6.bpk"}, host); }
    int Make() { return RunMake({"-f" + kPackages + "\\tkQuorvexC6.mak"}, host); }

    testing::MemoryHost host;
};

TEST_F(BuilderTest, Bpr2MakWritesTheProjectsMacrosAndTheTemplateBesideTheProject) {
    ASSERT_EQ(Bpr2Mak(), 0) << host.output;
    const std::string makefile = host.FileText(kPackages + "\\tkQuorvexC6.mak");
    EXPECT_THAT(makefile, HasSubstr("\r\nPROJECT = tkQuorvexC6.bpl\r\n"));
    EXPECT_THAT(makefile, HasSubstr("\r\nPASFILES = ..\\Sources\\QvBase.pas ..\\Sources\\QvGrid.pas\r\n"));
    EXPECT_THAT(makefile, EndsWith("# the template\r\nHPPOUTDIR = $(HPPDIR)\r\n"));
    EXPECT_THAT(host.output, HasSubstr("Writing " + kPackages + "\\tkQuorvexC6.mak\r\n"));
}

TEST_F(BuilderTest, Bpr2MakWithoutTemplateOrWithOtherArgumentsFails) {
    EXPECT_EQ(RunBpr2Mak({"-t" + kPackages + "\\none.bmk", kPackages + "\\tkQuorvexC6.bpk"}, host), 1);
    EXPECT_THAT(host.output, HasSubstr("Fatal: Template not found: '" + kPackages + "\\none.bmk'"));
    EXPECT_EQ(RunBpr2Mak({kPackages + "\\tkQuorvexC6.bpk"}, host), 1);
    EXPECT_EQ(RunBpr2Mak({"-t", kPackages + "\\tkQuorvexC6.bpk"}, host), 1);
    EXPECT_EQ(RunBpr2Mak({"-t" + kPackages + "\\bcb.bmk", kPackages + "\\tkQuorvexD7.dpk"}, host), 1);
    EXPECT_FALSE(host.HasFile(kPackages + "\\tkQuorvexC6.mak"));
}

TEST_F(BuilderTest, MakeBuildsUnitsBesideTheirSourcesHeadersInHppdirAndThePackageBesideTheMakeFile) {
    ASSERT_EQ(Bpr2Mak(), 0);
    ASSERT_EQ(Make(), 0) << host.output;
    for (const char* unit : {"QvBase", "QvGrid"}) {
        EXPECT_TRUE(host.HasFile(kSources + "\\" + unit + ".obj")) << unit;
        EXPECT_TRUE(host.HasFile(kSources + "\\" + unit + ".dcu")) << unit;
        EXPECT_THAT(host.FileText(kHpp + "\\" + unit + ".hpp"), HasSubstr("C++ header of unit " + std::string(unit)));
    }
    for (const char* extension : {".obj", ".tds", ".bpl", ".bpi", ".lib"})
        EXPECT_TRUE(host.HasFile(kPackages + "\\tkQuorvexC6" + extension)) << extension;
    EXPECT_THAT(host.output, HasSubstr("\r\nMYBPLDIR = \"" + kBpl + "\"\r\n"));
    EXPECT_THAT(host.output, HasSubstr("\r\nLinking tkQuorvexC6.bpl\r\n"));
    EXPECT_THAT(host.output, HasSubstr("[Hinweis] " + kSources + "\\QvGrid.pas(12): Variable 'Gr\x94"));
}

TEST_F(BuilderTest, MakeRefusesMissingOrMisquotedMakeVariables) {
    ASSERT_EQ(Bpr2Mak(), 0);
    const auto good = host.environment;
    const std::vector<std::pair<std::string, std::optional<std::string>>> wrong = {
        {"MYUNITOUTDIR", std::nullopt},       {"MYBPLDIR", kBpl},  {"MYDCPDIR", "\"" + kDcp},
        {"LIBDIR", "\"" + kDcp + "\""},       {"HPPDIR", ""},      {"BPILIBDIR", "C:\\Elsewhere"},
    };
    for (const auto& [name, value] : wrong) {
        host.environment = good;
        if (value) host.environment[name] = *value;
        else host.environment.erase(name);
        host.output.clear();
        EXPECT_EQ(Make(), 1) << name;
        EXPECT_THAT(host.output, HasSubstr(name)) << name;
        EXPECT_FALSE(host.HasFile(kPackages + "\\tkQuorvexC6.bpl")) << name;
    }
}

TEST_F(BuilderTest, MakeNeedsTheTemplateAndTheSources) {
    host.AddFile(kPackages + "\\tkQuorvexC6.mak", "PROJECT = tkQuorvexC6.bpl\r\nPASFILES = ..\\Sources\\QvBase.pas\r\n");
    EXPECT_EQ(Make(), 1);
    EXPECT_THAT(host.output, HasSubstr("Fatal: HPPOUTDIR names no folder"));

    host.output.clear();
    host.AddFile(kPackages + "\\tkQuorvexC6.mak", "HPPOUTDIR = $(HPPDIR)\r\nPASFILES = ..\\Sources\\QvMissing.pas\r\n");
    EXPECT_EQ(Make(), 1);
    EXPECT_THAT(host.output, HasSubstr("Fatal: File not found: '..\\Sources\\QvMissing.pas'"));
    EXPECT_FALSE(host.HasFile(kPackages + "\\tkQuorvexC6.bpl"));
}

TEST_F(BuilderTest, EachToolFailsOnRequestOnlyWhenNamed) {
    host.environment["QV_STUB_FAIL"] = "make:tkQuorvex";
    ASSERT_EQ(Bpr2Mak(), 0);
    EXPECT_EQ(Make(), 1);
    EXPECT_FALSE(host.HasFile(kPackages + "\\tkQuorvexC6.bpl"));

    host.environment["QV_STUB_FAIL"] = "bpr2mak:tkQuorvexC6";
    host.AddFile(kPackages + "\\tkQuorvexC6.mak", "stale");
    EXPECT_EQ(Bpr2Mak(), 1);
    EXPECT_EQ(host.FileText(kPackages + "\\tkQuorvexC6.mak"), "stale");
}

}  // namespace
}  // namespace stubs
