#include "setup/page_flow.h"

#include <gtest/gtest.h>

#include "engine/folder_safety.h"
#include "platform/memory/memory_machine.h"
#include "platform/registry_data.h"
#include "tools/seed_ides/ide_seed.h"

namespace {

using namespace setup;
using engine::TInstallData;
using platform::Hive;
using platform::KeyAccess;
using seeding::TypicalIde;

// A distribution folder and, seeded by the tests, the machine's IDEs.
class FlowFixture : public ::testing::Test {
protected:
    FlowFixture() {
        machine.files.CreateDirectory("C:\\Dist");
        machine.system.currentDirectory = "C:\\Dist";
        machine.files.WriteFile("C:\\Dist\\version", "2.4.1.17\r\n");
        Seed(TypicalIde("Delphi", "5.0", "C:\\D5"));
    }

    void Seed(const seeding::SeededIde& ide) { seeding::Seed(machine.registry, machine.files, ide); }
    void RecordInstall(const std::string& version) {
        const auto key = machine.registry.OpenKey(Hive::LocalMachine, engine::ProductRegistryKey,
                                                  KeyAccess::CreateWrite);
        key->WriteString("InstallDir", "D:\\Q");
        key->WriteString("InstalledVersion", version);
    }
    // Starts the installer; the IDEs named installed are recorded as holding the product.
    TSetupFlow& Start(std::initializer_list<int> installed = {}) {
        data = std::make_unique<TInstallData>(machine.platform, options);
        for (int i : installed) (*data->TargetOptions)[i].Installed = true;
        flow = std::make_unique<TSetupFlow>(*data);
        flow->SetupPages();
        return *flow;
    }
    engine::TTargetOptions& Target(int i) { return (*data->TargetOptions)[i]; }
    std::vector<bool> Pages() const {
        std::vector<bool> pages;
        for (int p = 0; p < kSetupPageCount; ++p) pages.push_back(flow->PageEnabled(TSetupPage(p)));
        return pages;
    }
    std::vector<std::string> Labels() const {
        std::vector<std::string> labels;
        for (std::size_t i = 0; i < flow->Boxes().size(); ++i) labels.push_back(flow->ActionLabel(int(i)));
        return labels;
    }

