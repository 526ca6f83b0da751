#include "setup/compile_page.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_machine.h"
#include "platform/registry_data.h"
#include "tools/seed_ides/ide_seed.h"

namespace {

using setup::TCompilePage;
using platform::Hive;
using platform::KeyAccess;

// Writes down what the page asked of its window, in order.
class RecordingView : public setup::CompilePageView {
public:
    explicit RecordingView(platform::Registry& registry) : registry_(registry) {}
    std::vector<std::string> events;
    std::string pane;
    bool productKeyWhileRunning = true;

    void SetSaveBuildLogEnabled(bool enabled) override { events.push_back(enabled ? "save on" : "save off"); }
    void AppendOutput(const std::string& text) override {
        if (!appended_) {
            appended_ = true;
            events.push_back("output");
            productKeyWhileRunning = registry_.OpenKey(Hive::LocalMachine, engine::ProductRegistryKey,
                                                       KeyAccess::Read) != nullptr;
        }
        pane += text;
    }
    // The pane's lines as the edit control shows them.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines{""};
        for (std::size_t i = 0; i < pane.size(); ++i) {
            if (pane.compare(i, 2, "\r\n") == 0) {
                lines.emplace_back();
                ++i;
            } else {
                lines.back() += pane[i];
            }
        }
        return lines;
    }
    void ProcessMessages() override {}
    void ShowProgress(int index, int count) override {
        events.push_back("progress " + std::to_string(index) + "/" + std::to_string(count));
    }
    void ShowError(const std::string& message) override { events.push_back("error: " + message); }
    void RunFinished() override { events.push_back("finished"); }

private:
    platform::Registry& registry_;
    bool appended_ = false;
};

