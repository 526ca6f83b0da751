#pragma once
// TfMain: the installer's one window, a wizard with eight pages over the page flow, the compile
// page and the installation data.

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "controls/win32/browse_for_folder_dialog.h"
#include "controls/win32/dir_edit_frame.h"
#include "engine/install_data.h"
#include "setup/compile_page.h"
#include "setup/config_page.h"
#include "setup/page_flow.h"
#include "wizard/win32/wizard_window.h"

namespace setup {

// Identifiers of the pages' controls, so that drivers and tests find them.
enum TControlId : int {
    idWizard = 100, idInstallText, idDescription, idUpdateText, idUpdateDescription,
    idMainternance, idMainternanceLabel, idUninstall, idUninstallLabel,
    idLicenseHint, idLicense, idAgree, idDestinationIntro, idDestinationHowTo, idDestination,
    idProgressLabel, idOutput, idSaveBuildLog, idProgressBar,
    idTargetLabel, idTarget, idOptions, idCompileFromSource, idIDERegistration, idZEOS, idMyDAC, idODAC,
    idAddSource, idBPL, idDCP, idHPP,
    idIDEBox = 200,    // + box index
    idIDELabel = 300,  // + box index
};

class TfMain : private CompilePageView {
public:
    TfMain(HINSTANCE instance, engine::TInstallData& data);
    ~TfMain() override;
    TfMain(const TfMain&) = delete;
    TfMain& operator=(const TfMain&) = delete;

    HWND Hwnd() const { return frame_.get(); }
    // Keyboard navigation of the wizard's controls; call from the message loop.
    bool PreTranslate(MSG& message) { return wizard_->PreTranslate(message); }

private:
    using PageWindow = wizard::win32::PageWindow;
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ConfigPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self);

    template <typename PageT>
    PageT& AddPage(TSetupPage id, const char* title, const char* subtitle);
    HWND Control(TSetupPage page, const char* className, const char* text, DWORD style, const wizard::Rect& r,
                 int id, DWORD exStyle = 0);
    void NamePage(TSetupPage id);
    wizard::Rect Area(TSetupPage page) const;

    void AddPages();
    void EnterPage(TSetupPage id);
    void BuildWelcomePage(TSetupPage id);
    void BuildMaintenancePage();
    void BuildLicensePage();
    void BuildDestinationPage();
    void BuildIDEPage();
    void BuildConfigPage();
    void BuildCompilePage();
    void SetupPages();
    void ApplyPageFlow();
    void UpdateActionLabels();

    void IDECheckBoxClick(int box);
    void cbAgreeClick();
    void lMainternanceLabelClick(HWND radio);
    void rbMainternanceClick();
    void wMainternanceNextButtonClick(bool& stop);
    void wIDEPageNextButtonClick(bool& stop);
    // Shows each message of an IDE that is running and keeps the wizard on its page.
    void RefuseRunningIDEs(const std::vector<std::string>& messages, bool& stop);
    void wDestinationPageNextButtonClick(bool& stop);
    void WizardCancelButtonClick();
    void wConfigPageEnterPage();
    void wConfigPageNextButtonClick(bool& stop);
    void cTargetDrawItem(const DRAWITEMSTRUCT& item);
    void cTargetChange();
    engine::TTargetOptions* SelectedTarget() const;
    void wCompilePage();
    void bSaveBuildLogClick();
    void Close();

    void SetSaveBuildLogEnabled(bool enabled) override;
    void AppendOutput(const std::string& text) override;
    void ProcessMessages() override;
    void ShowProgress(int index, int count) override;
    void ShowError(const std::string& message) override;
    void RunFinished() override;
    void ShowMessage(const std::string& text, UINT icon);

    engine::TInstallData& data_;
    TSetupFlow flow_;
    TCompilePage compile_;
    wizard::win32::UniqueWindow frame_;
    std::unique_ptr<wizard::win32::WizardWindow> wizard_;
    std::array<PageWindow*, kSetupPageCount> pageWindows_{};
    std::array<wizard::TWizardCustomPage*, kSetupPageCount> pages_{};
    std::array<bool, kSetupPageCount> built_{};
    std::vector<wizard::win32::UniqueWindow> controls_;  // destroyed before the pages that hold them
    std::unique_ptr<controls::win32::DirEditFrame> deDestination_;
    std::unique_ptr<controls::win32::TBrowseForFolderDialog> BrowseForFolderDialog;
    std::vector<HWND> ideBoxes_, ideLabels_;
    HWND cTarget_ = nullptr, gbOptions_ = nullptr;
    std::array<HWND, 6> optionBoxes_{};  // in the order of TConfigOption
    std::array<std::unique_ptr<controls::win32::DirEditFrame>, 3> folderFrames_;  // BPL, DCP, HPP
    wizard::win32::UniqueImageList ImageListTargets;
    std::vector<engine::TTargetOptions*> configTargets_;
    std::vector<int> targetIcons_;  // per item: its image in ImageListTargets, -1 for none
    HWND cbAgree_ = nullptr, rbMainternance_ = nullptr, rbUninstall_ = nullptr;
    HWND mOutput_ = nullptr, bSaveBuildLog_ = nullptr, progressBar_ = nullptr;
    bool closeAfterRun_ = false;
};

}  // namespace setup
