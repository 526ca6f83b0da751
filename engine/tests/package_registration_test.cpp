// What the engine takes out of an IDE's settings and folders when it removes the product or an
// older copy of a package: the first match of each spelling, and nothing of others.

#include <gtest/gtest.h>

#include "engine/tests/testing/engine_machine.h"

namespace {

using namespace enginetest;
using seeding::TypicalIde;

class PackageRegistrationTest : public CompilerTest {
protected:
    // A maintenance run that removes the product from the first IDE only.
    void RemoveFromFirstIDE() {
        Start();
        ASSERT_EQ(data->State, engine::isMaintenance);
        Target(0).Action = engine::taUninstall;
        ASSERT_TRUE(Engine().Install());
    }
};

// The sources folder below the IDE's root, so that all four spellings differ; each is there
// twice, and a run takes each spelling's first entry only.
TEST_F(PackageRegistrationTest, EachSpellingOfAFolderGoesOnceFromThePathLists) {
    auto d7 = TypicalIde("Delphi", "7.0", "C:\\D7");
    // A doubled delimiter reads as a folder with one, and is written back doubled.
    d7.browsingPath = "$(DELPHI)\\Source\\Vcl;C:\\D7\\Quorvex\\Sources;c:\\d7\\quorvex\\sources\\\\;"
                      "$(DELPHI)\\Quorvex\\Sources;$(delphi)\\Quorvex\\Sources\\\\;C:\\D7\\Quorvex\\Sources;"
                      "$(DELPHI)\\Quorvex\\Sources\\\\";
    d7.searchPath = "$(DELPHI)\\Lib;C:\\D7\\Quorvex\\Delphi7;$(DELPHI)\\Quorvex\\Delphi7";
    Seed(d7);
    machine.files.WriteFile("C:\\Dist\\withsrcs", "");
    Start();
    data->SetInstallDir("C:\\D7\\Quorvex");
    Target(0).Action = engine::taInstall;
    Target(0).AddSource = false;
    ASSERT_TRUE(Engine().Install());
    const std::string library = User7 + "\\Library";
    EXPECT_EQ(Value(Hive::User, library, "Browsing Path"),
              "$(DELPHI)\\Source\\Vcl;C:\\D7\\Quorvex\\Sources;$(DELPHI)\\Quorvex\\Sources\\\\");
    // The first spelling of the target folder becomes the macro form, in place.
    EXPECT_EQ(Value(Hive::User, library, "Search Path"),
              "$(DELPHI)\\Lib;$(DELPHI)\\Quorvex\\Delphi7;$(DELPHI)\\Quorvex\\Delphi7");

    RemoveFromFirstIDE();
    EXPECT_EQ(Value(Hive::User, library, "Browsing Path"), "$(DELPHI)\\Source\\Vcl");
    EXPECT_EQ(Value(Hive::User, library, "Search Path"), "$(DELPHI)\\Lib;$(DELPHI)\\Quorvex\\Delphi7");
}

TEST_F(PackageRegistrationTest, EachPackageListLosesItsFirstMatchOnly) {
    auto d7 = TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.knownPackages.push_back({"C:\\A\\tkQuorvexDsgnD7.bpl", ""});
    d7.knownPackages.push_back({"C:\\B\\TKQUORVEXDSGND7.BPL", ""});
    d7.disabledPackages.push_back({"C:\\A\\tkQuorvexD7.bpl", ""});
    d7.disabledPackages.push_back({"C:\\B\\tkQuorvexD7.bpl", ""});
    Seed(d7);
    Start();
    Engine().UninstallTarget(Target(0));
    EXPECT_EQ(Values(Hive::User, User7 + "\\Known Packages"),
              (Lines{IdePackages7[0], IdePackages7[1], "C:\\B\\TKQUORVEXDSGND7.BPL"}));
    EXPECT_EQ(Values(Hive::User, User7 + "\\Disabled Packages"),
              (Lines{IdeDisabled7[0], "C:\\B\\tkQuorvexD7.bpl"}));
}

// Removal does not ask the record which connectivity was chosen: all eight packages go.
TEST_F(PackageRegistrationTest, UninstallTakesEveryConnectivityPackage) {
    auto d7 = TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.zeos = d7.mydac = d7.odac = true;
    d7.dcpOutput = "$(DELPHI)\\Projects\\Dcp";
    Seed(d7);
    Start();
    Target(0).Action = engine::taInstall;
    ASSERT_TRUE(Target(0).ZEOS && Target(0).MyDAC && Target(0).ODAC);
    ASSERT_TRUE(Engine().Install());
    ASSERT_EQ(Values(Hive::User, User7 + "\\Known Packages").size(), 2u + 4u);
    const Lines stems = {"tkQuorvexD7",        "tkQuorvexDsgnD7",        "tkQuorvexZeosD7",    "tkQuorvexDsgnZeosD7",
                         "tkQuorvexCrMyDACD7", "tkQuorvexDsgnCrMyDACD7", "tkQuorvexCrODACD7", "tkQuorvexDsgnCrODACD7"};
    for (const auto& stem : stems) ASSERT_TRUE(Exists("C:\\D7\\Projects\\Dcp\\" + stem + ".dcp")) << stem;
    const auto disabled = machine.registry.OpenKey(Hive::User, User7 + "\\Disabled Packages", KeyAccess::Write);
    for (const auto& stem : {stems[0], stems[2], stems[4], stems[6]}) disabled->WriteString("C:\\Old\\" + stem + ".bpl", "");

    Start();
    data->State = engine::isUninstall;
    ASSERT_TRUE(Engine().Uninstall());
    EXPECT_EQ(Values(Hive::User, User7 + "\\Known Packages"), IdePackages7);
    EXPECT_EQ(Values(Hive::User, User7 + "\\Disabled Packages"), IdeDisabled7);
    for (const auto& stem : stems) {
        EXPECT_FALSE(Exists(Bpl7 + "\\" + stem + ".bpl")) << stem;
        EXPECT_FALSE(Exists("C:\\D7\\Projects\\Dcp\\" + stem + ".dcp")) << stem;
    }
    EXPECT_TRUE(Exists(Bpl7 + "\\ZCore.bpl"));
}

// A maintenance run keeps the installation folder, so it deletes the units built there itself.
TEST_F(PackageRegistrationTest, RemovalFromOneIDEDeletesItsCompiledUnits) {
    Seed(TypicalIde("Delphi", "7.0", "C:\\D7"));
    machine.files.WriteFile("C:\\Dist\\withsrcs", "");
    Start();
    Target(0).Action = engine::taInstall;
    Target(0).CompilePackages = true;
    ASSERT_TRUE(Engine().Install());
    const std::string targetDir = InstallDir + "\\Delphi7\\";
    ASSERT_TRUE(Exists(targetDir + "QvBase.dcu"));
    for (const char* file : {"Sub\\Deep.dcu", "Sub\\Deep.obj", "QvBase.obj"}) WriteFile(targetDir + file);

    RemoveFromFirstIDE();
    for (const char* gone : {"QvBase.dcu", "QvBase.obj", "Sub\\Deep.dcu", "Sub\\Deep.obj"})
        EXPECT_FALSE(Exists(targetDir + gone)) << gone;
    for (const char* kept : {"QvDialogs.dfm", "tkQuorvexD7.bpl"}) EXPECT_TRUE(Exists(targetDir + kept)) << kept;
}

}  // namespace
