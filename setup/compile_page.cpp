#include "setup/compile_page.h"

#include <exception>
#include <memory>

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
    if (SaveDialogInitialDir.empty()) SaveDialogInitialDir = data.InstallDir();
    view.SetSaveBuildLogEnabled(false);
    BuildLog.clear();
    // Any error, from the first save on, ends here: one that left the window procedure would end
    // the program.
    std::unique_ptr<engine::TCompiler> compiler;
    try {
        data.SaveToRegistry();
        compiler = std::make_unique<engine::TCompiler>(data);
        Run(*compiler, data, view);
        BuildLog = compiler->Log;
    } catch (const std::exception& error) {
        // The lines before the error stay in the log: they tell what the run did.
        if (compiler) BuildLog = compiler->Log;
        BuildLog.emplace_back(error.what());
        Output(view, error.what());
    }
    view.SetSaveBuildLogEnabled(true);
    try {
        if (compiler) {
            compiler->Log = BuildLog;  // install.log holds the error too
            compiler->SaveLog();
        } else {
            engine::SaveInstallLog(data.Machine, BuildLog);
        }
    } catch (const std::exception& error) {
        view.ShowError(error.what());
        return;
    }
    view.RunFinished();
}

void TCompilePage::Run(engine::TCompiler& compiler, const engine::TInstallData& data, CompilePageView& view) {
    compiler.OnMessage = [this, &view](const std::string& line, bool&) { Output(view, line); };
    compiler.OnIdle = [&view](engine::TCompiler&) { view.ProcessMessages(); };
    compiler.OnProgress = [&view](engine::TCompiler&, const std::string&, int index, int count, bool) {
        view.ShowProgress(index, count);
    };
    if (data.State == engine::isUninstall)
        compiler.Uninstall();
    else
        compiler.Install();
    view.ShowProgress(1, 1);
}

void TCompilePage::Output(CompilePageView& view, const std::string& line) {
    view.AppendOutput(outputStarted_ ? "\r\n" + line : line);
    outputStarted_ = true;
}

std::string TCompilePage::BuildLogText() const {
    std::string text;
    for (const auto& line : BuildLog) text += line + "\r\n";
    return text;
}

}  // namespace setup