    platform::memory::MemoryMachine machine;
    cmdline::TCmdOptions options{machine.files};
    std::unique_ptr<TInstallData> data;
    std::unique_ptr<TSetupFlow> flow;
};

// Delphi 5, Delphi 7 and C++Builder 6.
class PageFlowTest : public FlowFixture {
protected:
    PageFlowTest() {
        Seed(TypicalIde("Delphi", "7.0", "C:\\D7"));
        Seed(TypicalIde("C++Builder", "6.0", "C:\\CB6"));
    }
};

TEST(FormatTextTest, FillsEachPlaceholderInTurn) {
    EXPECT_EQ(FormatText("from %s to %s.", {"1", "2"}), "from 1 to 2.");
    EXPECT_EQ(FormatText("no version here", {"1"}), "no version here");
    EXPECT_EQ(FormatText("100%% of %s", {"it"}), "100% of it");
    EXPECT_EQ(FormatText("%s and %s", {"one"}), "one and ");
}

TEST_F(PageFlowTest, FirstInstallationBoxesStartCheckedBelowVersionSixNone) {
    auto& f = Start();
    EXPECT_EQ(Pages(), (std::vector<bool>{true, false, false, true, true, true, true, true}));
    ASSERT_EQ(f.Boxes().size(), 2u);  // Delphi 5 gets none
    EXPECT_EQ(Target(0).Target.Version, 5);
    EXPECT_EQ(Target(0).Action, engine::taNone);
    EXPECT_EQ(f.Boxes()[0].Target, &Target(1));
    EXPECT_EQ(f.Boxes()[0].Top, 84);
    EXPECT_EQ(f.Boxes()[1].Top, 132);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Action: Install", "Action: Install"}));
    EXPECT_TRUE(f.IDENextEnabled());

    f.IDECheckBoxClick(0);
    EXPECT_EQ(Target(1).Action, engine::taNone);
    EXPECT_EQ(f.ActionLabel(0), "Action: Don't install");
    f.IDECheckBoxClick(1);
    EXPECT_FALSE(f.PageEnabled(wConfigPage));
    EXPECT_TRUE(f.IDENextEnabled());  // a first installation may install into no IDE
    f.IDECheckBoxClick(1);
    EXPECT_EQ(f.ActionLabel(1), "Action: Install");
    EXPECT_TRUE(f.PageEnabled(wConfigPage));
}

TEST_F(FlowFixture, NoIDEOfVersionSixLeavesAnEmptyPageWithNextAndNoConfiguration) {
    auto& f = Start();
    EXPECT_EQ(data->TargetOptions->Count(), 1);
    EXPECT_TRUE(f.Boxes().empty());
    EXPECT_TRUE(f.IDENextEnabled());
    EXPECT_FALSE(f.PageEnabled(wConfigPage));
}

TEST_F(PageFlowTest, UpdateShowsBothVersionsAndTheUpdateWords) {
    RecordInstall("2.4.1.16 Standard Edition");
    auto& f = Start({1});
    EXPECT_EQ(data->State, engine::isUpdate);
    EXPECT_EQ(Pages(), (std::vector<bool>{false, true, false, false, false, true, true, true}));
    EXPECT_EQ(f.UpdateSubtitle("This wizard will update the Quorvex component version %s currently installed on "
                               "your computer with newer version %s."),
              "This wizard will update the Quorvex component version 2.4.1.16 Standard Edition currently "
              "installed on your computer with newer version 2.4.1.17 Standard Edition.");
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Action: Update", "Action: Do nothing"}));
    EXPECT_EQ(Target(1).Action, engine::taInstall);
    EXPECT_EQ(Target(2).Action, engine::taNone);

    f.IDECheckBoxClick(0);
    EXPECT_EQ(f.ActionLabel(0), "Action: Uninstall");
    EXPECT_EQ(Target(1).Action, engine::taUninstall);
    EXPECT_FALSE(f.PageEnabled(wConfigPage));
    EXPECT_TRUE(f.IDENextEnabled());  // an update always has something to do
    f.IDECheckBoxClick(1);
    EXPECT_EQ(f.ActionLabel(1), "Action: Install");
    f.IDECheckBoxClick(0);
    EXPECT_EQ(f.ActionLabel(0), "Action: Update");
    EXPECT_EQ(Target(1).Action, engine::taInstall);
}

TEST_F(PageFlowTest, MaintenanceCyclesThreeStateBoxesAndWaitsForAnAction) {
    RecordInstall("2.4.1.17 Standard Edition");
    auto& f = Start({1});
    EXPECT_EQ(Pages(), (std::vector<bool>{false, false, true, false, false, true, false, true}));
    EXPECT_TRUE(f.Boxes()[0].ThreeState);
    EXPECT_FALSE(f.Boxes()[1].ThreeState);
    EXPECT_EQ(f.Boxes()[0].State, csGrayed);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Action: Do nothing", "Action: Do nothing"}));
    EXPECT_FALSE(f.IDENextEnabled());

    const std::pair<const char*, engine::TTargetAction> cycle[] = {
        {"Action: Reinstall", engine::taInstall}, {"Action: Uninstall", engine::taUninstall},
        {"Action: Do nothing", engine::taNone}, {"Action: Reinstall", engine::taInstall}};
    for (const auto& [word, action] : cycle) {
        f.IDECheckBoxClick(0);
        EXPECT_EQ(f.ActionLabel(0), word);
        EXPECT_EQ(Target(1).Action, action);
        EXPECT_EQ(f.IDENextEnabled(), action != engine::taNone);
        EXPECT_EQ(f.PageEnabled(wConfigPage), action == engine::taInstall);
    }
    f.IDECheckBoxClick(1);
    EXPECT_EQ(f.ActionLabel(1), "Action: Install");
    f.IDECheckBoxClick(1);
    EXPECT_EQ(f.ActionLabel(1), "Action: Do nothing");
    EXPECT_EQ(Target(2).Action, engine::taNone);
}

TEST_F(PageFlowTest, AnInstalledIDEInNeedOfRepairStartsCheckedAndPushesTheBoxesBelowDown) {
    RecordInstall("2.4.1.17 Standard Edition");
    Seed(TypicalIde("BDS", "3.0", "C:\\BDS3"));
    auto& f = Start({1, 2, 3});
    const std::vector<int> topsBefore = {f.Boxes()[0].Top, f.Boxes()[1].Top, f.Boxes()[2].Top};
    using engine::TDriftKind;
    std::vector<std::string> checked;
    f.CheckIDE = [&](TInstallData&, engine::TTargetOptions& target) -> std::vector<engine::TDriftFinding> {
        checked.push_back(target.Target.DisplayName());
        if (&target == &Target(1)) return {{TDriftKind::DesignPackageDisabled, "x.bpl is in the disabled packages."}};
        if (&target == &Target(3))
            return {{TDriftKind::UnitPathMissing, "a"}, {TDriftKind::ProductFileMissing, "b"}};
        return {};
    };
    f.CheckInstalledIDEs();
    EXPECT_EQ(checked.size(), 3u) << "each installed IDE once";
    EXPECT_EQ(f.Boxes()[0].State, csChecked);
    EXPECT_EQ(Target(1).Action, engine::taInstall);
    EXPECT_EQ(f.ActionLabel(0), "Action: Reinstall");
    EXPECT_EQ(f.RepairLine(0), "Needs repair: the design package is disabled");
    // The healthy IDE looks as it did, one line lower.
    EXPECT_EQ(f.Boxes()[1].State, csGrayed);
    EXPECT_EQ(f.ActionLabel(1), "Action: Do nothing");
    EXPECT_EQ(f.RepairLine(1), "");
    EXPECT_EQ(f.Boxes()[1].Top, topsBefore[1] + kRepairLineHeight);
    EXPECT_EQ(f.RepairLine(2), "Needs repair: 2 findings");
    EXPECT_EQ(f.Boxes()[2].Top, topsBefore[2] + kRepairLineHeight);
    EXPECT_TRUE(f.IDENextEnabled());
    EXPECT_TRUE(f.PageEnabled(wConfigPage));
    EXPECT_EQ(f.Boxes()[0].Top, topsBefore[0]);

    // Checked once: the IDE page may be entered again.
    f.CheckInstalledIDEs();
    EXPECT_EQ(checked.size(), 3u);
}

TEST_F(PageFlowTest, AHealthyMachinesIDEPageStaysAsItWasAndOnlyMaintenanceChecks) {
    RecordInstall("2.4.1.17 Standard Edition");
    auto& f = Start({1});
    bool called = false;
    f.CheckIDE = [&](TInstallData&, engine::TTargetOptions&) {
        called = true;
        return std::vector<engine::TDriftFinding>{};
    };
    const auto boxes = f.Boxes();
    f.CheckInstalledIDEs();
    EXPECT_TRUE(called);
    ASSERT_EQ(f.Boxes().size(), boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(f.Boxes()[i].Top, boxes[i].Top);
        EXPECT_EQ(f.Boxes()[i].State, boxes[i].State);
    }
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Action: Do nothing", "Action: Do nothing"}));
    EXPECT_FALSE(f.IDENextEnabled());

    // Only maintenance checks: an update reinstalls every IDE anyway.
    machine.files.WriteFile("C:\\Dist\\version", "2.5.0.1\r\n");
    const auto check = f.CheckIDE;
    auto& update = Start({1});
    ASSERT_EQ(data->State, engine::isUpdate);
    called = false;
    update.CheckIDE = check;
    update.CheckInstalledIDEs();
    EXPECT_FALSE(called);
}

TEST_F(PageFlowTest, MaintenanceChoiceSwitchesBetweenIDEPagesAndUninstall) {
    RecordInstall("2.4.1.17 Standard Edition");
    auto& f = Start({1});
    // The click a button gets with the focus alone, before either is chosen, changes nothing.
    f.rbMainternanceClick(false, false);
    EXPECT_EQ(data->State, engine::isMaintenance);
    EXPECT_TRUE(f.PageEnabled(wIDEPage));
    f.rbMainternanceClick(false, true);
    EXPECT_EQ(data->State, engine::isUninstall);
    EXPECT_FALSE(f.PageEnabled(wIDEPage));
    EXPECT_FALSE(f.PageEnabled(wConfigPage));
    EXPECT_EQ(f.ActionLabel(0), "Action: ");
    f.rbMainternanceClick(false, false);
    EXPECT_EQ(data->State, engine::isUninstall);
    f.rbMainternanceClick(true, false);
    EXPECT_EQ(data->State, engine::isMaintenance);
    EXPECT_TRUE(f.PageEnabled(wIDEPage));
    EXPECT_FALSE(f.PageEnabled(wConfigPage));  // no IDE is chosen for installation yet
}

// Going back to the maintenance page and choosing again keeps the configuration page as the IDE
// page's actions left it.
TEST_F(PageFlowTest, MaintenanceChoiceAgainKeepsTheConfigurationPageToTheIDEsInstalled) {
    RecordInstall("2.4.1.17 Standard Edition");
    auto& f = Start({1});
    f.rbMainternanceClick(true, false);
    f.IDECheckBoxClick(0);
    f.IDECheckBoxClick(0);
    ASSERT_EQ(Target(1).Action, engine::taUninstall);
    ASSERT_FALSE(f.PageEnabled(wConfigPage));
    f.rbMainternanceClick(false, true);
    f.rbMainternanceClick(true, false);
    EXPECT_FALSE(f.PageEnabled(wConfigPage));
    EXPECT_TRUE(f.IDENextEnabled());

    f.IDECheckBoxClick(1);  // C++Builder 6 to install
    f.rbMainternanceClick(false, true);
    EXPECT_FALSE(f.PageEnabled(wConfigPage));
    f.rbMainternanceClick(true, false);
    EXPECT_TRUE(f.PageEnabled(wConfigPage));
}

TEST_F(PageFlowTest, AnUninstallWaitsForEveryIDEThatHoldsTheProduct) {
    RecordInstall("2.4.1.17 Standard Edition");
    auto& f = Start({1, 2});
    const auto d7 = machine.system.StartProcess(Target(1).Target.IDEExecutable);
    machine.system.StartProcess(Target(0).Target.IDEExecutable);  // without the product: may run
    // Adding or removing IDEs: the IDE page decides, once the actions are chosen.
    f.rbMainternanceClick(true, false);
    EXPECT_TRUE(f.LeaveMaintenance().empty());

    f.rbMainternanceClick(false, true);
    EXPECT_EQ(f.LeaveMaintenance(),
              std::vector<std::string>{"Delphi 7.0 (Enterprise) IDE is running. Please close it before continue."});
    const auto cb6 = machine.system.StartProcess(Target(2).Target.IDEExecutable);
    EXPECT_EQ(f.LeaveMaintenance().size(), 2u);
    machine.system.EndProcess(d7);
    machine.system.EndProcess(cb6);
    EXPECT_TRUE(f.LeaveMaintenance().empty());
}

TEST_F(PageFlowTest, LicenceGateFollowsTheBox) {
    auto& f = Start();
    EXPECT_FALSE(f.LicenseNextEnabled());
    f.cbAgreeClick(true);
    EXPECT_TRUE(f.LicenseNextEnabled());
    f.cbAgreeClick(false);
    EXPECT_FALSE(f.LicenseNextEnabled());
}

TEST_F(PageFlowTest, InstallTextShowsTheVersionOnlyWhereAsked) {
    auto& f = Start();
    EXPECT_EQ(f.InstallText("Plain text."), "Plain text.");
    EXPECT_EQ(f.InstallText("Version %s."), "Version 2.4.1.17 Standard Edition.");
}

TEST_F(PageFlowTest, EveryRunningSelectedIDEIsReportedOnce) {
    auto& f = Start();
    EXPECT_TRUE(f.RunningIDEMessages().empty());
    machine.system.StartProcess(Target(1).Target.IDEExecutable);
    machine.system.StartProcess(Target(2).Target.IDEExecutable);
    const auto messages = f.RunningIDEMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], Target(1).Target.DisplayName() + " IDE is running. Please close it before continue.");
    EXPECT_EQ(messages[1], Target(2).Target.DisplayName() + " IDE is running. Please close it before continue.");
    f.IDECheckBoxClick(0);  // an IDE left alone may run
    EXPECT_EQ(f.RunningIDEMessages().size(), 1u);
}

