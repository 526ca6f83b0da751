#pragma once
// TfMain: the installer's one window, a wizard with eight pages over the page flow and the
// installation data. Each page is a class of its own (setup/*_page_window.h); the window holds
// them, keeps the pages taking part in step with the flow, and ends the program.

#include <windows.h>

#include <array>
#include <memory>

#include "engine/install_data.h"
#include "setup/page_flow.h"
#include "setup/setup_page.h"
#include "wizard/win32/wizard_window.h"

namespace setup {

class IDEPage;
class CompilePage;

class TfMain : private SetupWindow {
public:
    TfMain(HINSTANCE instance, engine::TInstallData& data);
    ~TfMain() override;
    TfMain(const TfMain&) = delete;
    TfMain& operator=(const TfMain&) = delete;

    HWND Hwnd() const { return frame_.get(); }
    // Keyboard navigation of the wizard's controls; call from the message loop.
    bool PreTranslate(MSG& message) { return wizard_->PreTranslate(message); }

private:
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    void AddPages();
    void SetupPages();
    void ApplyPageFlow();
    void WizardCancelButtonClick();

    engine::TInstallData& Data() override { return data_; }
    TSetupFlow& Flow() override { return flow_; }
    wizard::win32::WizardWindow& Wizard() override { return *wizard_; }
    HWND Frame() const override { return frame_.get(); }
    void FlowChanged() override;
    void ShowMessage(const std::string& text, UINT icon) override;
    bool EngineRunning() const override;
    bool ProcessMessages() override;
    void Close() override;

    engine::TInstallData& data_;
    TSetupFlow flow_;
    wizard::win32::UniqueWindow frame_;
    std::unique_ptr<wizard::win32::WizardWindow> wizard_;
    // In wizard order; destroyed before the wizard, with the controls they made on its pages.
    std::array<std::unique_ptr<SetupPage>, kSetupPageCount> pages_;
    IDEPage* idePage_ = nullptr;
    CompilePage* compilePage_ = nullptr;
};

}  // namespace setup
