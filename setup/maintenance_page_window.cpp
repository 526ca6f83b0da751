#include "setup/maintenance_page_window.h"

#include "setup/texts.h"

namespace setup {

using namespace wizard;

MaintenancePage::MaintenancePage(SetupWindow& window)
    : SetupPage(window, wMainternance, window.Wizard().AddPage<TWizardInteriorPage>(), texts::MaintenanceTitle,
                texts::MaintenanceSubtitle) {
    Page().SetVisibleButtons({bkNext, bkCancel});
    Page().OnNextButtonClick = [this](TWizardCustomPage&, bool& stop) { wMainternanceNextButtonClick(stop); };
}

void MaintenancePage::Build() {
    const Rect a = Area();
    // The two radio buttons are one group, one after the other, so that the arrow keys move
    // between them; the labels start a group of their own.
    const int boxLeft = a.left + Scaled(24), boxRight = a.left + Scaled(324);
    const int labelLeft = a.left + Scaled(42), labelRight = a.right - Scaled(24);
    rbMainternance_ = Control("BUTTON", texts::MaintainChoice, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP,
                              {boxLeft, a.top + Scaled(24), boxRight, a.top + Scaled(24 + kBoxHeight)}, idMainternance);
    rbUninstall_ = Control("BUTTON", texts::UninstallChoice, BS_AUTORADIOBUTTON,
                           {boxLeft, a.top + Scaled(96), boxRight, a.top + Scaled(96 + kBoxHeight)}, idUninstall);
    Control("STATIC", texts::MaintainExplained, SS_NOTIFY | WS_GROUP,
            {labelLeft, a.top + Scaled(46), labelRight, a.top + Scaled(76)}, idMainternanceLabel);
    Control("STATIC", texts::UninstallExplained, SS_NOTIFY,
            {labelLeft, a.top + Scaled(118), labelRight, a.top + Scaled(148)}, idUninstallLabel);
    On(idMainternance, BN_CLICKED, [this] { rbMainternanceClick(); });
    On(idUninstall, BN_CLICKED, [this] { rbMainternanceClick(); });
    On(idMainternanceLabel, STN_CLICKED, [this] { lMainternanceLabelClick(rbMainternance_); });
    On(idUninstallLabel, STN_CLICKED, [this] { lMainternanceLabelClick(rbUninstall_); });
}

void MaintenancePage::lMainternanceLabelClick(HWND radio) {
    ::SetFocus(radio);
    ::SendMessageA(radio, BM_CLICK, 0, 0);
}

void MaintenancePage::wMainternanceNextButtonClick(bool& stop) {
    RefuseRunningIDEs(window_.Flow().LeaveMaintenance(), stop);
}

void MaintenancePage::rbMainternanceClick() {
    window_.Flow().rbMainternanceClick(Checked(rbMainternance_), Checked(rbUninstall_));
    window_.FlowChanged();
}

}  // namespace setup