TEST_F(PageFlowTest, DestinationRefusesUnsafeFoldersAndStoresTheRest) {
    auto& f = Start();
    const std::string before = data->InstallDir();
    for (const char* bad : {"", "Quorvex", "..\\Q", "C:\\Q\\..\\..", "C:\\", "C:\\Q\" -y x", "C:\\Q<", "C:\\Q|x",
                            "C:\\Q?", "C:\\Q*", "C:\\Q\tx", "C:\\Q:x", "C:\\WINDOWS", "C:\\Program Files",
                            "C:\\Documents and Settings", "C:\\Tools;Libs\\Quorvex"}) {
        const auto refusal = f.LeaveDestination(bad);
        ASSERT_TRUE(refusal.has_value()) << bad;
        EXPECT_NE(refusal->find(bad), std::string::npos) << *refusal;
        EXPECT_EQ(data->InstallDir(), before);
    }
    EXPECT_FALSE(f.LeaveDestination("D:\\Tools\\Quorvex").has_value());
    EXPECT_EQ(data->InstallDir(), "D:\\Tools\\Quorvex");
    EXPECT_FALSE(f.LeaveDestination("\\\\server\\share\\Quorvex").has_value());
    // A folder typed or pasted with delimiters at its end is that folder: the IDEs' paths get
    // "D:\Tools\Quorvex\Delphi7", not "D:\Tools\Quorvex\\Delphi7".
    for (const char* typed : {"D:\\Tools\\Quorvex\\", "D:\\Tools\\Quorvex\\\\", "D:\\Tools\\Quorvex/"}) {
        EXPECT_FALSE(f.LeaveDestination(typed).has_value()) << typed;
        EXPECT_EQ(data->InstallDir(), "D:\\Tools\\Quorvex") << typed;
    }
}

