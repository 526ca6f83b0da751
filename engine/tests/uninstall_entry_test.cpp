// The product's entry in Apps & Features and the maintenance copy of setup: written at the end of
// every install run, rewritten by an update, kept by a partial uninstall, removed with the
// product, and both as they were after a run that failed or was cut short.
#include <gtest/gtest.h>

#include "engine/tests/testing/rollback_rig.h"
#include "engine/uninstall_entry.h"

namespace {

using namespace enginetest;
using engine::UninstallRegistryKey;

const std::string CopyFolder = InstallDir + "\\Setup";
const std::string CopyProgram = "\"" + CopyFolder + "\\setup.exe\"";
const std::string CopyLinePrefix = "The maintenance copy of setup in " + CopyFolder;

class UninstallEntryTest : public Rig {
protected:
    State Entry() {
        State state;
        AddKey(state, machine.registry, Hive::LocalMachine, UninstallRegistryKey);
        return state;
    }
    State Copy() {
        State state;
        AddFolder(state, machine.files, CopyFolder);
        return state;
    }
    std::string EntryText(const std::string& name) { return Value(Hive::LocalMachine, UninstallRegistryKey, name); }
    std::int32_t EntryNumber(const std::string& name) {
        return *machine.registry.OpenKey(Hive::LocalMachine, UninstallRegistryKey, KeyAccess::Read)->ReadInteger(name);
    }
    // Counted apart from the engine: every file below the installation folder, and the files of
    // the product's packages in each IDE's BPL and DCP folders.
    std::int32_t ExpectedKilobytes() {
        std::uint64_t bytes = 0;
        std::function<void(const std::string&, bool)> add = [&](const std::string& folder, bool productOnly) {
            for (const auto& entry : machine.files.Find(folder + "\\*.*", platform::attr::AnyFile).entries) {
                if (entry.name == "." || entry.name == "..") continue;
                if (entry.attributes & platform::attr::Directory) {
                    if (!productOnly) add(folder + "\\" + entry.name, false);
                } else if (!productOnly || entry.name.starts_with("tkQuorvex")) {
                    bytes += entry.size;
                }
            }
        };
        add(InstallDir, false);
        for (int i = 0; i < data->TargetOptions->Count(); ++i) {
            if (!Target(i).Installed) continue;
            add(Target(i).BPLDir, true);
            if (Target(i).DCPDir != Target(i).BPLDir) add(Target(i).DCPDir, true);
        }
        return static_cast<std::int32_t>((bytes + 1023) / 1024);
    }
    bool Uninstall() {
        compiler.reset();
        data = std::make_unique<TInstallData>(faulty, options);
        data->State = engine::isUninstall;
        return Engine().Uninstall();
    }
    // The lines about the copy and the entry.
    std::vector<std::string> CopyLines() const {
        std::vector<std::string> found;
        for (const auto& line : messages)
            if (line.find("maintenance copy") != std::string::npos) found.push_back(line);
        return found;
    }
};

TEST_F(UninstallEntryTest, AnInstallationWritesTheEntryAndACopyThatStartsWithoutTheDistribution) {
    Prepare(Scenario::FirstInstallation);
    machine.system.localDate = "20270131";
    ASSERT_TRUE(Run()) << Lines();
    EXPECT_EQ(EntryText("DisplayName"), "Quorvex");
    EXPECT_EQ(EntryText("DisplayVersion"), "2.4.1.17");
    EXPECT_EQ(EntryText("Publisher"), "Veltrano Software");
    EXPECT_EQ(EntryText("Comments"), "Standard Edition");
    EXPECT_EQ(EntryText("InstallLocation"), InstallDir);
    EXPECT_EQ(EntryText("InstallDate"), "20270131");
    EXPECT_EQ(EntryText("DisplayIcon"), CopyProgram + ",0");
    EXPECT_EQ(EntryText("UninstallString"), CopyProgram);
    EXPECT_EQ(EntryNumber("NoRepair"), 1);
    EXPECT_EQ(EntryNumber("EstimatedSize"), ExpectedKilobytes());
    EXPECT_GT(EntryNumber("EstimatedSize"), 0);
    // What maintenance reads from its folder: the program, the version and the edition's markers.
    EXPECT_EQ(machine.files.ReadWholeFile(CopyFolder + "\\setup.exe"), SetupProgram);
    EXPECT_EQ(machine.files.ReadWholeFile(CopyFolder + "\\version"), "2.4.1.17");
    EXPECT_TRUE(Exists(CopyFolder + "\\withsrcs"));
    EXPECT_FALSE(Exists(CopyFolder + "\\freevers"));
    EXPECT_TRUE(CopyLines().empty()) << Lines();
    EXPECT_TRUE(JournalGone());
}

TEST_F(UninstallEntryTest, AnUpdateRewritesTheEntryAndAFailedUpdateLeavesIt) {
    Prepare(Scenario::Update);
    ASSERT_EQ(EntryText("DisplayVersion"), "2.4.1.16");
    // An old copy's edition marker that the new edition does not have.
    WriteFile(CopyFolder + "\\freevers", "");
    const State oldEntry = Entry();
    const State oldCopy = Copy();

    damagedArchive = true;
    EXPECT_FALSE(Run());
    EXPECT_EQ(Entry(), oldEntry);
    EXPECT_EQ(Copy(), oldCopy) << Differences(oldCopy, Copy());

    damagedArchive = false;
    machine.system.localDate = "20270202";
    machine.files.WriteFile("C:\\Dist\\setup.exe", "MZ setup of 2.4.1.17, rebuilt");
    ASSERT_TRUE(Run()) << Lines();
    EXPECT_EQ(EntryText("DisplayVersion"), "2.4.1.17");
    EXPECT_EQ(EntryText("InstallDate"), "20270202");
    EXPECT_EQ(EntryNumber("EstimatedSize"), ExpectedKilobytes());
    EXPECT_EQ(machine.files.ReadWholeFile(CopyFolder + "\\version"), "2.4.1.17");
    EXPECT_EQ(machine.files.ReadWholeFile(CopyFolder + "\\setup.exe"), "MZ setup of 2.4.1.17, rebuilt");
    EXPECT_FALSE(Exists(CopyFolder + "\\freevers"));
    EXPECT_TRUE(JournalGone());
}

TEST_F(UninstallEntryTest, RemovingSomeIDEsKeepsTheEntryAndAFullUninstallDeletesIt) {
    Prepare(Scenario::Maintenance);
    const std::int32_t allThree = EntryNumber("EstimatedSize");
    actions = {engine::taUninstall, engine::taNone, engine::taNone};
    ASSERT_TRUE(Run()) << Lines();
    EXPECT_EQ(EntryText("UninstallString"), CopyProgram);
    EXPECT_EQ(EntryNumber("EstimatedSize"), ExpectedKilobytes());
    EXPECT_LT(EntryNumber("EstimatedSize"), allThree);
    EXPECT_TRUE(Exists(CopyFolder + "\\setup.exe"));

    ASSERT_TRUE(Uninstall()) << Lines();
    EXPECT_EQ(Entry(), (State{{"no key " + platform::KeyDisplayName(Hive::LocalMachine, UninstallRegistryKey), ""}}));
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, Product));
    EXPECT_FALSE(Exists(InstallDir));
}

