// How each package of one IDE is made, and where its files go.

#include <gtest/gtest.h>

#include "engine/tests/testing/engine_machine.h"

namespace {

using namespace enginetest;
using seeding::TypicalIde;

const std::string Known7 = User7 + "\\Known Packages";

class PackageBuildTest : public CompilerTest {
protected:
    // Installs into the one seeded IDE (again: a maintenance reinstall), after `choose` has set
    // its options.
    bool InstallFirstIDE(const std::function<void(engine::TTargetOptions&)>& choose = {}) {
        Start();
        Target(0).Action = engine::taInstall;
        if (choose) choose(Target(0));
        return Engine().Install();
    }

    // The package projects the compiler was given, in order.
    Lines CompiledPackages() const {
        Lines stems;
        for (const auto& run : machine.processes.Invocations())
            if (run.command.ends_with("dcc32.exe\"")) stems.push_back(Stem(run.parameters.substr(run.parameters.rfind(' ') + 1)));
        return stems;
    }

    bool Sent(const std::string& message) const {
        return std::find(messages.begin(), messages.end(), message) != messages.end();
    }
};

// Symbol files are looked up in the IDE's own DCP output, but written to the record's folder; all
// three folders differ here, so that no switch can stand in for another.
TEST_F(PackageBuildTest, DelphiOutputGoesEachToItsOwnFolder) {
    auto d7 = TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.dcpOutput = "$(DELPHI)\\Projects\\Dcp";
    Seed(d7);
    const auto toOwnFolders = [](engine::TTargetOptions& target) {
        target.BPLDir = "C:\\Out\\Bpl";
        target.DCPDir = "C:\\Out\\Dcp";
    };
    ASSERT_TRUE(InstallFirstIDE(toOwnFolders));
    for (const char* stem : {"tkQuorvexD7", "tkQuorvexDsgnD7"}) {
        EXPECT_TRUE(Exists("C:\\Out\\Bpl\\" + std::string(stem) + ".bpl")) << stem;
        EXPECT_TRUE(Exists("C:\\Out\\Dcp\\" + std::string(stem) + ".dcp")) << stem;
        EXPECT_FALSE(Exists("C:\\Out\\Bpl\\" + std::string(stem) + ".dcp")) << stem;
        EXPECT_FALSE(Exists("C:\\Out\\Dcp\\" + std::string(stem) + ".bpl")) << stem;
    }

    ASSERT_TRUE(InstallFirstIDE([&](engine::TTargetOptions& target) {
        toOwnFolders(target);
        target.CompilePackages = true;
    }));
    const auto& runs = machine.processes.Invocations();
    ASSERT_EQ(CompiledPackages(), (Lines{"tkQuorvexD7", "tkQuorvexDsgnD7"}));
    EXPECT_EQ(runs.back().parameters, " -B -H+ -W+ -U\"" + InstallDir + "\\Delphi7\" -U\"C:\\D7\\Projects\\Dcp\" -N\"" +
                                          InstallDir + "\\Delphi7\" -LE\"C:\\Out\\Bpl\" -LN\"C:\\Out\\Dcp\"  tkQuorvexDsgnD7.dpk");
}

TEST_F(PackageBuildTest, MakeFindsEachFolderInItsVariable) {
    Seed(TypicalIde("C++Builder", "6.0", "C:\\CB6"));
    ASSERT_TRUE(InstallFirstIDE([](engine::TTargetOptions& target) {
        target.CompilePackages = true;
        target.BPLDir = "C:\\Out\\Bpl";
        target.DCPDir = "C:\\Out\\Dcp";
        target.HPPDir = "C:\\Out\\Include";
    }));
    EXPECT_EQ(makeEnvironment, (std::map<std::string, std::string>{{"MYUNITOUTDIR", "\"" + InstallDir + "\\CBuilder6\""},
                                                                   {"MYBPLDIR", "\"C:\\Out\\Bpl\""},
                                                                   {"MYDCPDIR", "\"C:\\Out\\Dcp\""},
                                                                   {"LIBDIR", "C:\\Out\\Dcp"},
                                                                   {"HPPDIR", "C:\\Out\\Include"},
                                                                   {"BPILIBDIR", "C:\\Out\\Dcp"}}));
    EXPECT_TRUE(Exists("C:\\Out\\Bpl\\tkQuorvexDsgnC6.bpl"));
    for (const char* extension : {".bpi", ".lib"}) {
        EXPECT_TRUE(Exists("C:\\Out\\Dcp\\tkQuorvexDsgnC6" + std::string(extension))) << extension;
        EXPECT_FALSE(Exists("C:\\Out\\Bpl\\tkQuorvexDsgnC6" + std::string(extension))) << extension;
    }
}

TEST_F(PackageBuildTest, WithoutIDERegistrationPackagesAreBuiltAndOldEntriesStillGo) {
    auto d7 = TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.zeos = true;
    d7.knownPackages.push_back({"$(DELPHI)\\Projects\\Bpl\\tkQuorvexDsgnD7.bpl", "Quorvex Component"});
    d7.knownPackages.push_back({"C:\\Old\\tkQuorvexDsgnZeosD7.bpl", "Quorvex Component ZEOS Connectivity"});
    Seed(d7);
    ASSERT_TRUE(InstallFirstIDE([](engine::TTargetOptions& target) { target.IDERegistration = false; }));
    EXPECT_EQ(Values(Hive::User, Known7), IdePackages7);
    EXPECT_EQ(CompiledPackages(), (Lines{"tkQuorvexZeosD7", "tkQuorvexDsgnZeosD7"}));
    for (const char* stem : {"tkQuorvexD7", "tkQuorvexDsgnD7", "tkQuorvexZeosD7", "tkQuorvexDsgnZeosD7"})
        EXPECT_TRUE(Exists(Bpl7 + "\\" + stem + ".bpl")) << stem;
    EXPECT_TRUE(Sent("Installing package: tkQuorvexDsgnZeos"));
}

TEST_F(PackageBuildTest, CoreLabPackagesCarryTheirNamesAndDescriptions) {
    auto d7 = TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.mydac = d7.odac = true;
    Seed(d7);
    ASSERT_TRUE(InstallFirstIDE([](engine::TTargetOptions& target) { ASSERT_TRUE(target.MyDAC && target.ODAC); }));
    EXPECT_EQ(CompiledPackages(),
              (Lines{"tkQuorvexCrMyDACD7", "tkQuorvexDsgnCrMyDACD7", "tkQuorvexCrODACD7", "tkQuorvexDsgnCrODACD7"}));
    EXPECT_EQ(Value(Hive::User, Known7, Bpl7 + "\\tkQuorvexDsgnCrMyDACD7.bpl"),
              "Quorvex Component CoreLab MyDAC Connectivity");
    EXPECT_EQ(Value(Hive::User, Known7, Bpl7 + "\\tkQuorvexDsgnCrODACD7.bpl"),
              "Quorvex Component CoreLab Oracle DAC Connectivity");
    EXPECT_EQ(Values(Hive::User, Known7).size(), 5u);

    // Not chosen on the next run (a stored record never chooses them): every trace goes, the
    // runtime packages' registrations too, wherever they point.
    const auto disabled = machine.registry.OpenKey(Hive::User, User7 + "\\Disabled Packages", KeyAccess::Write);
    disabled->WriteString("C:\\Old\\tkQuorvexCrMyDACD7.bpl", "");
    disabled->WriteString("C:\\Old\\tkQuorvexCrODACD7.bpl", "");
    ASSERT_TRUE(InstallFirstIDE());
    EXPECT_EQ(Values(Hive::User, Known7), (Lines{IdePackages7[0], IdePackages7[1], Bpl7 + "\\tkQuorvexDsgnD7.bpl"}));
    EXPECT_EQ(Values(Hive::User, User7 + "\\Disabled Packages"), IdeDisabled7);
    for (const char* stem : {"tkQuorvexCrMyDACD7", "tkQuorvexDsgnCrMyDACD7", "tkQuorvexCrODACD7", "tkQuorvexDsgnCrODACD7"})
        for (const char* extension : {".bpl", ".dcp"}) EXPECT_FALSE(Exists(Bpl7 + "\\" + stem + extension)) << stem << extension;
}

// A copy that cannot be made (the BPL or DCP folder is a file) leaves the IDE without the package:
// the IDE stops there and is put back as it was.
TEST_F(PackageBuildTest, APrecompiledPackageThatCannotBeCopiedIsNotBuilt) {
    Seed(TypicalIde("Delphi", "7.0", "C:\\D7"));
    for (const bool bplBlocked : {true, false}) {
        machine.registry.DeleteKey(Hive::LocalMachine, Product);
        WriteFile("C:\\Blocked");
        EXPECT_FALSE(InstallFirstIDE([&](engine::TTargetOptions& target) {
            (bplBlocked ? target.BPLDir : target.DCPDir) = "C:\\Blocked";
        })) << bplBlocked;
        const std::string blocked = bplBlocked ? "tkQuorvexD7.bpl" : "tkQuorvexD7.dcp";
        EXPECT_TRUE(Sent("Cannot copy " + InstallDir + "\\Delphi7\\" + blocked + " to C:\\Blocked\\" + blocked + "."))
            << bplBlocked;
        EXPECT_TRUE(Sent("Package tkQuorvex could not be built; the build log holds the details.")) << bplBlocked;
        EXPECT_FALSE(Sent("Compiling package: tkQuorvexDsgn")) << bplBlocked;
        EXPECT_TRUE(Sent("Delphi 7.0 (Enterprise) is as it was before the installation.")) << bplBlocked;
        EXPECT_EQ(Values(Hive::User, Known7), IdePackages7) << bplBlocked;
        EXPECT_FALSE(Exists(Bpl7 + "\\tkQuorvexD7.bpl")) << bplBlocked;
    }
}

// A reinstall from a distribution with sources first clears the target folder of compiled units
// (at every depth) and of forms (at its top), then brings the forms of the sources again.
TEST_F(PackageBuildTest, AReinstallClearsOldUnitsAndFormsFirst) {
    Seed(TypicalIde("Delphi", "7.0", "C:\\D7"));
    machine.files.WriteFile("C:\\Dist\\withsrcs", "");
    ASSERT_TRUE(InstallFirstIDE());
    const std::string targetDir = InstallDir + "\\Delphi7\\";
    for (const char* file : {"Old.dfm", "Old.xfm", "Old.dcu", "Sub\\Deep.dcu", "Sub\\Deep.obj", "Sub\\Deep.dfm", "Notes.txt"})
        WriteFile(targetDir + file);
    ASSERT_TRUE(InstallFirstIDE());
    ASSERT_EQ(data->State, engine::isMaintenance);
    for (const char* gone : {"Old.dfm", "Old.xfm", "Old.dcu", "Sub\\Deep.dcu", "Sub\\Deep.obj"})
        EXPECT_FALSE(Exists(targetDir + gone)) << gone;
    for (const char* kept : {"Sub\\Deep.dfm", "Notes.txt", "QvDialogs.dfm", "tkQuorvexD7.bpl"})
        EXPECT_TRUE(Exists(targetDir + kept)) << kept;
}

}  // namespace
