#include "setup/destination_page_window.h"

#include "setup/texts.h"

namespace setup {

using namespace wizard;

DestinationPage::DestinationPage(SetupWindow& window)
    : SetupPage(window, wDestinationPage, window.Wizard().AddPage<TWizardInteriorPage>(), texts::DestinationTitle,
                texts::DestinationSubtitle) {
    Page().OnNextButtonClick = [this](TWizardCustomPage&, bool& stop) { wDestinationPageNextButtonClick(stop); };
}

void DestinationPage::Build() {
    const Rect a = Area();
    const int left = a.left + Scaled(16), right = a.right - Scaled(16);
    Control("STATIC", texts::DestinationIntro, 0, {left, a.top + Scaled(16), right, a.top + Scaled(32)},
            idDestinationIntro);
    Control("STATIC", texts::DestinationHowTo, 0, {left, a.top + Scaled(40), right, a.top + Scaled(70)},
            idDestinationHowTo);
    deDestination_ = std::make_unique<controls::win32::DirEditFrame>(
        Hwnd(), idDestination, Rect{left, a.top + Scaled(84), a.left + Scaled(340), a.top + Scaled(130)},
        window_.Wizard().PageFont());
    deDestination_->SetCaption(texts::DestinationCaption);
    deDestination_->SetBrowseButton(texts::DestinationBrowse, 62, 25);
    deDestination_->SetText(window_.Data().InstallDir());
    // The page's folder dialog; the frame's own browse button opens its own dialog, not this one.
    BrowseForFolderDialog = std::make_unique<controls::win32::TBrowseForFolderDialog>(window_.Frame());
    BrowseForFolderDialog->Title = texts::DestinationBrowseTitle;
    BrowseForFolderDialog->SetOptions({controls::odOnlyDirectory, controls::odFileSystemDirectoryOnly,
                                       controls::odStatusAvailable, controls::odEditBox, controls::odNewDialogStyle});
}

void DestinationPage::wDestinationPageNextButtonClick(bool& stop) {
    if (const auto refusal = window_.Flow().LeaveDestination(deDestination_->Text())) {
        window_.ShowMessage(*refusal, MB_ICONWARNING);
        stop = true;
    }
}

}  // namespace setup
