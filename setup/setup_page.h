#pragma once
// What each page of the installer's window is made of: a wizard page, the controls made on it
// when it is first entered, and the handler wired to each control. One class per page derives
// from SetupPage; the main window only holds them.

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/install_data.h"
#include "setup/page_flow.h"
#include "wizard/win32/wizard_window.h"

namespace setup {

// Identifiers of the pages' controls, so that screen readers, drivers and tests find them. Each is
// unique in the window.
enum TControlId : int {
    idWizard = 100, idInstallText, idDescription, idUpdateText, idUpdateDescription,
    idMainternance, idMainternanceLabel, idUninstall, idUninstallLabel,
    idLicenseHint, idLicense, idAgree, idDestinationIntro, idDestinationHowTo, idDestination,
    idProgressLabel, idOutput, idSaveBuildLog, idProgressBar,
    idTargetLabel, idTarget, idOptions, idCompileFromSource, idIDERegistration, idZEOS, idMyDAC, idODAC,
    idAddSource, idBPL, idDCP, idHPP,
    idIDEBox = 200,    // + box index
    idIDELabel = 300,  // + box index
    idIDERepair = 400, // + box index
};

inline constexpr int kBoxHeight = 17;  // a check box's or radio button's height

// What the pages ask of the main window.
class SetupWindow {
public:
    virtual ~SetupWindow() = default;
    virtual engine::TInstallData& Data() = 0;
    virtual TSetupFlow& Flow() = 0;
    virtual wizard::win32::WizardWindow& Wizard() = 0;
    virtual HWND Frame() const = 0;
    // The pages taking part, the IDE page's Next and its action labels follow the flow again.
    virtual void FlowChanged() = 0;
    virtual void ShowMessage(const std::string& text, UINT icon) = 0;
    // The engine runs: nothing on the pages acts until it has ended.
    virtual bool EngineRunning() const = 0;
    // Handles the window's pending messages; false when the program was asked to end meanwhile.
    virtual bool ProcessMessages() = 0;
    virtual void Close() = 0;
};

class SetupPage {
public:
    virtual ~SetupPage();
    SetupPage(const SetupPage&) = delete;
    SetupPage& operator=(const SetupPage&) = delete;

    TSetupPage Id() const { return id_; }
    wizard::TWizardCustomPage& Page() const { return page_; }
    HWND Hwnd() const { return pageWindow_.Hwnd(); }

protected:
    template <typename PageT>
    SetupPage(SetupWindow& window, TSetupPage id, wizard::win32::WizardWindow::AddedPage<PageT> added,
              const char* title, const char* subtitle)
        : SetupPage(window, id, added.page, added.window, title, subtitle) {}

    // The page's controls, made when the page is first entered: most runs see few of the pages,
    // and every control made costs the start time and memory.
    virtual void Build() = 0;
    // Every entry into the page, after the first one's Build.
    virtual void Entered() {}
    bool Built() const { return built_; }

    // A standard control on the page, in the page's font.
    HWND Control(const char* className, const char* text, DWORD style, const wizard::Rect& r, int id,
                 DWORD exStyle = 0);
    // Wires one notification (BN_CLICKED, CBN_SELCHANGE, ...) of the control `id` to its handler.
    void On(int id, int code, std::function<void()> handler);
    // The part of the page below its header.
    wizard::Rect Area() const { return page_.ChildArea(); }
    // The header is painted; as the page window's text it reaches screen readers and the GUI tests.
    void NamePage();
    // Shows each message of an IDE that is running and keeps the wizard on its page.
    void RefuseRunningIDEs(const std::vector<std::string>& messages, bool& stop);

    SetupWindow& window_;

private:
    SetupPage(SetupWindow& window, TSetupPage id, wizard::TWizardCustomPage& page,
              wizard::win32::PageWindow& pageWindow, const char* title, const char* subtitle);
    void Command(int id, int code);

    TSetupPage id_;
    wizard::TWizardCustomPage& page_;
    wizard::win32::PageWindow& pageWindow_;
    bool built_ = false;
    std::map<std::pair<int, int>, std::function<void()>> handlers_;
    std::vector<wizard::win32::UniqueWindow> controls_;
};

bool Checked(HWND button);

}  // namespace setup
