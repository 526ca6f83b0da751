#pragma once
// The two proofs that each scenario's test program makes, change by change:
//
// FailAtEachChange: each change of one IDE's work (each tool run, copy, move, file or folder
// made, registry value or key written, and each write of the journal itself) is made to fail in
// turn. That IDE's registry keys and folders, with every file's contents, are then those it had
// before the run; the other IDEs end as a run without failure leaves them.
//
// KillAtEachChange: the run is cut short before each change of the IDEs' work in turn, as a kill
// would cut it, and the next start restores what the journal holds. Every IDE is then as the
// run left it when it had finished with it, or as it was before: never in between.
//
// The first installation and the update go through each change; the maintenance reinstall, whose
// work is the update's without the old installation moved aside, through every third, to keep
// the tests quick. The kill of a first installation, whose undo is the failure's, too.
//
// KillDuringRestore: a run cut short in an IDE's work, and the restore at the next start cut
// short too, at each of its changes in turn: the start after it restores all the same.

#include <gtest/gtest.h>

#include <functional>

#include "engine/journal.h"
#include "engine/tests/testing/rollback_rig.h"

namespace enginetest {

// Arms the switch while one IDE's work runs: from its start to the empty line that closes it.
struct VictimWindow {
    Faults& faults;
    int victim;
    Faults::Mode mode;
    int at;
    bool open = false;

