#pragma once
// The compile page's run without windows: the order of its steps around the engine and what the
// build log holds afterwards. The window supplies the view.

#include <string>
#include <vector>

#include "engine/compiler.h"
#include "engine/install_data.h"

namespace setup {

class CompilePageView {
public:
    virtual ~CompilePageView() = default;
    virtual void SetSaveBuildLogEnabled(bool enabled) = 0;
    // Appends the text to the output pane, keeps it in view and lets the window repaint.
    virtual void AppendOutput(const std::string& text) = 0;
    // Lets the window handle its pending messages while a tool runs.
    virtual void ProcessMessages() = 0;
    // The run reached target `index` of `count`; index == count: all done.
    virtual void ShowProgress(int index, int count) = 0;
    virtual void ShowError(const std::string& message) = 0;
    // Cancel off, Finish on.
    virtual void RunFinished() = 0;
};

class TCompilePage {
public:
    std::vector<std::string> BuildLog;
    std::string SaveDialogInitialDir;
    static constexpr const char* SaveDialogFileName = "Quorvex Build.log";

    // Saves the installation record, runs the engine to its end and keeps its log.
    void wCompilePage(engine::TInstallData& data, CompilePageView& view);
    bool Running() const { return running_; }
    // The build log as the file "Save Build Log..." writes.
    std::string BuildLogText() const;
    // Adds a line to the view's pane. Every line after the first starts with a break, so that an
    // empty first line still shows as a line.
    void Output(CompilePageView& view, const std::string& line);

private:
    void Run(engine::TCompiler& compiler, const engine::TInstallData& data, CompilePageView& view);

    bool running_ = false;
    bool outputStarted_ = false;
};

}  // namespace setup