TEST_F(UninstallEntryTest, AnUninstallThatAnIDEFailsKeepsTheEntryWithTheRecord) {
    Prepare(Scenario::Maintenance);
    const State entry = Entry();
    faults.Arm(Faults::Mode::Count);
    Uninstall();
    std::size_t at = 0;
    for (std::size_t i = 0; i < faults.Seen().size() && !at; ++i)
        if (faults.Seen()[i].find("Delphi\\7.0") != std::string::npos) at = i + 1;
    ASSERT_NE(at, 0u);
    Rig fresh;
    fresh.Prepare(Scenario::Maintenance);
    CopyMachineFrom(fresh);
    faults.Arm(Faults::Mode::Fail, static_cast<int>(at));
    EXPECT_FALSE(Uninstall());
    EXPECT_EQ(Entry(), entry);
    EXPECT_TRUE(Exists(CopyFolder + "\\setup.exe"));
}

TEST_F(UninstallEntryTest, AnEntryThatCannotBeWrittenKeepsTheOldOnesAndFailsNoIDE) {
    Prepare(Scenario::Update);
    Rig before;
    before.CopyMachineFrom(*this);
    const State oldEntry = Entry();
    const State oldCopy = Copy();
    faults.Arm(Faults::Mode::Count);
    ASSERT_TRUE(Run());
    std::size_t at = 0;
    for (std::size_t i = 0; i < faults.Seen().size() && !at; ++i)
        if (faults.Seen()[i].find("CurrentVersion\\Uninstall\\Quorvex") != std::string::npos) at = i + 1;
    ASSERT_NE(at, 0u);

    CopyMachineFrom(before);
    faults.Arm(Faults::Mode::Fail, static_cast<int>(at));
    EXPECT_TRUE(Run()) << Lines();
    faults.Disarm();
    const auto lines = CopyLines();
    ASSERT_EQ(lines.size(), 1u) << Lines();
    EXPECT_TRUE(lines[0].starts_with(CopyLinePrefix + " and the entry HKEY_LOCAL_MACHINE\\" +
                                     UninstallRegistryKey + " could not be written: "))
        << lines[0];
    EXPECT_NE(lines[0].find("injected"), std::string::npos) << lines[0];
    EXPECT_TRUE(lines[0].ends_with("The old ones are kept.")) << lines[0];
    EXPECT_EQ(Entry(), oldEntry);
    EXPECT_EQ(Copy(), oldCopy) << Differences(oldCopy, Copy());
    for (const auto& ide : RigIdes) EXPECT_FALSE(Sent("Installation into " + ide.name + " failed.")) << Lines();
    EXPECT_TRUE(Sent("All operations done. Press Finish to exit installation."));
    EXPECT_TRUE(JournalGone());
}

