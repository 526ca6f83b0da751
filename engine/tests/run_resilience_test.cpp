// A run that meets a failure does the harm it must and no more: a failed IDE stops no other, a
// folder value that no tool may get stops its IDE or the run before anything changes, a failed
// update leaves the old record, and what others wrote into an IDE's settings stays.
#include <gtest/gtest.h>

#include "engine/tests/testing/engine_machine.h"

namespace {

using namespace enginetest;

const std::string D7 = "Delphi 7.0 (Enterprise)";
const std::string CB6 = "C++Builder 6.0 (Enterprise)";
const std::string BDS3 = "Delphi 2005 (Enterprise)";
const std::string D7User = "SOFTWARE\\Borland\\Delphi\\7.0";
const std::string Done = "All operations done. Press Finish to exit installation.";
const std::string BadCharacter =
    "it holds a character that a folder name cannot hold (\" < > | ? * : or a control character)";

class RunResilienceTest : public CompilerTest {
protected:
    void RecordInstall(const std::string& folder, const std::string& version) {
        const auto key = machine.registry.OpenKey(Hive::LocalMachine, Product, KeyAccess::CreateWrite);
        key->WriteString("InstallDir", folder);
        key->WriteString("InstalledVersion", version);
    }
    void StoreFolder(const std::string& ide, const std::string& value, const std::string& folder) {
        machine.registry.OpenKey(Hive::LocalMachine, Product + "\\" + ide, KeyAccess::Write)->WriteString(value, folder);
    }
    // The messages from the first line that starts with `from`, up to the end.
    Lines From(const std::string& from) const {
        const auto first = std::find_if(messages.begin(), messages.end(),
                                        [&](const std::string& line) { return line.starts_with(from); });
        return Lines(first, messages.end());
    }
    bool Ran(const std::string& text) const {
        for (const auto& run : machine.processes.Invocations())
            if (run.parameters.find(text) != std::string::npos) return true;
        return false;
    }
};

TEST_F(RunResilienceTest, AFailedIDEStopsNoOtherAndTheRunNamesIt) {
    SeedTypical();
    Start();
    for (int i = 0; i < 3; ++i) {
        Target(i).Action = engine::taInstall;
        Target(i).CompilePackages = true;
    }
    failing = {"tkQuorvexDsgnD7", "tkQuorvexD9"};
    EXPECT_FALSE(Engine().Install());
    EXPECT_EQ(From("Compiling for: " + D7),
              (Lines{"Compiling for: " + D7, "Compiling package: tkQuorvex", "Compiling package: tkQuorvexDsgn",
                     "Package tkQuorvexDsgn could not be built; the build log holds the details.",
                     "Installing package: tkQuorvexDsgn", "Installation into " + D7 + " failed.",
                     D7 + " is as it was before the installation.", "",
                     "Compiling for: " + CB6, "Compiling package: tkQuorvex", "Compiling package: tkQuorvexDsgn",
                     "Installing package: tkQuorvexDsgn", "Completed", "",
                     "Compiling for: " + BDS3, "Compiling package: tkQuorvex",
                     "Package tkQuorvex could not be built; the build log holds the details.",
                     "Installation into " + BDS3 + " failed.", BDS3 + " is as it was before the installation.", "",
                     "Installation failed for: " + D7 + "; " + BDS3 + ". The build log holds the details.", Done}));
    // The IDE between the two failures is installed; the failed ones are as they were: not recorded,
    // their known packages those they had.
    EXPECT_EQ(Value(Hive::User, "SOFTWARE\\Borland\\C++Builder\\6.0\\Known Packages",
                    "C:\\CB6\\Projects\\Bpl\\tkQuorvexDsgnC6.bpl"),
              "Quorvex Component");
    EXPECT_EQ(Values(Hive::User, D7User + "\\Known Packages").size(), 2u);
    EXPECT_TRUE(machine.registry.KeyExists(Hive::LocalMachine, Product + "\\" + CB6));
    for (const auto& ide : {D7, BDS3}) EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, Product + "\\" + ide));
    EXPECT_EQ(Value(Hive::LocalMachine, Product, "InstalledVersion"), "2.4.1.17 Standard Edition");
}

