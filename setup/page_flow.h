#pragma once
// The installer's page flow without windows: which pages take part, the IDE page's boxes and
// their action words, the licence gate, the maintenance choice and the checks made when the user
// leaves a page. The window shows what this decides.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/ide_check.h"
#include "engine/install_data.h"

namespace setup {

// The wizard's pages, in their order.
enum TSetupPage : std::uint8_t {
    wInstallPage, wUpdatePage, wMainternance, wLicensePage, wDestinationPage, wIDEPage, wConfigPage, wCompile
};
inline constexpr int kSetupPageCount = 8;

enum TCheckState : std::uint8_t { csUnchecked, csChecked, csGrayed };

// One check box of the IDE page and the target it stands for.
struct TIDECheckBox {
    engine::TTargetOptions* Target;
    bool ThreeState = false;
    TCheckState State = csUnchecked;
    int Top = 0;  // the box's top on the page; its label lies below it
    // What went wrong in the IDE since the installation; a line below the label says so.
    std::vector<engine::TDriftFinding> Findings;
};

inline constexpr int kIDEBoxLeft = 30;
inline constexpr int kIDEBoxWidth = 160;
inline constexpr int kIDEBoxFirstTop = 84;
inline constexpr int kIDEBoxStep = 48;
inline constexpr int kActionLabelIndent = 20;
inline constexpr int kActionLabelGap = 4;
inline constexpr int kActionLabelHeight = 14;
// The line that an IDE in need of repair shows below its action label; the boxes after it move
// down by its height.
inline constexpr int kRepairLineHeight = 14;

// Replaces each "%s" of the text by the next argument; "%%" stands for one "%".
std::string FormatText(const std::string& text, const std::vector<std::string>& args);

class TSetupFlow {
public:
    explicit TSetupFlow(engine::TInstallData& data);

    engine::TInstallData& Data;
    // How an installed IDE is checked; tests put a stand-in here.
    std::function<std::vector<engine::TDriftFinding>(engine::TInstallData&, engine::TTargetOptions&)> CheckIDE =
        engine::CheckInstalledIDE;

    // Decides the pages for the start state and makes the IDE page's boxes; runs once.
    void SetupPages();

    bool PageEnabled(TSetupPage page) const { return enabled_[page]; }
    bool IDENextEnabled() const { return ideNextEnabled_; }
    bool LicenseNextEnabled() const { return licenseNextEnabled_; }
    const std::vector<TIDECheckBox>& Boxes() const { return boxes_; }

    // The welcome text with the distribution's version for a "%s" in it.
    std::string InstallText(const std::string& caption) const;
    // The update page's subtitle with the installed and the new version.
    std::string UpdateSubtitle(const std::string& subtitle) const;

    std::string ActionLabel(int box) const;
    // Maintenance on its way to the IDE page: each installed IDE is checked for what went wrong
    // there since the installation; one with findings is set to be reinstalled. Runs once.
    void CheckInstalledIDEs();
    // "Needs repair: ..." for a box with findings; empty for the others.
    std::string RepairLine(int box) const;
    // The box's next state (grayed, checked, unchecked for a three-state box), then the action,
    // the IDE page's Next and the configuration page follow it.
    void IDECheckBoxClick(int box);

    void cbAgreeClick(bool checked) { licenseNextEnabled_ = checked; }
    // A choice from the two buttons' states: add or remove IDEs, or uninstall the product. Windows
    // also sends a click when a button only takes the focus, so with neither checked nothing changes.
    void rbMainternanceClick(bool maintenanceChecked, bool uninstallChecked);

    // One message per IDE that the run will change and that is running; empty when the wizard may
    // move on. An uninstall changes every IDE that holds the product.
    std::vector<std::string> RunningIDEMessages() const;
    // Leaving the maintenance page: with "Uninstall" chosen the run comes next, so the running
    // IDEs are refused here; the IDE page tests the other choice.
    std::vector<std::string> LeaveMaintenance() const;
    // Stores the folder as InstallDir unless it is refused; the refusal's message otherwise.
    std::optional<std::string> LeaveDestination(const std::string& folder);

private:
    void RecomputeIDEPage();

    std::array<bool, kSetupPageCount> enabled_{};
    std::vector<TIDECheckBox> boxes_;
    bool ideNextEnabled_ = true;
    bool licenseNextEnabled_ = false;
    bool idesChecked_ = false;
};

// Why the folder cannot be the destination; nothing when it may be.
std::optional<std::string> DestinationRefusal(engine::TInstallData& data, const std::string& folder);

}  // namespace setup
