#include "setup/license_page_window.h"

#include "setup/texts.h"

namespace setup {

using namespace wizard;

LicensePage::LicensePage(SetupWindow& window)
    : SetupPage(window, wLicensePage, window.Wizard().AddPage<TWizardInteriorPage>(), texts::LicenseTitle,
                texts::LicenseSubtitle) {
    Page().SetButtonEnabled(bkNext, false);
}

void LicensePage::Build() {
    const Rect a = Area();
    Control("STATIC", texts::LicenseHint, 0, {a.left + 16, a.top + 12, a.right - 16, a.top + 28}, idLicenseHint);
    Control("EDIT", texts::License, ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_TABSTOP,
            {a.left + 16, a.top + 32, a.right - 16, a.bottom - 40}, idLicense, WS_EX_CLIENTEDGE);
    cbAgree_ = Control("BUTTON", texts::Agree, BS_AUTOCHECKBOX | WS_TABSTOP,
                       {a.left + 16, a.bottom - 30, a.left + 316, a.bottom - 30 + kBoxHeight}, idAgree);
    On(idAgree, BN_CLICKED, [this] { cbAgreeClick(); });
}

void LicensePage::cbAgreeClick() {
    window_.Flow().cbAgreeClick(Checked(cbAgree_));
    Page().SetButtonEnabled(bkNext, window_.Flow().LicenseNextEnabled());
}

}  // namespace setup
