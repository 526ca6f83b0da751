// Sets of files deleted, moved and copied with one journal entry: wherever the work fails or is
// cut short, undoing the IDE's journal gives back every file as it was, whole or absent. And a
// tool run keeps a copy of each file it may overwrite unless older entries give it back anyway.
#include <gtest/gtest.h>

#include <map>

#include "engine/journal.h"
#include "engine/journaled_platform.h"
#include "engine/tests/testing/fault_machine.h"
#include "platform/memory/memory_machine.h"

namespace {

using engine::journal::IdeJournal;
using engine::journal::JournaledFiles;
using enginetest::Faults;
using enginetest::FaultyFiles;
using enginetest::Killed;

const std::string Target = "C:\\Q\\Delphi7";
const std::string Sources = "C:\\Q\\Sources";
const std::string JournalFolder = "C:\\Q.journal\\Delphi 7";

std::map<std::string, std::string> FilesUnder(platform::FileSystem& files, const std::string& folder) {
    std::map<std::string, std::string> found;
    for (const auto& entry : files.Find(folder + "\\*.*", platform::attr::AnyFile).entries)
        if (!(entry.attributes & platform::attr::Directory)) found[entry.name] = files.ReadWholeFile(folder + "\\" + entry.name);
    return found;
}

struct BatchRig {
    platform::memory::MemoryMachine machine;
    Faults faults;
    FaultyFiles faulty{machine.files, faults};

    BatchRig() {
        for (const char* folder : {"C:\\Q", Target.c_str(), Sources.c_str(), "C:\\Q.journal"})
            machine.files.CreateDirectory(folder);
        for (const char* unit : {"A.dcu", "B.dcu", "Old.dfm"}) machine.files.WriteFile(Target + "\\" + unit, std::string("old ") + unit);
        for (const char* made : {"A.obj", "B.obj", "Old.dfm", "New.dfm"})
            machine.files.WriteFile(Sources + "\\" + made, std::string("new ") + made);
    }

    // The work of a C++Builder build's tidying in one go: units deleted, objects moved in, forms
    // copied over what is there; then a tool's unit, a copied form and a moved-in object deleted
    // again, as the next package's build does.
    void Work(IdeJournal& journal) {
        JournaledFiles files(faulty, journal);
        files.DeleteFiles({Target + "\\A.dcu", Target + "\\B.dcu", Target + "\\Missing.dcu"});
        files.MoveFiles({{Sources + "\\A.obj", Target + "\\A.obj"}, {Sources + "\\B.obj", Target + "\\B.obj"}});
        EXPECT_EQ(files.CopyFiles({{Sources + "\\Old.dfm", Target + "\\Old.dfm"}, {Sources + "\\New.dfm", Target + "\\New.dfm"}}, true),
                  2u);
        journal.ToolRunning({}, {{Target, {".dcu"}}}, false);
        machine.files.WriteFile(Target + "\\C.dcu", "made by a tool");
        EXPECT_EQ(files.DeleteFiles({Target + "\\C.dcu", Target + "\\New.dfm", Target + "\\A.obj"}), 3u);
    }

    std::pair<std::map<std::string, std::string>, std::map<std::string, std::string>> State() {
        return {FilesUnder(machine.files, Target), FilesUnder(machine.files, Sources)};
    }
};

TEST(JournaledBatch, TheWholeSetIsDoneAndOneEntryEachRecordsIt) {
    BatchRig rig;
    IdeJournal journal(rig.machine.files, JournalFolder, "Delphi 7", engine::journal::Work::Installation, "Delphi7");
    rig.Work(journal);
    const auto [target, sources] = rig.State();
    EXPECT_EQ(target, (std::map<std::string, std::string>{{"B.obj", "new B.obj"}, {"Old.dfm", "new Old.dfm"}}));
    EXPECT_EQ(sources.size(), 2u);
    // The header and one entry for each set, whatever the number of files.
    const auto entries = engine::journal::ReadEntries(rig.machine.files, JournalFolder);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[1].entry->kind, "files-moved");
    EXPECT_EQ(entries[2].entry->kind, "files-moved-to");
    EXPECT_EQ(entries[3].entry->kind, "files-created");
    EXPECT_EQ(entries[4].entry->kind, "tool-run");
    // Of the second deletion, only the object whose content came from outside the work is kept:
    // what the work made, older entries take away.
    ASSERT_EQ(entries[5].entry->kind, "files-moved");
    std::vector<std::string> kept;
    for (const auto& field : entries[5].entry->fields)
        if (field.name == "file") kept.push_back(field.values[0]);
    EXPECT_EQ(kept, std::vector<std::string>{Target + "\\A.obj"});
    // Saved beside the entries: the two old units, the old form and that object.
    EXPECT_EQ(FilesUnder(rig.machine.files, JournalFolder).size(), entries.size() + 4);
}

