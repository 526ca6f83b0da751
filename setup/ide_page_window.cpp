#include "setup/ide_page_window.h"

#include <algorithm>

#include "setup/texts.h"
#include "wizard/win32/gdi_handles.h"

namespace setup {

using namespace wizard;

namespace {

// The width a check box needs for its whole caption: measured in the box's own font, on its own
// device context, with the check mark and the room between it and the text.
int CaptionWidth(HWND box, const std::string& caption) {
    win32::WindowDc dc(box);
    win32::SelectGuard font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(box, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32A(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
    return ::GetSystemMetrics(SM_CXMENUCHECK) + 3 * ::GetSystemMetrics(SM_CXEDGE) + extent.cx + 2;
}

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
    window_.Flow().CheckInstalledIDEs();
    const auto& boxes = window_.Flow().Boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const TIDECheckBox& box = boxes[i];
        const int index = static_cast<int>(i);
        const std::string caption = box.Target->Target.DisplayName();
        const Rect boxPlace = Scaled(Rect{kIDEBoxLeft, box.Top, kIDEBoxLeft + kIDEBoxWidth, box.Top + kBoxHeight});
        HWND check = Control("BUTTON", caption.c_str(), (box.ThreeState ? BS_3STATE : BS_CHECKBOX) | WS_TABSTOP,
                             boxPlace, idIDEBox + index);
        ::SendMessageA(check, BM_SETCHECK, CheckFor(box.State), 0);
        // Wider than the column when the caption needs it, as far as the page reaches.
        const int width = std::min(std::max(boxPlace.Width(), CaptionWidth(check, caption)),
                                   Area().right - Scaled(8) - boxPlace.left);
        ::SetWindowPos(check, nullptr, 0, 0, width, boxPlace.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const int labelTop = box.Top + kBoxHeight + kActionLabelGap;
        const Rect labelPlace = Scaled(Rect{kIDEBoxLeft + kActionLabelIndent, labelTop, kIDEBoxLeft + 300,
                                            labelTop + kActionLabelHeight});
        HWND label = Control("STATIC", "", 0, labelPlace, idIDELabel + index);
        // Below the action, as far as the page reaches.
        if (const std::string repair = window_.Flow().RepairLine(index); !repair.empty())
            Control("STATIC", repair.c_str(), SS_LEFTNOWORDWRAP,
                    {labelPlace.left, labelPlace.bottom, Area().right - Scaled(8),
                     Scaled(labelTop + kActionLabelHeight + kRepairLineHeight)},
                    idIDERepair + index);
        ideBoxes_.push_back(check);
        ideLabels_.push_back(label);
        On(idIDEBox + index, BN_CLICKED, [this, index] { IDECheckBoxClick(index); });
    }
    UpdateActionLabels();
    // Boxes set to be reinstalled: the configuration page and Next follow.
    window_.FlowChanged();
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
