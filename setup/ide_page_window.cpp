#include "setup/ide_page_window.h"

#include "setup/texts.h"

namespace setup {

using namespace wizard;

namespace {

WPARAM CheckFor(TCheckState state) {
    return state == csChecked ? BST_CHECKED : state == csGrayed ? BST_INDETERMINATE : BST_UNCHECKED;
}

}  // namespace

IDEPage::IDEPage(SetupWindow& window)
    : SetupPage(window, wIDEPage, window.Wizard().AddPage<TWizardInteriorPage>(), texts::IDETitle,
                texts::IDESubtitle) {
    Page().OnNextButtonClick = [this](TWizardCustomPage&, bool& stop) { wIDEPageNextButtonClick(stop); };
}

void IDEPage::Build() {
    const auto& boxes = window_.Flow().Boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const TIDECheckBox& box = boxes[i];
        const int index = static_cast<int>(i);
        HWND check = Control("BUTTON", box.Target->Target.DisplayName().c_str(),
                             (box.ThreeState ? BS_3STATE : BS_CHECKBOX) | WS_TABSTOP,
                             {kIDEBoxLeft, box.Top, kIDEBoxLeft + kIDEBoxWidth, box.Top + kBoxHeight}, idIDEBox + index);
        ::SendMessageA(check, BM_SETCHECK, CheckFor(box.State), 0);
        const int labelTop = box.Top + kBoxHeight + kActionLabelGap;
        HWND label = Control("STATIC", "", 0,
                             {kIDEBoxLeft + kActionLabelIndent, labelTop, kIDEBoxLeft + 300, labelTop + 14},
                             idIDELabel + index);
        ideBoxes_.push_back(check);
        ideLabels_.push_back(label);
        On(idIDEBox + index, BN_CLICKED, [this, index] { IDECheckBoxClick(index); });
    }
    UpdateActionLabels();
}

void IDEPage::UpdateActionLabels() {
    for (std::size_t i = 0; i < ideLabels_.size(); ++i)
        ::SetWindowTextA(ideLabels_[i], window_.Flow().ActionLabel(static_cast<int>(i)).c_str());
}

void IDEPage::IDECheckBoxClick(int box) {
    window_.Flow().IDECheckBoxClick(box);
    ::SendMessageA(ideBoxes_[box], BM_SETCHECK, CheckFor(window_.Flow().Boxes()[box].State), 0);
    window_.FlowChanged();
}

void IDEPage::wIDEPageNextButtonClick(bool& stop) { RefuseRunningIDEs(window_.Flow().RunningIDEMessages(), stop); }

}  // namespace setup