TEST_F(RunResilienceTest, UnusableStoredFoldersFailTheirIDEBeforeAnyToolSeesThem) {
    SeedTypical();
    ASSERT_TRUE(InstallAll());
    StoreFolder(D7, "BPLDir", "C:\\Out\" -LE\"C:\\");
    StoreFolder(D7, "DCPDir", "C:\\D7\\..\\..\\Windows");
    StoreFolder(BDS3, "DCPDir", "Bpl");
    StoreFolder(BDS3, "HPPDir", "C:\\Not|Used");  // Delphi has no headers
    const Lines d7Refused{
        "The BPL folder \"C:\\Out\" -LE\"C:\\\" of " + D7 + " cannot be used: " + BadCharacter + ".",
        "The DCP folder \"C:\\D7\\..\\..\\Windows\" of " + D7 + " cannot be used: it holds a \"..\" name."};
    const std::string bds3Refused = "The DCP folder \"Bpl\" of " + BDS3 + " cannot be used: it is not a full path.";
    Start();
    ASSERT_EQ(data->State, engine::isMaintenance);
    Target(0).Action = Target(1).Action = engine::taInstall;
    Target(0).CompilePackages = true;
    Target(2).Action = engine::taUninstall;
    const auto runsBefore = machine.processes.Invocations().size();
    EXPECT_FALSE(Engine().Install());
    Lines expected = d7Refused;
    expected.insert(expected.end(), {"Installation into " + D7 + " failed.", "", "Compiling for: " + CB6,
                                     "Compiling package: tkQuorvex", "Compiling package: tkQuorvexDsgn",
                                     "Installing package: tkQuorvexDsgn", "Completed", "", bds3Refused,
                                     "Uninstall from " + BDS3 + " failed.", "",
                                     "Installation failed for: " + D7 + "; " + BDS3 + ". The build log holds the details.",
                                     Done});
    EXPECT_EQ(From("The BPL folder"), expected);
    // Nothing of those IDEs changed: no compiler ran, their packages and records stay.
    EXPECT_EQ(machine.processes.Invocations().size(), runsBefore);
    EXPECT_TRUE(Exists("C:\\BDS3\\Projects\\Bpl\\tkQuorvexD9.bpl"));
    EXPECT_TRUE(machine.registry.KeyExists(Hive::LocalMachine, Product + "\\" + BDS3));

    // The uninstall run goes on past the IDEs it cannot touch and names them.
    Start();
    data->State = engine::isUninstall;
    EXPECT_FALSE(Engine().Uninstall());
    expected = d7Refused;
    expected.insert(expected.end(), {"Uninstall from " + D7 + " failed.", "", "Uninstall from IDE: " + CB6, "Completed",
                                     "", bds3Refused, "Uninstall from " + BDS3 + " failed.", "",
                                     "The component files stay in " + InstallDir + ": " + D7 + "; " + BDS3 +
                                         " still use them.",
                                     "",
                                     "Uninstall failed for: " + D7 + "; " + BDS3 + ". The build log holds the details.",
                                     "Uninstall completed. Press Finish to exit installation."});
    EXPECT_EQ(messages, expected);
    EXPECT_TRUE(Exists("C:\\D7\\Projects\\Bpl\\tkQuorvexD7.bpl"));
    EXPECT_FALSE(Exists("C:\\CB6\\Projects\\Bpl\\tkQuorvexC6.bpl"));
    // What the failed IDEs still use stays, and so does the record that lets a later run finish.
    EXPECT_TRUE(Exists(InstallDir + "\\Delphi7"));
    EXPECT_EQ(Value(Hive::LocalMachine, Product, "InstallDir"), InstallDir);
    Start();
    EXPECT_EQ(data->State, engine::isMaintenance);
}

TEST_F(RunResilienceTest, AnUnusableInstallationFolderEndsTheRunBeforeAnythingChanges) {
    SeedTypical();
    const std::string stored = "C:\\Q\" -y \"C:\\Windows";
    RecordInstall(stored, "2.4.1.16");
    Start();
    ASSERT_EQ(data->State, engine::isUpdate);
    data->SaveToRegistry();  // as the compile page does before the run
    for (int i = 0; i < 3; ++i) Target(i).Action = engine::taInstall;
    const std::string refusal =
        "The installation folder \"" + stored + "\" cannot be used: " + BadCharacter + ". Nothing was changed.";
    EXPECT_FALSE(Engine().Install());
    EXPECT_EQ(messages, (Lines{"Windows XP Service Pack 2 (5.1.2600)", "", refusal}));
    EXPECT_TRUE(machine.processes.Invocations().empty());
    EXPECT_TRUE(machine.files.RecycleBin().empty());
    EXPECT_EQ(Value(Hive::LocalMachine, Product, "InstalledVersion"), "2.4.1.16");

    data->State = engine::isUninstall;
    EXPECT_FALSE(Engine().Uninstall());
    EXPECT_EQ(messages, (Lines{refusal}));
    EXPECT_EQ(Value(Hive::LocalMachine, Product, "InstallDir"), stored);
}

TEST_F(RunResilienceTest, AFailedUpdateLeavesTheOldRecordSoTheNextStartUpdatesAgain) {
    SeedTypical();
    RecordInstall(InstallDir, "2.4.1.16");
    Start();
    ASSERT_EQ(data->State, engine::isUpdate);
    data->SaveToRegistry();
    ASSERT_EQ(Value(Hive::LocalMachine, Product, "InstalledVersion"), "2.4.1.17 Standard Edition");
    damagedArchive = true;
    EXPECT_FALSE(Engine().Install());
    EXPECT_EQ(messages.back(), "Archive damaged.");
    EXPECT_EQ(Value(Hive::LocalMachine, Product, "InstalledVersion"), "2.4.1.16");
    EXPECT_EQ(Value(Hive::LocalMachine, Product, "InstallDir"), InstallDir);
    EXPECT_EQ(Start().State, engine::isUpdate);

    // A first installation that fails leaves no record at all.
    machine.registry.DeleteKey(Hive::LocalMachine, Product);
    Start();
    data->SetInstallDir("D:\\Chosen");
    data->SaveToRegistry();
    EXPECT_FALSE(Engine().Install());
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, Product));
}