class CompilePageTest : public ::testing::Test {
protected:
    CompilePageTest() {
        machine.files.CreateDirectory("C:\\Dist");
        machine.system.currentDirectory = "C:\\Dist";
        machine.files.WriteFile("C:\\Dist\\version", "2.4.1.17\r\n");
        seeding::Seed(machine.registry, machine.files, seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
    }
    // The distribution's version installed in C:\Q.
    void RecordInstall() {
        const auto key = machine.registry.OpenKey(Hive::LocalMachine, engine::ProductRegistryKey,
                                                  KeyAccess::CreateWrite);
        key->WriteString("InstallDir", "C:\\Q");
        key->WriteString("InstalledVersion", "2.4.1.17 Standard Edition");
    }
    std::unique_ptr<engine::TInstallData> Start() {
        return std::make_unique<engine::TInstallData>(machine.platform, options);
    }

    platform::memory::MemoryMachine machine;
    cmdline::TCmdOptions options{machine.files};
    RecordingView view{machine.registry};
    TCompilePage page;
};

TEST_F(CompilePageTest, UninstallRunsInOrderAndKeepsTheWholeLog) {
    RecordInstall();
    auto data = Start();
    data->State = engine::isUninstall;
    page.BuildLog = {"from an earlier run"};
    page.wCompilePage(*data, view);

    ASSERT_GE(view.events.size(), 4u);
    EXPECT_EQ(view.events.front(), "save off");
    EXPECT_EQ(view.events[1], "output");
    EXPECT_EQ(view.events[view.events.size() - 2], "save on");
    EXPECT_EQ(view.events.back(), "finished");
    EXPECT_EQ(page.SaveDialogInitialDir, "C:\\Q");
    EXPECT_FALSE(page.Running());
    ASSERT_FALSE(page.BuildLog.empty());
    EXPECT_EQ(page.BuildLog.back(), view.Lines().back());
    EXPECT_EQ(machine.files.ReadFile("C:\\Dist\\install.log"), page.BuildLogText());
    EXPECT_EQ(machine.registry.OpenKey(Hive::LocalMachine, engine::ProductRegistryKey, KeyAccess::Read), nullptr);
}

TEST_F(CompilePageTest, FirstInstallationDropsTheOldRecordBeforeTheRun) {
    machine.registry.OpenKey(Hive::LocalMachine, std::string(engine::ProductRegistryKey) + "\\Old IDE",
                             KeyAccess::CreateWrite)
        ->WriteInteger("Installed", 1);
    // A record without a folder is no installation.
    machine.registry.OpenKey(Hive::LocalMachine, engine::ProductRegistryKey, KeyAccess::Write)
        ->WriteString("InstalledVersion", "2.4.1.17 Standard Edition");
    auto data = Start();
    ASSERT_EQ(data->State, engine::isInstall);
    page.SaveDialogInitialDir = "C:\\Chosen";
    page.wCompilePage(*data, view);
    EXPECT_FALSE(view.productKeyWhileRunning);
    EXPECT_EQ(page.SaveDialogInitialDir, "C:\\Chosen");  // kept from the user's last choice
    EXPECT_EQ(view.events.back(), "finished");
    // The run without an extractor fails; its lines are all in the build log.
    EXPECT_EQ(machine.files.ReadFile("C:\\Dist\\install.log"), page.BuildLogText());
    EXPECT_EQ(view.Lines().back(), "Archive damaged.");
}

TEST_F(CompilePageTest, AnUnwritableInstallLogIsShownAndFinishStaysOff) {
    auto data = Start();
    machine.system.currentDirectory = "C:\\Gone";
    page.wCompilePage(*data, view);
    ASSERT_GE(view.events.size(), 2u);
    EXPECT_EQ(view.events[view.events.size() - 2], "save on");
    EXPECT_NE(view.events.back().find("error: "), std::string::npos);
    EXPECT_NE(view.events.back().find("install.log"), std::string::npos);
    EXPECT_FALSE(page.BuildLog.empty());
}

TEST_F(CompilePageTest, ARecordThatCannotBeWrittenEndsTheRunInThePaneAndTheLogs) {
    RecordInstall();
    auto data = Start();
    ASSERT_EQ(data->State, engine::isMaintenance);
    machine.registry.DenyWrites(Hive::LocalMachine, engine::ProductRegistryKey);
    const std::string error =
        "Cannot create key HKEY_LOCAL_MACHINE\\" + std::string(engine::ProductRegistryKey) + ": Access is denied.";
    for (const auto state : {engine::isMaintenance, engine::isUninstall}) {
        data->State = state;
        RecordingView runView{machine.registry};
        TCompilePage runPage;
        runPage.wCompilePage(*data, runView);
        EXPECT_EQ(runView.events, (std::vector<std::string>{"save off", "output", "save on", "finished"}));
        EXPECT_EQ(runView.Lines(), std::vector<std::string>{error});
        EXPECT_EQ(runPage.BuildLog, std::vector<std::string>{error});
        EXPECT_EQ(machine.files.ReadFile("C:\\Dist\\install.log"), error + "\r\n");
        EXPECT_FALSE(runPage.Running());
    }
    // The run stopped before anything changed.
    EXPECT_EQ(machine.registry.OpenKey(Hive::LocalMachine, engine::ProductRegistryKey, KeyAccess::Read)
                  ->ReadString("InstallDir"),
              "C:\\Q");
}

TEST_F(CompilePageTest, AnEmptyFirstLineIsALineOfThePane) {
    page.Output(view, "");
    page.Output(view, "second");
    page.Output(view, "");
    EXPECT_EQ(view.Lines(), (std::vector<std::string>{"", "second", ""}));
    // The run's lines follow those already in the pane.
    page.wCompilePage(*Start(), view);
    const auto lines = view.Lines();
    ASSERT_GT(lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3), (std::vector<std::string>{"", "second", ""}));
    ASSERT_GE(page.BuildLog.size(), 2u);
    EXPECT_EQ(lines[3], page.BuildLog[0]);
    EXPECT_EQ(lines[4], "");  // the run's own empty line after the system's
    EXPECT_EQ(lines.back(), page.BuildLog.back());
}

}  // namespace
