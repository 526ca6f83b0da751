// What the journal does beyond undoing a failed IDE: it never makes things worse when it cannot
// do its work (a journal it cannot read, a file it cannot move, an undo it cannot finish, a hive
// that is not the one it changed), it puts back values of any kind as they were, it undoes a
// failed removal, and in an update it keeps the old installation until the run's end.
#include <gtest/gtest.h>

#include "engine/journal.h"
#include "engine/tests/testing/rollback_checks.h"

namespace {

using namespace enginetest;
using engine::journal::RestoreInterruptedRuns;
using engine::journal::RestoreMessage;
using platform::Hive;
using platform::KeyAccess;

const std::string D7 = "Delphi 7.0 (Enterprise)";
const std::string Journal = InstallDir + ".journal";

// The number (from 1) of the first change of a run of the scenario that holds the text.
int ChangeWith(Scenario scenario, const std::string& text, const std::vector<engine::TTargetAction>& actions = {}) {
    Rig counting;
    counting.Prepare(scenario);
    if (!actions.empty()) counting.actions = actions;
    counting.faults.Arm(Faults::Mode::Count);
    counting.Run();
    const auto& seen = counting.faults.Seen();
    for (std::size_t i = 0; i < seen.size(); ++i)
        if (seen[i].find(text) != std::string::npos) return static_cast<int>(i) + 1;
    ADD_FAILURE() << "no change with " << text;
    return 0;
}

// A first installation cut short when Delphi 2005's settings and packages have all been changed.
void KillInDelphi2005(Rig& rig) {
    const int at = ChangeWith(Scenario::FirstInstallation, "Quorvex\\Delphi 2005 (Enterprise) Installed");
    rig.Prepare(Scenario::FirstInstallation);
    rig.faults.Arm(Faults::Mode::Kill, at);
    EXPECT_THROW(rig.Run(), Killed);
    rig.faults.Disarm();
}

std::vector<std::string> EntriesOf(Rig& rig, const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : rig.machine.files.Find(folder + "\\*.*", platform::attr::AnyFile).entries)
        if (entry.name != "." && entry.name != "..") names.push_back(entry.name);
    return names;
}

TEST(Journal, AJournalThatCannotBeReadIsLeftAsItIsAndReported) {
    Rig rig;
    KillInDelphi2005(rig);
    const std::string ideJournal = Journal + "\\Delphi 2005 (Enterprise)";
    const auto entries = EntriesOf(rig, ideJournal);
    ASSERT_GT(entries.size(), 5u);
    // A byte of one entry changed, as a disk that failed might change it.
    const std::string damagedPath = ideJournal + "\\000003.entry";
    const std::string intact = rig.machine.files.ReadWholeFile(damagedPath);
    std::string damaged = intact;
    damaged[damaged.size() / 2] ^= 0x04;
    rig.machine.files.WriteFile(damagedPath, damaged);
    const State killed = rig.Ide(2);

    const auto report = RestoreInterruptedRuns(rig.faulty);
    EXPECT_TRUE(report.restored.empty());
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0], "The journal of Delphi 2005 (Enterprise) in " + ideJournal +
                                      " cannot be read (000003.entry); it is left as it is.");
    EXPECT_NE(RestoreMessage(report).find("could not be put back:\n" + report.problems[0]), std::string::npos);
    // Nothing of that IDE was touched, nothing of its journal deleted; the next start tries again.
    EXPECT_TRUE(rig.Ide(2) == killed);
    EXPECT_EQ(EntriesOf(rig, ideJournal), entries);
    EXPECT_FALSE(rig.JournalGone());

    rig.machine.files.WriteFile(damagedPath, intact);
    const Reference reference = MakeReference(Scenario::FirstInstallation, -1);
    const auto again = RestoreInterruptedRuns(rig.faulty);
    EXPECT_EQ(again.restored, std::vector<std::string>{"Delphi 2005 (Enterprise)"});
    EXPECT_TRUE(rig.Ide(2) == reference.before[2]) << Differences(reference.before[2], rig.Ide(2));
    EXPECT_TRUE(rig.JournalGone());
    EXPECT_EQ(RestoreMessage(again),
              "The last run of Quorvex Setup was cut short before it had finished. Delphi 2005 (Enterprise) is as it "
              "was before that run.");
}

