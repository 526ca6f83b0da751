// dcc32.exe, bpr2mak.exe and make.exe started from folders with blanks with the installer's
// command lines, on the sample product with its sources.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "tools/sample_product/sample_product.h"
#include "tools/stub_tools/testing/fixture_process.h"

namespace {

using fixtures::ReadFile;
using ::testing::EndsWith;
using ::testing::HasSubstr;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

class StubToolsTest : public ::testing::Test {
protected:
    StubToolsTest() {
        for (const auto& entry : sample::SampleProduct(true)) fixtures::WriteFile(install + "\\" + entry.path, entry.data);
        for (const char* tool : {"dcc32.exe", "bpr2mak.exe", "make.exe"}) fixtures::CopyProgram(tool, ideBin);
        for (const std::string& folder : {bpl, dcp, hpp}) std::filesystem::create_directories(folder);
    }

    // The Delphi compiler's line as the installer writes it; `define` is "" or "-DFREE".
    fixtures::RunResult Dcc32(const std::string& project, const std::string& define = "", unsigned timeoutMs = 60000) {
        const std::string target = install + "\\Delphi7";
        const std::string line = Quoted(ideBin + "\\dcc32.exe") + "  -B -H+ -W+ -U" + Quoted(target) + " -U" +
                                 Quoted(ide + "\\Projects\\Bpl") + " -N" + Quoted(target) + " -LE" + Quoted(bpl) +
                                 " -LN" + Quoted(dcp) + " " + define + " " + project;
        return fixtures::RunExact(line, packages, "", timeoutMs);
    }

    fixtures::RunResult Bpr2Mak(const std::string& project) {
        return fixtures::RunExact(Quoted(ideBin + "\\bpr2mak.exe") + "  -t" + Quoted(packages + "\\bcb.bmk") + " " +
                                      Quoted(packages + "\\" + project),
                                  packages);
    }

    fixtures::RunResult Make(const std::string& makefile) {
        return fixtures::RunExact(Quoted(ideBin + "\\make.exe") + " -f" + Quoted(packages + "\\" + makefile) + " ",
                                  packages);
    }

    // The installer's make variables, in its own environment for the tools to inherit.
    void SetMakeVariables() {
        const std::vector<std::pair<const char*, std::string>> variables = {
            {"MYUNITOUTDIR", Quoted(install + "\\CBuilder6")}, {"MYBPLDIR", Quoted(bpl)}, {"MYDCPDIR", Quoted(dcp)},
            {"LIBDIR", dcp}, {"HPPDIR", hpp}, {"BPILIBDIR", dcp}};
        for (const auto& [name, value] : variables)
            environment.push_back(std::make_unique<fixtures::ScopedEnvironment>(name, value));
    }

    void Set(const char* name, const std::string& value) {
        environment.push_back(std::make_unique<fixtures::ScopedEnvironment>(name, value));
    }

    fixtures::ScratchFolder scratch{"qv stub tools"};
    const std::string install = scratch.path() + "\\Program Files\\Quorvex";
    const std::string packages = install + "\\Packages";
    const std::string ide = scratch.path() + "\\IDE\\Delphi 7";
    const std::string ideBin = ide + "\\Bin";
    const std::string bpl = scratch.path() + "\\My Packages\\Bpl";
    const std::string dcp = scratch.path() + "\\My Packages\\Dcp";
    const std::string hpp = scratch.path() + "\\My Include";
    std::vector<std::unique_ptr<fixtures::ScopedEnvironment>> environment;
};

TEST_F(StubToolsTest, Dcc32CompilesIntoTheFoldersOfTheInstallersLine) {
    const auto run = Dcc32("tkQuorvexD7.dpk");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("\r\nCompiling tkQuorvexD7.dpk\r\n"));
    EXPECT_THAT(run.output, HasSubstr("Variable 'Gr\x94\xE1" "e'"));
    EXPECT_THAT(run.output, EndsWith(" bytes data.\r\n"));
    EXPECT_THAT(*ReadFile(install + "\\Delphi7\\QvBase.dcu"), HasSubstr("compiled unit QvBase from " + install + "\\Sources\\QvBase.pas"));
    EXPECT_THAT(*ReadFile(bpl + "\\tkQuorvexD7.bpl"), HasSubstr("defines: (none)"));
    EXPECT_TRUE(ReadFile(dcp + "\\tkQuorvexD7.dcp"));

