#include "setup/compile_page.h"

#include <exception>

#include "engine/compiler.h"

namespace setup {

namespace {

// Clears the running flag however the run ends.
struct RunningFlag {
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    bool& flag_;
};

}  // namespace

void TCompilePage::wCompilePage(engine::TInstallData& data, CompilePageView& view) {
    RunningFlag running(running_);
    data.SaveToRegistry();
    engine::TCompiler compiler(data);
    if (SaveDialogInitialDir.empty()) SaveDialogInitialDir = data.InstallDir;
    view.SetSaveBuildLogEnabled(false);
    BuildLog.clear();
    compiler.OnMessage = [&view](const std::string& line, bool&) { view.AppendOutput(line); };
    compiler.OnIdle = [&view](engine::TCompiler&) { view.ProcessMessages(); };
    compiler.OnProgress = [&view](engine::TCompiler&, const std::string&, int index, int count, bool) {
        view.ShowProgress(index, count);
    };
    try {
        if (data.State == engine::isUninstall)
            compiler.Uninstall();
        else
            compiler.Install();
        view.ShowProgress(1, 1);
        BuildLog = compiler.Log;
    } catch (const std::exception& error) {
        // The lines before the error stay in the log: they tell what the run did.
        BuildLog = compiler.Log;
        BuildLog.emplace_back(error.what());
        view.AppendOutput(error.what());
    }
    view.SetSaveBuildLogEnabled(true);
    try {
        compiler.SaveLog();
    } catch (const std::exception& error) {
        view.ShowError(error.what());
        return;
    }
    view.RunFinished();
}

std::string TCompilePage::BuildLogText() const {
    std::string text;
    for (const auto& line : BuildLog) text += line + "\r\n";
    return text;
}

}  // namespace setup