TEST(Journal, AnUndoThatCannotFinishKeepsWhatIsLeftForTheNextStart) {
    const int searchPath = ChangeWith(Scenario::Maintenance, "Delphi\\7.0\\Library Search Path");
    Rig rig;
    rig.Prepare(Scenario::Maintenance);
    const State before = rig.Ide(0);
    // Another program holds a package the IDE's work built open: the undo cannot take it away.
    const std::string held = Bpl7 + "\\tkQuorvexDsgnZeosD7.bpl";
    std::optional<platform::memory::MemoryFileSystem::OpenFile> open;
    rig.afterBuild = [&](const std::string& stem) {
        if (stem == "tkQuorvexDsgnZeosD7") open.emplace(rig.machine.files.OpenWithoutSharing(held));
    };
    rig.faults.Arm(Faults::Mode::Fail, searchPath);
    EXPECT_FALSE(rig.Run());
    EXPECT_TRUE(rig.Sent("Installation into " + D7 + " failed."));
    EXPECT_TRUE(rig.Sent(D7 + " could not be put back completely: The file " + held +
                         " that the installation made could not be deleted. The journal in " + Journal +
                         " keeps what is left to undo; setup tries again when it starts next."))
        << rig.Lines();
    EXPECT_TRUE(rig.Sent("Completed"));  // the other IDEs go on
    EXPECT_FALSE(rig.JournalGone());

    open.reset();
    const auto report = RestoreInterruptedRuns(rig.faulty);
    EXPECT_EQ(report.restored, std::vector<std::string>{D7});
    EXPECT_TRUE(report.problems.empty());
    EXPECT_TRUE(rig.Ide(0) == before) << Differences(before, rig.Ide(0));
    EXPECT_TRUE(rig.JournalGone());
}

TEST(Journal, AFileThatCannotBeMovedAwayFailsTheIDEWhichIsPutBack) {
    Rig rig;
    rig.Prepare(Scenario::Maintenance);
    const State before = rig.Ide(0);
    const Reference reference = MakeReference(Scenario::Maintenance, 0);
    {
        const auto open = rig.machine.files.OpenWithoutSharing(Bpl7 + "\\tkQuorvexD7.bpl");
        EXPECT_FALSE(rig.Run());
    }
    EXPECT_TRUE(rig.Sent("The file " + Bpl7 + "\\tkQuorvexD7.bpl cannot be removed: it could not be moved into the journal."))
        << rig.Lines();
    EXPECT_TRUE(rig.Sent(D7 + " is as it was before the installation."));
    EXPECT_TRUE(rig.Ide(0) == before) << Differences(before, rig.Ide(0));
    EXPECT_TRUE(rig.Ide(1) == reference.after[1]);
    EXPECT_TRUE(rig.JournalGone());
}

TEST(Journal, AFailedRemovalIsUndoneToo) {
    const std::vector<engine::TTargetAction> removeD7{engine::taUninstall, engine::taNone, engine::taNone};
    const int recordDeleted = ChangeWith(Scenario::Maintenance, "delete key HKEY_LOCAL_MACHINE\\Software\\Veltrano Software\\Quorvex\\" + D7, removeD7);
    Rig rig;
    rig.Prepare(Scenario::Maintenance);
    rig.actions = removeD7;
    const State before = rig.Ide(0);
    rig.faults.Arm(Faults::Mode::Fail, recordDeleted);
    EXPECT_FALSE(rig.Run());
    EXPECT_TRUE(rig.Sent("Uninstall from " + D7 + " failed."));
    EXPECT_TRUE(rig.Sent(D7 + " is as it was before the uninstall.")) << rig.Lines();
    EXPECT_TRUE(rig.Ide(0) == before) << Differences(before, rig.Ide(0));
    EXPECT_EQ(rig.Value(Hive::LocalMachine, Product + "\\" + D7, "BPLDir"), Bpl7);
    EXPECT_TRUE(rig.JournalGone());
}

TEST(Journal, ValuesOfAnyKindComeBackWithTheirKindAndBytes) {
    const int late = ChangeWith(Scenario::Maintenance, "Quorvex\\" + D7 + " Installed");
    Rig rig;
    rig.Prepare(Scenario::Maintenance);
    // Still naming the sources, so that the reinstallation builds as ever rather than only mending
    // the path.
    const std::string path = "$(DELPHI)\\Source;" + InstallDir + "\\Sources";
    const platform::RegistryValue odd{platform::RegistryValueKind::ExpandString, path + std::string("\0junk", 5)};
    rig.machine.registry.SetRawValue(Hive::User, User7 + "\\Library", "Browsing Path", odd);
    rig.faults.Arm(Faults::Mode::Fail, late);
    EXPECT_FALSE(rig.Run());
    const auto value = rig.machine.registry.GetRawValue(Hive::User, User7 + "\\Library", "Browsing Path");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->kind, odd.kind);
    EXPECT_EQ(value->bytes, odd.bytes);
}