    const auto free = Dcc32("tkQuorvexDsgnD7.dpk", "-DFREE");
    ASSERT_EQ(free.exitCode, 0) << free.output;
    EXPECT_THAT(*ReadFile(bpl + "\\tkQuorvexDsgnD7.bpl"), HasSubstr("defines: FREE"));
    EXPECT_TRUE(ReadFile(install + "\\Delphi7\\QvReg.dcu"));
}

TEST_F(StubToolsTest, Bpr2MakAndMakeBuildFromTheInstallersLinesAndVariables) {
    SetMakeVariables();
    const auto converted = Bpr2Mak("tkQuorvexC6.bpk");
    ASSERT_EQ(converted.exitCode, 0) << converted.output;
    const auto made = Make("tkQuorvexC6.mak");
    ASSERT_EQ(made.exitCode, 0) << made.output;
    EXPECT_THAT(made.output, HasSubstr("\r\nMYBPLDIR = " + Quoted(bpl) + "\r\n"));
    for (const char* extension : {".bpl", ".bpi", ".lib", ".obj", ".tds", ".mak"})
        EXPECT_TRUE(ReadFile(packages + "\\tkQuorvexC6" + extension)) << extension;
    EXPECT_TRUE(ReadFile(install + "\\Sources\\QvBase.obj"));
    EXPECT_TRUE(ReadFile(install + "\\Sources\\QvBase.dcu"));
    EXPECT_THAT(*ReadFile(hpp + "\\QvBase.hpp"), HasSubstr("C++ header of unit QvBase"));
}

TEST_F(StubToolsTest, MakeWithoutTheVariablesFails) {
    ASSERT_EQ(Bpr2Mak("tkQuorvexC6.bpk").exitCode, 0);
    const auto made = Make("tkQuorvexC6.mak");
    EXPECT_EQ(made.exitCode, 1);
    EXPECT_THAT(made.output, HasSubstr("Fatal: environment variable MYUNITOUTDIR is not set"));
    EXPECT_FALSE(ReadFile(packages + "\\tkQuorvexC6.bpl"));
}

TEST_F(StubToolsTest, EachToolFailsOnRequestForTheNamedPackage) {
    Set("QV_STUB_FAIL", "tkQuorvexDsgn;bpr2mak:tkQuorvex");
    const auto failed = Dcc32("tkQuorvexDsgnD7.dpk");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_THAT(failed.output, HasSubstr("Error: the build of this package was made to fail"));
    EXPECT_FALSE(ReadFile(bpl + "\\tkQuorvexDsgnD7.bpl"));
    EXPECT_EQ(Dcc32("tkQuorvexD7.dpk").exitCode, 0);

    EXPECT_EQ(Bpr2Mak("tkQuorvexC6.bpk").exitCode, 1);
    EXPECT_FALSE(ReadFile(packages + "\\tkQuorvexC6.mak"));
}

TEST_F(StubToolsTest, HangsOnRequestUntilEnded) {
    Set("QV_STUB_HANG", "dcc32:tkQuorvexD7");
    const auto hung = Dcc32("tkQuorvexD7.dpk", "", 3000);
    EXPECT_TRUE(hung.timedOut);
    EXPECT_FALSE(ReadFile(bpl + "\\tkQuorvexD7.bpl"));

    Set("QV_STUB_HANG_SECONDS", "1");
    const auto slow = Dcc32("tkQuorvexD7.dpk", "", 30000);
    EXPECT_FALSE(slow.timedOut);
    EXPECT_EQ(slow.exitCode, 0) << slow.output;
}

TEST_F(StubToolsTest, WritesTenMegabytesWithoutALineBreakOnRequest) {
    Set("QV_STUB_LONG_LINE", "1");
    const auto run = Dcc32("tkQuorvexD7.dpk");
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_GE(run.output.size(), 10u * 1024 * 1024);
    EXPECT_EQ(run.output.find_first_not_of('x', run.output.size() - 10u * 1024 * 1024), std::string::npos);
}

}  // namespace