// A folder the page takes is one the run can use: blanks before or after it are no part of the
// removal check's path, but the run gets the folder as typed.
TEST_F(PageFlowTest, DestinationRefusesAFolderTheRunWouldRefuse) {
    auto& f = Start();
    const std::string before = data->InstallDir();
    for (const char* folder : {" C:\\Quorvex", "\tC:\\Quorvex", "C:\\Quorvex\t"}) {
        ASSERT_TRUE(engine::FolderValueFault(folder).has_value()) << folder;
        const auto refusal = f.LeaveDestination(folder);
        ASSERT_TRUE(refusal.has_value()) << folder;
        EXPECT_NE(refusal->find(std::string("\"") + folder + "\" cannot be used: "), std::string::npos) << *refusal;
        EXPECT_EQ(data->InstallDir(), before);
    }
}

TEST_F(PageFlowTest, FirstInstallationRefusesAFolderHoldingSomethingElse) {
    auto& f = Start();
    machine.files.CreateDirectory("C:\\Empty");
    EXPECT_FALSE(f.LeaveDestination("C:\\Empty").has_value());
    machine.files.CreateDirectory("C:\\Photos");
    machine.files.WriteFile("C:\\Photos\\me.jpg", "x");
    const auto refusal = f.LeaveDestination("C:\\Photos");
    ASSERT_TRUE(refusal.has_value());
    EXPECT_NE(refusal->find("already holds other files"), std::string::npos);
    machine.files.CreateDirectory("C:\\Old");
    machine.files.CreateDirectory("C:\\Old\\Packages");
    machine.files.WriteFile("C:\\Old\\Packages\\bcb.bmk", "x");
    EXPECT_FALSE(f.LeaveDestination("C:\\Old").has_value());
    EXPECT_EQ(data->InstallDir(), "C:\\Old");
}

}  // namespace