TEST(JournaledBatch, ASetThatNamesAFileTwiceIsDoneOneFileAtATime) {
    BatchRig rig;
    const auto before = rig.State();
    IdeJournal journal(rig.machine.files, JournalFolder, "Delphi 7", engine::journal::Work::Installation, "Delphi7");
    JournaledFiles files(rig.machine.files, journal);
    // A package's folder that is in the search path and in PATH alike.
    EXPECT_EQ(files.DeleteFiles({Target + "\\A.dcu", "c:\\q\\delphi7\\a.DCU"}), 1u);
    EXPECT_EQ(files.CopyFiles({{Sources + "\\New.dfm", Target + "\\X.dfm"}, {Sources + "\\Old.dfm", Target + "\\X.dfm"}}, true), 2u);
    EXPECT_EQ(rig.machine.files.ReadWholeFile(Target + "\\X.dfm"), "new Old.dfm");
    EXPECT_TRUE(engine::journal::UndoIdeJournal(rig.machine.platform, JournalFolder).Complete());
    EXPECT_EQ(rig.State(), before);
}

TEST(JournaledBatch, AFailureOrAKillAtAnyChangeIsUndoneToTheFilesAsTheyWere) {
    BatchRig counting;
    {
        IdeJournal journal(counting.faulty, JournalFolder, "Delphi 7", engine::journal::Work::Installation, "Delphi7");
        counting.faults.Arm(Faults::Mode::Count);
        counting.Work(journal);
    }
    const int changes = counting.faults.Count();
    ASSERT_GT(changes, 10);
    for (const auto mode : {Faults::Mode::Fail, Faults::Mode::Kill}) {
        for (int at = 1; at <= changes; ++at) {
            BatchRig rig;
            const auto before = rig.State();
            {
                IdeJournal journal(rig.faulty, JournalFolder, "Delphi 7", engine::journal::Work::Installation, "Delphi7");
                rig.faults.Arm(mode, at);
                try {
                    rig.Work(journal);
                    ADD_FAILURE() << "the change numbered " << at << " did not stop the work";
                } catch (const Killed&) {
                } catch (const std::exception&) {
                }
                rig.faults.Disarm();
            }
            const auto undone = engine::journal::UndoIdeJournal(rig.machine.platform, JournalFolder);
            EXPECT_TRUE(undone.Complete()) << "at " << rig.faults.HitChange();
            EXPECT_EQ(rig.State(), before) << "at " << rig.faults.HitChange();
            EXPECT_FALSE(rig.machine.files.GetAttributes(JournalFolder)) << "at " << rig.faults.HitChange();
        }
    }
}

// A file that another program holds open: deleting it fails, however often it is tried.
struct HeldFiles : FaultyFiles {
    using FaultyFiles::FaultyFiles;
    std::string held;
    bool DeleteFile(const std::string& path) override { return path != held && FaultyFiles::DeleteFile(path); }
};

TEST(JournaledBatch, AnEntryThatStaysOnceUndoneStopsTheUndoBeforeTheOlderOnes) {
    // The user's form is deleted and copied anew by the work. The newer entry is undone but its
    // file cannot be deleted: the next start undoes it again, and must not find the form already
    // given back by the older one.
    BatchRig rig;
    const std::string form = Target + "\\Old.dfm";
    IdeJournal journal(rig.machine.files, JournalFolder, "Delphi 7", engine::journal::Work::Installation, "Delphi7");
    JournaledFiles files(rig.machine.files, journal);
    files.DeleteFile(form);
    files.CopyFile(Sources + "\\New.dfm", form, false);
    const auto entries = engine::journal::ReadEntries(rig.machine.files, JournalFolder);
    ASSERT_EQ(entries.size(), 3u);
    HeldFiles holding(rig.machine.files, rig.faults);
    holding.held = entries[2].path;
    platform::Platform held{rig.machine.registry, holding, rig.machine.processes, rig.machine.system};
    EXPECT_FALSE(engine::journal::UndoIdeJournal(held, JournalFolder).Complete());
    EXPECT_TRUE(engine::journal::UndoIdeJournal(rig.machine.platform, JournalFolder).Complete());
    EXPECT_EQ(rig.machine.files.ReadFile(form), std::optional<std::string>("old Old.dfm"));
}

// The tool's side of a run: it writes its files straight to the disk, past the journal.
void ToolWrites(BatchRig& rig, const std::string& path, const std::string& text) { rig.machine.files.WriteFile(path, text); }

