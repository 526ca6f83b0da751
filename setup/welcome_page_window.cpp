#include "setup/welcome_page_window.h"

#include "setup/texts.h"
#include "wizard/win32/gdi_canvas.h"

namespace setup {

using namespace wizard;

std::shared_ptr<Graphic> WelcomePicture(HINSTANCE instance) {
    auto bitmap = static_cast<HBITMAP>(::LoadImageA(instance, "WELCOME", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return nullptr;
    return std::make_shared<win32::GdiGraphic>(win32::UniqueBitmap(bitmap));
}

WelcomePage::WelcomePage(SetupWindow& window, TSetupPage id, const std::shared_ptr<Graphic>& picture)
    : SetupPage(window, id, window.Wizard().AddPage<TWizardWelcomePage>(), texts::WelcomeTitle,
                id == wInstallPage ? texts::InstallSubtitle : texts::UpdateSubtitle) {
    auto& page = static_cast<TWizardWelcomePage&>(Page());
    page.SetVisibleButtons({bkNext, bkCancel});
    if (picture) page.WaterMark().Image().SetPicture(picture);
    if (id == wUpdatePage) {
        page.OnNextButtonClick = [](TWizardCustomPage&, bool&) {};  // wUpdatePageNextButtonClick
        // The subtitle names the installed version and the new one.
        if (window.Data().State == engine::isUpdate) {
            page.Subtitle().SetText(window.Flow().UpdateSubtitle(texts::UpdateSubtitle));
            NamePage();
        }
    }
}

void WelcomePage::Build() {
    const bool install = Id() == wInstallPage;
    const Rect a = Area();
    // lInstall shows the distribution's version where its text asks for it; the update page's
    // text stays as written.
    const std::string welcome = install ? window_.Flow().InstallText(texts::Welcome) : texts::Welcome;
    const int left = a.left + Scaled(8), right = a.right - Scaled(16);
    Control("STATIC", welcome.c_str(), 0, {left, a.top + Scaled(16), right, a.top + Scaled(150)},
            install ? idInstallText : idUpdateText);
    Control("STATIC", texts::Description, 0, {left, a.top + Scaled(166), right, a.top + Scaled(196)},
            install ? idDescription : idUpdateDescription);
}

}  // namespace setup