TEST_F(RunResilienceTest, AFirstInstallationCutShortStartsAgainFromTheDefaults) {
    SeedTypical();
    const auto leftover = machine.registry.OpenKey(Hive::LocalMachine, Product + "\\" + D7, KeyAccess::CreateWrite);
    leftover->WriteInteger("Installed", 1);
    leftover->WriteString("BPLDir", "C:\\Half\" Bpl");
    machine.registry.OpenKey(Hive::LocalMachine, Product + "\\Gone IDE", KeyAccess::CreateWrite);
    Start();
    EXPECT_EQ(data->State, engine::isInstall);
    EXPECT_EQ(data->InstallDir(), InstallDir);
    EXPECT_FALSE(Target(0).Installed);
    EXPECT_EQ(Target(0).BPLDir, "C:\\D7\\Projects\\Bpl");
    data->SaveToRegistry();  // the compile page's first save
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, Product));
    Target(0).Action = engine::taInstall;
    EXPECT_TRUE(Engine().Install());
    EXPECT_EQ(Value(Hive::LocalMachine, Product + "\\" + D7, "BPLDir"), "C:\\D7\\Projects\\Bpl");
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, Product + "\\Gone IDE"));
    EXPECT_EQ(Start().State, engine::isMaintenance);

    // A folder without a version is no trace of a cut: the record is damaged.
    machine.registry.OpenKey(Hive::LocalMachine, Product, KeyAccess::Write)->DeleteValue("InstalledVersion");
    EXPECT_THROW(Start(), engine::BadVersionError);
    RecordInstall(InstallDir, "  ");
    EXPECT_THROW(Start(), engine::BadVersionError);
}

TEST_F(RunResilienceTest, WhatOthersWroteIntoTheIDEMeanwhileIsKept) {
    Seed(seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
    Start();
    Target(0).Action = engine::taInstall;
    // Written by the IDE or another installer while the wizard was open.
    const auto known = machine.registry.OpenKey(Hive::User, D7User + "\\Known Packages", KeyAccess::Write);
    known->WriteString("C:\\Other\\late70.bpl", "A late package");
    const auto library = machine.registry.OpenKey(Hive::User, D7User + "\\Library", KeyAccess::Write);
    library->WriteString("Search Path", library->ReadString("Search Path") + ";C:\\Late");
    machine.registry.OpenKey(Hive::User, D7User + "\\Debugging", KeyAccess::Write)
        ->WriteString("Debug DCUs Path", "C:\\Late Dcu");
    EXPECT_TRUE(Engine().Install());
    EXPECT_EQ(Value(Hive::User, D7User + "\\Known Packages", "C:\\Other\\late70.bpl"), "A late package");
    EXPECT_EQ(Value(Hive::User, D7User + "\\Library", "Search Path"),
              "$(DELPHI)\\Lib;$(DELPHI)\\Bin;$(DELPHI)\\Imports;$(DELPHI)\\Projects\\Bpl;C:\\Late;" + InstallDir +
                  "\\Delphi7");
    EXPECT_EQ(Value(Hive::User, D7User + "\\Debugging", "Debug DCUs Path"), "C:\\Late Dcu");

    // The same for a removal.
    Start();
    Target(0).Action = engine::taUninstall;
    known->WriteString("C:\\Other\\later70.bpl", "A later package");
    EXPECT_TRUE(Engine().Install());
    EXPECT_EQ(Values(Hive::User, D7User + "\\Known Packages"),
              (Lines{"$(DELPHI)\\Bin\\dclbase70.bpl", "$(DELPHI)\\Bin\\dcldata70.bpl", "C:\\Other\\late70.bpl",
                     "C:\\Other\\later70.bpl"}));
}

TEST_F(RunResilienceTest, AbortIsClearedAtTheStartOfEachRun) {
    Seed(seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
    Start();
    Target(0).Action = engine::taInstall;
    Target(0).CompilePackages = true;
    auto& engineRef = Engine();
    engineRef.Abort = true;  // left from an earlier use of the engine
    EXPECT_TRUE(engineRef.Install());
    EXPECT_FALSE(engineRef.Abort);
    EXPECT_TRUE(Ran("tkQuorvexDsgnD7.dpk"));
    engineRef.Abort = true;
    data->State = engine::isUninstall;
    EXPECT_TRUE(engineRef.Uninstall());
    EXPECT_FALSE(engineRef.Abort);
}

}  // namespace
