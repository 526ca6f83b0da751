#include "setup/config_page.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_machine.h"
#include "tools/seed_ides/ide_seed.h"

namespace {

using namespace setup;

class ConfigPageTest : public ::testing::Test {
protected:
    ConfigPageTest() {
        machine.files.CreateDirectory("C:\\Dist");
        machine.system.currentDirectory = "C:\\Dist";
        machine.files.WriteFile("C:\\Dist\\version", "2.4.1.17\r\n");
        auto d7 = seeding::TypicalIde("Delphi", "7.0", "C:\\D7");
        d7.zeos = d7.mydac = d7.odac = true;
        seeding::Seed(machine.registry, machine.files, d7);
        seeding::Seed(machine.registry, machine.files, seeding::TypicalIde("C++Builder", "6.0", "C:\\CB6"));
    }
    engine::TInstallData& Start() {
        data = std::make_unique<engine::TInstallData>(machine.platform, options);
        for (int i = 0; i < 2; ++i) Target(i).Action = engine::taInstall;
        return *data;
    }
    engine::TTargetOptions& Target(int i) { return (*data->TargetOptions)[i]; }

    platform::memory::MemoryMachine machine;
    cmdline::TCmdOptions options{machine.files};
    std::unique_ptr<engine::TInstallData> data;
};

TEST_F(ConfigPageTest, ListsOnlyTargetsToInstallInOrder) {
    auto& d = Start();
    EXPECT_EQ(ConfigTargets(d), (std::vector<engine::TTargetOptions*>{&Target(0), &Target(1)}));
    Target(0).Action = engine::taNone;
    EXPECT_EQ(ConfigTargets(d), (std::vector<engine::TTargetOptions*>{&Target(1)}));
    Target(1).Action = engine::taUninstall;
    EXPECT_TRUE(ConfigTargets(d).empty());
}

TEST_F(ConfigPageTest, ShowsEachTargetsOwnOptionsAndHPPOnlyForCBuilder) {
    auto& d = Start();
    Target(0).MyDAC = true;
    Target(0).ODAC = false;
    Target(0).BPLDir = " D:\\My BPL ";
    auto shown = cTargetChange(d, Target(0));
    EXPECT_TRUE(shown.MyDAC.Checked);
    EXPECT_FALSE(shown.ODAC.Checked);
    EXPECT_TRUE(shown.ZEOS.Enabled && shown.MyDAC.Enabled && shown.ODAC.Enabled);
    EXPECT_EQ(shown.BPLDir, " D:\\My BPL ");
    EXPECT_FALSE(shown.HPPVisible);

    shown = cTargetChange(d, Target(1));
    EXPECT_TRUE(shown.HPPVisible);
    EXPECT_EQ(shown.HPPDir, "C:\\CB6\\Include\\Vcl");
    EXPECT_FALSE(shown.ZEOS.Enabled);  // no connectivity libraries in this IDE
}

TEST_F(ConfigPageTest, WithoutSourcesTheSourceBoxesAreOffWhateverIsStored) {
    auto& d = Start();
    Target(0).AddSource = true;
    Target(0).CompilePackages = true;
    auto shown = cTargetChange(d, Target(0));
    EXPECT_FALSE(shown.AddSource.Enabled);
    EXPECT_FALSE(shown.AddSource.Checked);
    EXPECT_FALSE(shown.CompileFromSource.Enabled);
    EXPECT_FALSE(shown.CompileFromSource.Checked);
    d.WithSources = true;
    shown = cTargetChange(d, Target(0));
    EXPECT_TRUE(shown.AddSource.Enabled && shown.AddSource.Checked);
    EXPECT_TRUE(shown.CompileFromSource.Enabled && shown.CompileFromSource.Checked);
}

TEST_F(ConfigPageTest, FreeEditionDisablesTheConnectivityBoxes) {
    auto& d = Start();
    d.FreeVersion = true;
    const auto shown = cTargetChange(d, Target(0));
    EXPECT_FALSE(shown.ZEOS.Enabled || shown.MyDAC.Enabled || shown.ODAC.Enabled);
    EXPECT_TRUE(shown.IDERegistration.Enabled);
}

TEST_F(ConfigPageTest, EveryBoxAndFolderStoresIntoItsOption) {
    Start();
    auto& t = Target(0);
    const std::pair<TConfigOption, bool engine::TTargetOptions::*> boxes[] = {
        {coCompileFromSource, &engine::TTargetOptions::CompilePackages},
        {coIDERegistration, &engine::TTargetOptions::IDERegistration},
        {coZEOS, &engine::TTargetOptions::ZEOS}, {coMyDAC, &engine::TTargetOptions::MyDAC},
        {coODAC, &engine::TTargetOptions::ODAC}, {coAddSource, &engine::TTargetOptions::AddSource}};
    for (const auto& [option, field] : boxes) {
        StoreOption(t, option, true);
        EXPECT_TRUE(t.*field) << option;
        StoreOption(t, option, false);
        EXPECT_FALSE(t.*field) << option;
    }
    StoreFolder(t, cfBPL, "E:\\bpl ");
    StoreFolder(t, cfDCP, "E:\\dcp");
    StoreFolder(t, cfHPP, "");
    EXPECT_EQ(t.BPLDir, "E:\\bpl ");
    EXPECT_EQ(t.DCPDir, "E:\\dcp");
    EXPECT_EQ(t.HPPDir, "");
    EXPECT_NE(Target(1).BPLDir, "E:\\bpl ");
}

TEST_F(ConfigPageTest, NextIsRefusedWithTheFirstUnusableFolderAndItsIDE) {
    auto& d = Start();
    EXPECT_EQ(LeaveConfigPage(ConfigTargets(d)), std::nullopt);
    Target(0).HPPDir = "";  // not used by Delphi
    EXPECT_EQ(LeaveConfigPage(ConfigTargets(d)), std::nullopt);

    StoreFolder(Target(1), cfBPL, "C:\\Q\" -y");
    StoreFolder(Target(1), cfHPP, "Include");
    auto refusal = LeaveConfigPage(ConfigTargets(d));
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->Index, 1u);
    EXPECT_EQ(refusal->Message,
              "The BPL folder \"C:\\Q\" -y\" of C++Builder 6.0 (Enterprise) cannot be used: it holds a character that "
              "a folder name cannot hold (\" < > | ? * : or a control character).\n"
              "The HPP folder \"Include\" of C++Builder 6.0 (Enterprise) cannot be used: it is not a full path.\n\n"
              "Please choose another folder.");

    // Only the targets the page lists count, the first of them is named.
    StoreFolder(Target(0), cfDCP, "C:\\D7\\..\\x");
    EXPECT_EQ(LeaveConfigPage(ConfigTargets(d))->Index, 0u);
    Target(0).Action = engine::taNone;
    refusal = LeaveConfigPage(ConfigTargets(d));
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->Index, 0u);
    EXPECT_NE(refusal->Message.find("C++Builder 6.0"), std::string::npos);
}

}  // namespace