TEST_F(UninstallEntryTest, AnUpdateCutShortGivesBackEitherTheOldOrTheNewPairAtTheNextStart) {
    Prepare(Scenario::Update);
    Rig before;
    before.CopyMachineFrom(*this);
    const State oldPair = [&] { State s = Entry(); State c = Copy(); s.insert(c.begin(), c.end()); return s; }();
    faults.Arm(Faults::Mode::Count);
    ASSERT_TRUE(Run());
    faults.Disarm();
    State newPair = Entry();
    const State newCopy = Copy();
    newPair.insert(newCopy.begin(), newCopy.end());
    ASSERT_NE(newPair, oldPair);
    int first = 0;
    int lastEntryWrite = 0;
    const std::vector<std::string> seen = faults.Seen();  // the next Arm clears it
    for (int i = 0; i < static_cast<int>(seen.size()); ++i) {
        if (!first && seen[static_cast<std::size_t>(i)].find("Apps & Features") != std::string::npos) first = i + 1;
        if (seen[static_cast<std::size_t>(i)].find("Uninstall\\Quorvex") != std::string::npos) lastEntryWrite = i + 1;
    }
    ASSERT_GT(first, 0);
    ASSERT_GT(lastEntryWrite, first);
    for (int at = first; at <= static_cast<int>(seen.size()); ++at) {
        CopyMachineFrom(before);
        faults.Arm(Faults::Mode::Kill, at);
        try {
            Run();
        } catch (const Killed&) {
        }
        faults.Disarm();
        compiler.reset();
        data.reset();
        engine::journal::RestoreInterruptedRuns(machine.platform);
        State pair = Entry();
        const State copy = Copy();
        pair.insert(copy.begin(), copy.end());
        if (at <= lastEntryWrite)
            EXPECT_EQ(pair, oldPair) << "killed at " << at << ": " << faults.HitChange() << "\n" << Differences(oldPair, pair);
        else
            EXPECT_TRUE(pair == oldPair || pair == newPair) << "killed at " << at << ": " << faults.HitChange();
    }
}

