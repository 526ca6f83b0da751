// What went wrong in an installed IDE since the installation: each kind of drift is found with its
// item, a drift in the settings alone is mended without a tool, any other by a reinstallation, and
// either way the IDE ends as the installation left it, others' entries and their order kept.

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/ide_check.h"
#include "engine/tests/testing/rollback_rig.h"

namespace {

using namespace enginetest;
using engine::TDriftKind;
using Kinds = std::vector<TDriftKind>;

const std::string Borland = "SOFTWARE\\Borland\\";

class IdeRepairTest : public CompilerTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        withUnits = true;
        machine.files.WriteFile("C:\\Dist\\withsrcs", "");
        SeedTypical();
    }
    // Delphi 7 (0) or C++Builder 6 (1).
    int Victim() const { return GetParam(); }
    const RigIde& Ide() const { return RigIdes[static_cast<std::size_t>(Victim())]; }
    std::string Key(const std::string& sub) const { return Borland + Ide().key + "\\" + sub; }
    std::string BplDir() const { return Ide().root + "\\Projects\\Bpl"; }
    std::string Bpl(const std::string& stem) const {
        return BplDir() + "\\" + stem + (Victim() == 0 ? "D7" : "C6") + ".bpl";
    }
    std::string TargetDir() const { return InstallDir + "\\" + Ide().target; }

    // Built from the package projects, so that a rebuild is seen in the tool runs.
    void Install() {
        Start();
        data->SetInstallDir(InstallDir);
        for (int i = 0; i < data->TargetOptions->Count(); ++i) {
            Target(i).Action = engine::taInstall;
            Target(i).CompilePackages = true;
        }
        ASSERT_TRUE(Engine().Install());
    }
    // The IDE's settings, its folders and the product's files for it.
    State IdeState() {
        State state;
        AddKey(state, machine.registry, Hive::User, Borland + Ide().key);
        AddKey(state, machine.registry, Hive::LocalMachine, Product + "\\" + Ide().name);
        AddFolder(state, machine.files, Ide().root);
        AddFolder(state, machine.files, TargetDir());
        return state;
    }
    std::vector<engine::TDriftFinding> Findings() {
        Start();
        return engine::CheckInstalledIDE(*data, Target(Victim()));
    }
    Kinds KindsFound() {
        Kinds kinds;
        for (const auto& finding : Findings()) kinds.push_back(finding.Kind);
        std::sort(kinds.begin(), kinds.end());
        kinds.erase(std::unique(kinds.begin(), kinds.end()), kinds.end());
        return kinds;
    }
    // "Reinstall" of the victim alone, as the IDE page sets it; the number of tool runs it made.
    std::size_t Reinstall() {
        Start();
        for (int i = 0; i < data->TargetOptions->Count(); ++i) Target(i).Action = engine::taNone;
        Target(Victim()).Action = engine::taInstall;
        Target(Victim()).CompilePackages = true;  // as at the installation: the choice is not kept
        const std::size_t before = machine.processes.Invocations().size();
        EXPECT_TRUE(Engine().Install());
        return machine.processes.Invocations().size() - before;
    }
    bool Said(const std::string& line) const {
        return std::find(messages.begin(), messages.end(), line) != messages.end();
    }

    void WriteValue(const std::string& key, const std::string& name, const std::string& value) {
        machine.registry.OpenKey(Hive::User, key, KeyAccess::CreateWrite)->WriteString(name, value);
    }
    void DeleteValue(const std::string& key, const std::string& name) {
        ASSERT_TRUE(machine.registry.OpenKey(Hive::User, key, KeyAccess::Write)->DeleteValue(name));
    }
    // As the IDE does after a failed load that the user does not want to try again.
    void DisableDesignPackage() {
        DeleteValue(Key("Known Packages"), Bpl("tkQuorvexDsgn"));
        WriteValue(Key("Disabled Packages"), Bpl("tkQuorvexDsgn"), "Quorvex Component");
    }
    // As another tool writing the search path back without the product's folder.
    void DropUnitPath() {
        const std::string library = Key("Library");
        std::string path = Value(Hive::User, library, "Search Path");
        const auto at = path.find("Quorvex");
        ASSERT_NE(at, std::string::npos) << path;
        const auto start = path.rfind(';', at), end = path.find(';', at);
        path.erase(start, end == std::string::npos ? std::string::npos : end - start);
        WriteValue(library, "Search Path", path);
    }
};

TEST_P(IdeRepairTest, AHealthyIdeHasNoFindingsAndItsReinstallationBuildsAsBefore) {
    Install();
    for (const auto& finding : Findings()) ADD_FAILURE() << finding.Text;
    const State installed = IdeState();
    EXPECT_GT(Reinstall(), 0u) << "a reinstallation the user asked for builds again";
    EXPECT_FALSE(Said("Repaired " + Ide().name + " without a rebuild."));
    EXPECT_TRUE(Said("Compiling for: " + Ide().name));
    EXPECT_EQ(Differences(installed, IdeState()), "");
}