TEST(Journal, AnotherUsersHiveIsNotChangedByARestore) {
    Rig rig;
    KillInDelphi2005(rig);
    // The next start changes another user's IDEs: the journal's changes were not made there.
    rig.machine.registry.UseUserHive("S-1-5-21-1-2-3-1001");
    const std::string otherHive = rig.machine.registry.ExportUserHive("S-1-5-21-1-2-3-1001");
    const auto report = RestoreInterruptedRuns(rig.faulty);
    EXPECT_TRUE(report.restored.empty());
    ASSERT_FALSE(report.problems.empty());
    EXPECT_NE(report.problems[0].find("that hive is not the one setup changes at this start (it is another user's)"),
              std::string::npos)
        << report.problems[0];
    EXPECT_FALSE(rig.JournalGone());
    EXPECT_EQ(rig.machine.registry.ExportUserHive("S-1-5-21-1-2-3-1001"), otherHive);

    rig.machine.registry.UseUserHive("");
    // It stopped at the first change it could not undo: the IDE's own settings are as the run left them.
    EXPECT_EQ(rig.Value(Hive::User, "SOFTWARE\\Borland\\BDS\\3.0\\Known Packages", "C:\\BDS3\\Projects\\Bpl\\tkQuorvexDsgnD9.bpl"),
              "Quorvex Component");
    const auto again = RestoreInterruptedRuns(rig.faulty);
    EXPECT_TRUE(again.problems.empty());
    EXPECT_EQ(again.restored, std::vector<std::string>{"Delphi 2005 (Enterprise)"});
    EXPECT_TRUE(rig.JournalGone());
}

TEST(Journal, AnUpdateKeepsTheOldInstallationUntilItsEnd) {
    Rig rig;
    rig.Prepare(Scenario::Update);
    const std::string aside = Journal + "\\Previous\\Quorvex";
    std::string asideDuringRun;
    EXPECT_TRUE(rig.Run([&](int index) {
        if (index == 2) asideDuringRun = rig.machine.files.ReadFile(aside + "\\Delphi9\\Version.txt").value_or("gone");
    }));
    EXPECT_EQ(asideDuringRun, "2.4.1.16");
    EXPECT_EQ(rig.machine.files.ReadFile(InstallDir + "\\Delphi9\\Version.txt"), "2.4.1.17");
    const auto bin = rig.machine.files.RecycleBin();
    EXPECT_NE(std::find(bin.begin(), bin.end(), aside), bin.end());
    EXPECT_NE(std::find(bin.begin(), bin.end(), aside + "\\Delphi7"), bin.end());
    EXPECT_TRUE(rig.JournalGone());

    // An extraction that fails brings the old installation back, and its record.
    Rig failed;
    failed.Prepare(Scenario::Update);
    failed.damagedArchive = true;
    EXPECT_FALSE(failed.Run());
    EXPECT_EQ(failed.messages.back(), "Archive damaged.");
    EXPECT_EQ(failed.machine.files.ReadFile(InstallDir + "\\Delphi7\\Version.txt"), "2.4.1.16");
    EXPECT_EQ(failed.Value(Hive::LocalMachine, Product, "InstalledVersion"), "2.4.1.16 Standard Edition");
    EXPECT_TRUE(failed.machine.files.RecycleBin().empty());
    EXPECT_TRUE(failed.JournalGone());
}

TEST(Journal, TheJournalLiesBesideTheInstallationFolder) {
    using engine::journal::JournalFolderFor;
    EXPECT_EQ(JournalFolderFor("C:\\Program Files\\Veltradb\\Quorvex"), "C:\\Program Files\\Veltradb\\Quorvex.journal");
    EXPECT_EQ(JournalFolderFor("D:\\Quorvex\\"), "D:\\Quorvex.journal");
    EXPECT_EQ(JournalFolderFor("D:\\"), "D:\\Quorvex.journal");
    EXPECT_EQ(JournalFolderFor("\\\\server\\share"), "\\\\server\\share\\Quorvex.journal");

    // A folder of that name that is not a journal is left alone: the run takes another name.
    Rig rig;
    rig.Prepare(Scenario::Maintenance);
    rig.WriteFile(Journal + "\\notes.txt", "mine");
    rig.faults.Arm(Faults::Mode::Count);
    EXPECT_TRUE(rig.Run());
    const auto& seen = rig.faults.Seen();
    EXPECT_NE(std::find(seen.begin(), seen.end(), "create folder " + Journal + " 2"), seen.end());
    EXPECT_EQ(rig.machine.files.ReadFile(Journal + "\\notes.txt"), "mine");
    EXPECT_FALSE(rig.Exists(Journal + " 2"));
}

TEST(Journal, AnInstallationFolderWrittenWithDelimitersAtItsEndIsMovedAsideBesideIt) {
    // The folder as typed on the destination page: Windows takes it for C:\Quorvex.
    for (const std::string typed : {"C:\\Quorvex\\\\", "C:\\Quorvex/"}) {
        platform::memory::MemoryMachine machine;
        machine.files.CreateDirectory("C:\\Quorvex");
        machine.files.WriteFile("C:\\Quorvex\\version", "2.4.1.16");
        engine::journal::RunJournal run(machine.platform, typed, std::nullopt);
        EXPECT_EQ(run.Folder(), "C:\\Quorvex.journal") << typed;
        EXPECT_TRUE(run.MoveAside({})) << typed;
        EXPECT_EQ(machine.files.ReadFile(run.Folder() + "\\Previous\\Quorvex\\version"), "2.4.1.16") << typed;
    }
}

}  // namespace