    std::function<void(int)> OnTarget() {
        return [this](int index) {
            open = index == victim;
            if (open)
                faults.Arm(mode, at);
            else
                faults.Disarm();
        };
    }
    std::function<void(const std::string&)> OnMessage() {
        return [this](const std::string& line) {
            if (open && line.empty()) {
                faults.Disarm();
                open = false;
            }
        };
    }
};

// The states of the IDEs before a run and after one without failure. An IDE's state "before" is
// the one its work begins with, but for its target folder in an update: a failed IDE gets back
// the one it had before the run, not the one just extracted.
struct Reference {
    std::vector<State> before, after;
    State installationAtStart, installationAfter, recordAtStart, recordAfter;
    std::vector<std::string> seen;  // the changes of the armed part of the run
    int changes = 0;
    int committed = 0;  // the victim's change that writes its "committed" entry: from there on it stays installed
};

inline Reference MakeReference(Scenario scenario, int victim) {
    Reference reference;
    Rig rig;
    rig.Prepare(scenario);
    for (int i = 0; i < 3; ++i) reference.before.push_back(rig.Ide(i));
    VictimWindow window{rig.faults, victim, Faults::Mode::Count, 0};
    const auto arm = window.OnTarget();
    const auto onTarget = [&](int index) {
        if (index == 0) {
            reference.installationAtStart = rig.Installation();
            reference.recordAtStart = rig.Record();
        }
        if (scenario != Scenario::Update) reference.before[static_cast<std::size_t>(index)] = rig.Ide(index);
        if (victim >= 0)
            arm(index);
        else if (index == 0)
            rig.faults.Arm(Faults::Mode::Count);  // the whole of the IDEs' part of the run
    };
    EXPECT_TRUE(rig.Run(onTarget, victim >= 0 ? window.OnMessage() : nullptr)) << rig.Lines();
    reference.changes = rig.faults.Count();
    reference.seen = rig.faults.Seen();
    if (victim >= 0) {
        const std::string ideFolder = "\\" + RigIdes[static_cast<std::size_t>(victim)].name + "\\";
        for (int i = 0; i < reference.changes; ++i) {
            const std::string& change = reference.seen[static_cast<std::size_t>(i)];
            if (change.rfind("move ", 0) == 0 && change.find(ideFolder) != std::string::npos && change.ends_with(".entry"))
                reference.committed = i + 1;
        }
    }
    for (int i = 0; i < 3; ++i) reference.after.push_back(rig.Ide(i));
    reference.installationAfter = rig.Installation();
    reference.recordAfter = rig.Record();
    EXPECT_TRUE(rig.JournalGone());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(reference.before[static_cast<std::size_t>(i)] != reference.after[static_cast<std::size_t>(i)]) << i;
    return reference;
}

// Leaves out what names the package.
inline State Without(const State& state, const std::string& stem) {
    State kept;
    for (const auto& [name, value] : state)
        if (name.find(stem) == std::string::npos) kept[name] = value;
    return kept;
}

inline void FailAtEachChange(Scenario scenario, int victim, int stride = 1) {
    const RigIde& ide = RigIdes[static_cast<std::size_t>(victim)];
    const Reference reference = MakeReference(scenario, victim);
    ASSERT_GT(reference.changes, 20);
    Rig prepared;
    prepared.Prepare(scenario);
    for (int at = 1; at <= reference.changes; at += stride) {
        Rig rig;
        rig.CopyMachineFrom(prepared);
        VictimWindow window{rig.faults, victim, Faults::Mode::Fail, at};
        const bool succeeded = rig.Run(window.OnTarget(), window.OnMessage());
        const std::string hit = rig.faults.HitChange();
        SCOPED_TRACE(std::string(ScenarioName(scenario)) + ", " + ide.name + ", change " + std::to_string(at) + " of " +
                     std::to_string(reference.changes) + ": " + hit + "\n" + rig.Lines());
        ASSERT_FALSE(hit.empty());
        for (int other = 0; other < 3; ++other) {
            if (other == victim) continue;
            const auto& expected = reference.after[static_cast<std::size_t>(other)];
            const State actual = rig.Ide(other);
            EXPECT_TRUE(actual == expected) << RigIdes[static_cast<std::size_t>(other)].name << "\n"
                                            << Differences(expected, actual);
        }
        const State actual = rig.Ide(victim);
        const auto& before = reference.before[static_cast<std::size_t>(victim)];
        const auto& after = reference.after[static_cast<std::size_t>(victim)];
        if (hit.rfind("run ", 0) == 0 && hit.find("Zeos") != std::string::npos) {
            // An optional package that does not build: the IDE is installed without it, and
            // nothing the failed tool wrote is left.
            const std::string stem = hit.substr(hit.rfind(' ') + 1, hit.rfind(".dpk") - hit.rfind(' ') - 1);
            EXPECT_TRUE(succeeded);
            const State expected = Without(after, stem);
            EXPECT_TRUE(Without(actual, stem) == expected) << Differences(expected, Without(actual, stem));
            for (const auto& [name, value] : actual) EXPECT_EQ(name.find(stem + ".bpl"), std::string::npos) << name;
        } else if (at > reference.committed) {
            // After its work was recorded as done: what fails then is the journal's cleaning up.
            EXPECT_TRUE(actual == after) << Differences(after, actual);
        } else {
            EXPECT_FALSE(succeeded);
            EXPECT_TRUE(actual == before) << Differences(before, actual);
            EXPECT_TRUE(rig.Sent("Installation into " + ide.name + " failed."));
            EXPECT_TRUE(rig.Sent(ide.name + " is as it was before the installation."));
        }
        EXPECT_TRUE(rig.JournalGone());
        if (::testing::Test::HasFailure()) return;  // one account of what went wrong is enough
    }
}

// After a kill and the restore at the next start: the IDEs the run had finished are installed,
// the others as they were, with at most the one it was changing restored; no journal is left.
inline void CheckRestored(Rig& rig, const Reference& reference, const engine::journal::RestoreReport& report) {
    bool reachedUntouched = false;
    for (int i = 0; i < 3; ++i) {
        const State actual = rig.Ide(i);
        const bool isBefore = actual == reference.before[static_cast<std::size_t>(i)];
        const bool isAfter = actual == reference.after[static_cast<std::size_t>(i)];
        EXPECT_TRUE(isBefore || isAfter) << RigIdes[static_cast<std::size_t>(i)].name << " as it was before:\n"
                                         << Differences(reference.before[static_cast<std::size_t>(i)], actual);
        EXPECT_FALSE(isAfter && reachedUntouched) << RigIdes[static_cast<std::size_t>(i)].name;
        reachedUntouched = reachedUntouched || isBefore;
        const bool named = std::find(report.restored.begin(), report.restored.end(),
                                     RigIdes[static_cast<std::size_t>(i)].name) != report.restored.end();
        EXPECT_FALSE(named && !isBefore) << RigIdes[static_cast<std::size_t>(i)].name;
    }
    EXPECT_LE(report.restored.size(), 1u);
    EXPECT_TRUE(report.problems.empty()) << (report.problems.empty() ? "" : report.problems.front());
    const State installation = rig.Installation();
    EXPECT_TRUE(installation == reference.installationAtStart || installation == reference.installationAfter)
        << Differences(reference.installationAtStart, installation);
    const State record = rig.Record();
    EXPECT_TRUE(record == reference.recordAtStart || record == reference.recordAfter)
        << Differences(reference.recordAtStart, record);
    EXPECT_TRUE(rig.JournalGone());
}

// Runs until the kill at change `at` of the IDEs' part of the run; false when the run ended
// before it.
inline bool RunUntilKilled(Rig& rig, int at) {
    const auto onTarget = [&](int index) {
        if (index == 0) rig.faults.Arm(Faults::Mode::Kill, at);
    };
    try {
        rig.Run(onTarget);
    } catch (const Killed&) {
        rig.faults.Disarm();
        return true;
    }
    rig.faults.Disarm();
    return false;
}

// Every `stride`th change from the first; 1: each change.
inline void KillAtEachChange(Scenario scenario, int stride = 1) {
    const Reference reference = MakeReference(scenario, -1);
    ASSERT_GT(reference.changes, 100);
    Rig prepared;
    prepared.Prepare(scenario);
    for (int at = 1; at <= reference.changes; at += stride) {
        Rig rig;
        rig.CopyMachineFrom(prepared);
        const bool killed = RunUntilKilled(rig, at);
        SCOPED_TRACE(std::string(ScenarioName(scenario)) + ", killed before change " + std::to_string(at) + " of " +
                     std::to_string(reference.changes) + ": " + rig.faults.HitChange() + "\n" + rig.Lines());
        ASSERT_TRUE(killed);
        const auto report = engine::journal::RestoreInterruptedRuns(rig.faulty);
        CheckRestored(rig, reference, report);
        if (::testing::Test::HasFailure()) return;
    }
}

inline void KillDuringRestore(Scenario scenario, int victim) {
    // The run is killed in the victim's last package build: its journal holds most of its work.
    const Reference reference = MakeReference(scenario, -1);
    int killAt = 0;
    const std::string tool = victim == 1 ? "make.exe" : "dcc32.exe";
    for (int i = 0; i < reference.changes; ++i)
        if (reference.seen[static_cast<std::size_t>(i)].find(tool) != std::string::npos &&
            reference.seen[static_cast<std::size_t>(i)].find("Dsgn" + std::string(victim == 1 ? "C6" : victim == 2 ? "D9" : "ZeosD7")) != std::string::npos)
            killAt = i + 1;
    ASSERT_GT(killAt, 0);
    Rig prepared;
    prepared.Prepare(scenario);
    int restoreChanges = 0;
    {
        Rig rig;
        rig.CopyMachineFrom(prepared);
        ASSERT_TRUE(RunUntilKilled(rig, killAt));
        rig.faults.Arm(Faults::Mode::Count);
        const auto report = engine::journal::RestoreInterruptedRuns(rig.faulty);
        restoreChanges = rig.faults.Count();
        rig.faults.Disarm();
        EXPECT_EQ(report.restored, std::vector<std::string>{RigIdes[static_cast<std::size_t>(victim)].name});
        CheckRestored(rig, reference, report);
        EXPECT_TRUE(rig.Ide(victim) == reference.before[static_cast<std::size_t>(victim)]);
    }
    ASSERT_GT(restoreChanges, 20);
    for (int at = 1; at <= restoreChanges; ++at) {
        Rig rig;
        rig.CopyMachineFrom(prepared);
        ASSERT_TRUE(RunUntilKilled(rig, killAt));
        rig.faults.Arm(Faults::Mode::Kill, at);
        bool restoreKilled = false;
        try {
            engine::journal::RestoreInterruptedRuns(rig.faulty);
        } catch (const Killed&) {
            restoreKilled = true;
        }
        rig.faults.Disarm();
        SCOPED_TRACE("restore killed before change " + std::to_string(at) + " of " + std::to_string(restoreChanges) + ": " +
                     rig.faults.HitChange());
        ASSERT_TRUE(restoreKilled);
        const auto report = engine::journal::RestoreInterruptedRuns(rig.faulty);
        CheckRestored(rig, reference, report);
        EXPECT_TRUE(rig.Ide(victim) == reference.before[static_cast<std::size_t>(victim)])
            << Differences(reference.before[static_cast<std::size_t>(victim)], rig.Ide(victim));
        if (::testing::Test::HasFailure()) return;
    }
}

}  // namespace enginetest
