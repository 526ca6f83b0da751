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
    const int left = a.left + Scaled(16), right = a.right - Scaled(16), agreeTop = a.bottom - Scaled(30);
    Control("STATIC", texts::LicenseHint, 0, {left, a.top + Scaled(12), right, a.top + Scaled(28)}, idLicenseHint);
    Control("EDIT", texts::License, ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_TABSTOP,
            {left, a.top + Scaled(32), right, a.bottom - Scaled(40)}, idLicense, WS_EX_CLIENTEDGE);
    cbAgree_ = Control("BUTTON", texts::Agree, BS_AUTOCHECKBOX | WS_TABSTOP,
                       {left, agreeTop, a.left + Scaled(316), agreeTop + Scaled(kBoxHeight)}, idAgree);
    On(idAgree, BN_CLICKED, [this] { cbAgreeClick(); });
}

void LicensePage::cbAgreeClick() {
    window_.Flow().cbAgreeClick(Checked(cbAgree_));
    Page().SetButtonEnabled(bkNext, window_.Flow().LicenseNextEnabled());
}

}  // namespace setup