// Each drift in the settings alone, then all of them together: found, and mended by writing the
// settings again without a tool; the IDE is then as the installation left it.
TEST_P(IdeRepairTest, DriftInTheSettingsIsMendedWithoutARebuild) {
    Install();
    // Others' entries after the installation stay where they are.
    WriteValue(Key("Known Packages"), "C:\\Other\\othertools70.bpl", "Other tools");
    const State installed = IdeState();
    const struct {
        const char* what;
        std::function<void()> damage;
        Kinds kinds;
    } drifts[] = {
        {"disabled", [&] { DisableDesignPackage(); }, {TDriftKind::DesignPackageDisabled}},
        {"unregistered", [&] { DeleteValue(Key("Known Packages"), Bpl("tkQuorvexDsgn")); },
         {TDriftKind::DesignPackageNotRegistered}},
        {"registered elsewhere",
         [&] {
             DeleteValue(Key("Known Packages"), Bpl("tkQuorvexDsgn"));
             WriteValue(Key("Known Packages"), "C:\\Old\\" + ide::ExtractFileName(Bpl("tkQuorvexDsgn")), "Old");
         },
         {TDriftKind::DesignPackageElsewhere}},
        {"search path", [&] { DropUnitPath(); }, {TDriftKind::UnitPathMissing}},
        {"together",
         [&] {
             DisableDesignPackage();
             DropUnitPath();
         },
         {TDriftKind::DesignPackageDisabled, TDriftKind::UnitPathMissing}},
    };
    for (const auto& drift : drifts) {
        SCOPED_TRACE(drift.what);
        drift.damage();
        EXPECT_EQ(KindsFound(), drift.kinds);
        EXPECT_EQ(Reinstall(), 0u) << "no tool runs";
        const auto repaired =
            std::find(messages.begin(), messages.end(), "Repaired " + Ide().name + " without a rebuild.");
        ASSERT_NE(repaired, messages.end());
        ASSERT_NE(repaired + 1, messages.end());
        EXPECT_EQ(*(repaired + 1), "Completed");
        EXPECT_EQ(Differences(installed, IdeState()), "");
        EXPECT_TRUE(Findings().empty());
    }
    // The build log names every finding with its item as the run starts.
    DisableDesignPackage();
    Reinstall();
    const auto& log = compiler->Log;
    const auto heading = std::find(log.begin(), log.end(), Ide().name + " needs repair:");
    ASSERT_NE(heading, log.end());
    EXPECT_EQ(*(heading + 1), "  " + Bpl("tkQuorvexDsgn") + " is in the disabled packages.");
}

// Drift in the files: found with its item, and a reinstallation builds again. What only the
// distribution brings (a unit of the archive, the IDE's own package) is put back by the test.
TEST_P(IdeRepairTest, DriftInTheFilesLeadsToARebuild) {
    Install();
    const State installed = IdeState();
    const std::string rtl = Ide().root + "\\Bin\\" + (Victim() == 0 ? "rtl70.bpl" : "rtl60.bpl");
    const std::string unit = TargetDir() + "\\QvGrid.dcu";
    const std::string rtlImage = machine.files.ReadWholeFile(rtl), unitText = machine.files.ReadWholeFile(unit);
    const auto nothing = [] {};
    const struct {
        const char* what;
        std::function<void()> damage;
        Kinds kinds;
        std::function<void()> restore;
    } drifts[] = {
        {"package file", [&] { machine.files.DeleteFile(Bpl("tkQuorvex")); },
         {TDriftKind::PackageFileMissing, TDriftKind::PackageWillNotLoad}, nothing},
        {"symbols",
         [&] { machine.files.DeleteFile(sys::ChangeFileExt(Bpl("tkQuorvex"), Victim() == 0 ? ".dcp" : ".lib")); },
         {TDriftKind::PackageFileMissing}, nothing},
        {"a copy earlier on PATH",
         [&] { CompilerTest::WriteFile("C:\\Windows\\" + ide::ExtractFileName(Bpl("tkQuorvex")), "old copy"); },
         {TDriftKind::PackageShadowed}, nothing},
        {"an import of the IDE", [&] { machine.files.DeleteFile(rtl); }, {TDriftKind::PackageWillNotLoad},
         [&] { machine.files.WriteFile(rtl, rtlImage); }},
        {"a unit and the settings",
         [&] {
             machine.files.DeleteFile(unit);
             DisableDesignPackage();
         },
         {TDriftKind::DesignPackageDisabled, TDriftKind::ProductFileMissing},
         [&] { machine.files.WriteFile(unit, unitText); }},
    };
    for (const auto& drift : drifts) {
        SCOPED_TRACE(drift.what);
        drift.damage();
        EXPECT_EQ(KindsFound(), drift.kinds);
        EXPECT_GT(Reinstall(), 0u) << "the packages are built again";
        EXPECT_FALSE(Said("Repaired " + Ide().name + " without a rebuild."));
        drift.restore();
        EXPECT_TRUE(Findings().empty());
        EXPECT_EQ(Differences(installed, IdeState()), "");
    }
}

// What the installation left is recorded with the IDE: a C++Builder build's headers too, and a
// header that goes is a finding that a rebuild mends.
TEST_P(IdeRepairTest, TheRecordHoldsWhatTheInstallationLeftAndAHeaderThatGoesIsFound) {
    Install();
    Start();
    // The units (and for C++Builder their object files), and the form copied from the sources.
    EXPECT_EQ(Target(Victim()).Units.size(), (Victim() == 0 ? 49u : 2 * 49u) + 1);
    EXPECT_EQ(std::count(Target(Victim()).Units.begin(), Target(Victim()).Units.end(), "QvDialogs.dfm"), 1);
    if (Victim() == 0) {
        EXPECT_TRUE(Target(Victim()).Headers.empty());
        return;
    }
    ASSERT_EQ(Target(Victim()).Headers.size(), 49u);
    const std::string header = Target(Victim()).HPPDir + "\\QvGrid.hpp";
    machine.files.DeleteFile(header);
    EXPECT_EQ(KindsFound(), Kinds{TDriftKind::ProductFileMissing});
    EXPECT_GT(Reinstall(), 0u);
    EXPECT_TRUE(Exists(header));
    EXPECT_TRUE(Findings().empty());
}

INSTANTIATE_TEST_SUITE_P(DelphiAndCBuilder, IdeRepairTest, ::testing::Values(0, 1),
                         [](const auto& test) { return test.param == 0 ? "Delphi7" : "CBuilder6"; });

}  // namespace