TEST(JournaledToolRuns, AFileMovedInFromOutsideTheWorkIsCopiedBeforeTheToolMayOverwriteIt) {
    BatchRig rig;
    rig.machine.files.WriteFile("C:\\Q\\Kept.obj", "the user's own");
    const auto before = FilesUnder(rig.machine.files, "C:\\Q");
    IdeJournal journal(rig.machine.files, JournalFolder, "Delphi 7", engine::journal::Work::Installation, "Delphi7");
    JournaledFiles files(rig.machine.files, journal);
    const std::vector<engine::journal::WatchedFolder> watched{{Target, {".obj"}}};
    journal.ToolRunning({}, watched, false);
    ToolWrites(rig, Target + "\\Made.obj", "first tool");
    files.MoveFiles({{"C:\\Q\\Kept.obj", Target + "\\Kept.obj"}, {Target + "\\Made.obj", Target + "\\Moved.obj"}});
    const auto second = journal.ToolRunning({}, watched, false);
    // What was made by the work is given back by older entries; the user's file is not.
    std::map<std::string, std::string> states;
    for (const auto& field : second.fields)
        if (field.name == "file") states[field.values[0]] = field.values[1];
    EXPECT_EQ(states, (std::map<std::string, std::string>{{Target + "\\Kept.obj", "saved"}, {Target + "\\Moved.obj", "kept"}}));
    ToolWrites(rig, Target + "\\Kept.obj", "second tool");
    ToolWrites(rig, Target + "\\Moved.obj", "second tool");
    EXPECT_TRUE(engine::journal::UndoIdeJournal(rig.machine.platform, JournalFolder).Complete());
    EXPECT_EQ(FilesUnder(rig.machine.files, "C:\\Q"), before);
    EXPECT_EQ(FilesUnder(rig.machine.files, Target), (std::map<std::string, std::string>{{"A.dcu", "old A.dcu"}, {"B.dcu", "old B.dcu"}, {"Old.dfm", "old Old.dfm"}}));
}

TEST(JournaledToolRuns, AnOptionalPackagesFailedToolGivesBackWhatAnEarlierToolMadeAndTakesWhatItMade) {
    BatchRig rig;
    IdeJournal journal(rig.machine.files, JournalFolder, "Delphi 7", engine::journal::Work::Installation, "Delphi7");
    const std::vector<engine::journal::WatchedFolder> watched{{Target, {".dcu"}}};
    journal.ToolRunning({}, watched, false);
    ToolWrites(rig, Target + "\\Core.dcu", "main package");
    const auto optional = journal.ToolRunning({}, watched, true);
    ToolWrites(rig, Target + "\\Core.dcu", "optional package, half done");
    ToolWrites(rig, Target + "\\Extra.dcu", "optional package, half done");
    rig.machine.files.SetAttributes(Target + "\\Extra.dcu", platform::attr::ReadOnly);  // a tool may leave it so
    journal.DiscardToolOutputs(optional);
    EXPECT_EQ(rig.machine.files.ReadWholeFile(Target + "\\Core.dcu"), "main package");
    EXPECT_FALSE(rig.machine.files.GetAttributes(Target + "\\Extra.dcu"));
}

TEST(JournaledToolRuns, WhatAFailedToolsRunGaveBackIsKeptWhenTheWorkDeletesItAfterwards) {
    // A C++Builder build whose tool fails: the run had copied an old makefile, a unit of the
    // folder it was the first to watch and an object moved in from outside; it gives them back,
    // and the build's tidying deletes them before the IDE fails.
    for (const bool optional : {false, true}) {
        BatchRig rig;
        const std::string makefile = "C:\\Q\\tkQuorvexC6.mak";
        rig.machine.files.WriteFile(makefile, "the old makefile");
        rig.machine.files.WriteFile("C:\\Q\\Kept.obj", "the user's own");
        const auto before = std::make_pair(FilesUnder(rig.machine.files, "C:\\Q"), rig.State());
        IdeJournal journal(rig.machine.files, JournalFolder, "C++Builder 6", engine::journal::Work::Installation, "CBuilder6");
        JournaledFiles files(rig.machine.files, journal);
        files.MoveFile("C:\\Q\\Kept.obj", Target + "\\Kept.obj");
        const auto run = journal.ToolRunning({makefile}, {{Target, {".dcu", ".obj"}}}, optional);
        for (const auto& path : {makefile, Target + "\\A.dcu", Target + "\\Kept.obj"}) ToolWrites(rig, path, "half written");
        journal.DiscardToolOutputs(run);
        EXPECT_EQ(files.DeleteFiles({makefile, Target + "\\A.dcu", Target + "\\Kept.obj"}), 3u);
        EXPECT_TRUE(engine::journal::UndoIdeJournal(rig.machine.platform, JournalFolder).Complete());
        EXPECT_EQ(std::make_pair(FilesUnder(rig.machine.files, "C:\\Q"), rig.State()), before) << "optional " << optional;
    }
}

}  // namespace
