#pragma once
// The compile page's window: the output pane, the progress bar and "Save Build Log...", the view
// of the run that compile_page drives.

#include "setup/compile_page.h"
#include "setup/setup_page.h"

namespace setup {

class CompilePage : public SetupPage, private CompilePageView {
public:
    explicit CompilePage(SetupWindow& window);

    // Posted to the main window once the page is shown; the main window then calls wCompilePage.
    static constexpr UINT kRunMessage = WM_APP + 1;

    bool Running() const { return compile_.Running(); }
    // Runs the engine to its end.
    void wCompilePage();
    // Cancel while the engine runs: the window closes once the run has returned. False when no
    // run is in progress.
    bool CloseAfterRun();

private:
    void Build() override;
    void bSaveBuildLogClick();

    void SetSaveBuildLogEnabled(bool enabled) override;
    void AppendOutput(const std::string& text) override;
    void ProcessMessages() override;
    void ShowProgress(int index, int count) override;
    void ShowError(const std::string& message) override;
    void RunFinished() override;

    TCompilePage compile_;
    HWND mOutput_ = nullptr, bSaveBuildLog_ = nullptr, progressBar_ = nullptr;
    bool closeAfterRun_ = false;
};

}  // namespace setup