TEST_F(UninstallEntryTest, AFolderThatAnUninstallMayNotDeleteGetsNoCopy) {
    Prepare(Scenario::FirstInstallation);
    const std::string refused = "C:\\Program Files";
    ASSERT_TRUE(Run({}, {}, [&] { data->SetInstallDir(refused); })) << Lines();
    const auto lines = CopyLines();
    ASSERT_EQ(lines.size(), 1u) << Lines();
    EXPECT_EQ(lines[0], "No maintenance copy of setup is written to C:\\Program Files\\Setup and no entry to "
                        "HKEY_LOCAL_MACHINE\\" + std::string(UninstallRegistryKey) +
                        ", since C:\\Program Files is no folder that an uninstall may delete: " +
                        engine::RefusalReason(engine::FolderRefusal::SystemOrUser) + ".");
    EXPECT_FALSE(Exists(refused + "\\Setup"));
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, UninstallRegistryKey));
}

TEST(MaintenanceCopyStart, RunsFromACopyOnlyInsideAnInstallationFolderThatMayBeDeleted) {
    platform::memory::MemorySystemInfo system;
    platform::memory::MemoryFileSystem files;
    const auto guarded = [&] { return engine::ProtectedFolders(system); };
    const std::optional<std::string> folder = InstallDir;
    EXPECT_TRUE(engine::RunsFromInstallation(InstallDir + "\\Setup", folder, guarded, files));
    EXPECT_TRUE(engine::RunsFromInstallation("c:\\program files\\veltradb\\quorvex\\setup\\", folder, guarded, files));
    EXPECT_FALSE(engine::RunsFromInstallation(InstallDir + "X\\Setup", folder, guarded, files));
    EXPECT_FALSE(engine::RunsFromInstallation("C:\\Dist", folder, guarded, files));
    EXPECT_FALSE(engine::RunsFromInstallation(InstallDir + "\\Setup", std::nullopt, guarded, files));
    EXPECT_FALSE(engine::RunsFromInstallation("C:\\Program Files\\Setup", std::string("C:\\Program Files"), guarded, files));
    EXPECT_FALSE(engine::RunsFromInstallation("C:\\Setup", std::string("C:\\"), guarded, files));
}

TEST(MaintenanceCopyStart, KnowsItsOwnTemporaryCopiesAndNoOtherFolder) {
    const std::string temp = "C:\\Documents and Settings\\User\\Local Settings\\Temp\\";
    EXPECT_TRUE(engine::IsTemporaryCopy(temp + "Quorvex Setup 12", temp));
    EXPECT_TRUE(engine::IsTemporaryCopy(temp + "QUORVEX SETUP 7", "C:\\Documents and Settings\\User\\Local Settings\\Temp"));
    EXPECT_FALSE(engine::IsTemporaryCopy(temp + "Quorvex Setup 12\\Inner", temp));
    EXPECT_FALSE(engine::IsTemporaryCopy(temp + "Quorvex Setup ", temp));
    EXPECT_FALSE(engine::IsTemporaryCopy(temp + "Quorvex Setup 1a", temp));
    EXPECT_FALSE(engine::IsTemporaryCopy("C:\\Dist\\Quorvex Setup 1", temp));
    EXPECT_FALSE(engine::IsTemporaryCopy(temp + "Quorvex 2.4.1.17", temp));
}

}  // namespace
