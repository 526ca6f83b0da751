#include "wizard/wizard_page.h"

#include "wizard/display_scale.h"
#include "wizard/wizard.h"

namespace wizard {

TWizardCustomPage::TWizardCustomPage(PageView& view, Color color)
    : view_(view), image_([this] { Invalidate(); }), color_(color) {
    header_.SetOwnerPage(this);
    panel_.SetOwnerPage(this);
}

TWizardCustomPage::~TWizardCustomPage() {
    if (ownerWizard_) ownerWizard_->DetachPage(*this);
}

void TWizardCustomPage::SetOwnerWizard(TWizard* wizard) {
    if (wizard == ownerWizard_) return;
    if (ownerWizard_) ownerWizard_->DetachPage(*this);
    view_.Reparent(wizard);
    if (wizard) wizard->AttachPage(*this);
}

int TWizardCustomPage::IndexInWizard() const {
    return ownerWizard_ ? ownerWizard_->Pages().IndexOf(this) : -1;
}

void TWizardCustomPage::SetIndexInWizard(int index) {
    if (!ownerWizard_ || index < 0 || index >= ownerWizard_->Pages().Count()) return;
    const int from = IndexInWizard();
    ownerWizard_->pages_.Move(from, index);
    if (auto* observer = ownerWizard_->Observer()) observer->PageMoved(*this, from, index);
}

void TWizardCustomPage::SetEnabledButtons(TWizardButtonSet buttons) {
    if (buttons == enabledButtons_) return;
    enabledButtons_ = buttons;
    if (ownerWizard_ && ownerWizard_->ActivePage() == this) ownerWizard_->RefreshButtonStates();
}

void TWizardCustomPage::SetVisibleButtons(TWizardButtonSet buttons) {
    if (buttons == visibleButtons_) return;
    visibleButtons_ = buttons;
    if (!ownerWizard_ || ownerWizard_->ActivePage() != this) return;
    if (ownerWizard_->AutoHideButtonBar())
        ownerWizard_->SetButtonBarHeight(buttons.Empty() ? 0 : kDefaultButtonBarHeight);
    view_.RepaintNow();
}

void TWizardCustomPage::SetButtonEnabled(TWizardButtonKind kind, bool enabled) {
    if (enabledButtons_.Contains(kind) == enabled) return;
    SetEnabledButtons(enabled ? enabledButtons_.With(kind) : enabledButtons_.Without(kind));
}

void TWizardCustomPage::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    view_.SetEnabled(enabled);
    NotifyPageChanged();
    if (!enabled && ownerWizard_) ownerWizard_->PageDisabled(*this);
}

void TWizardCustomPage::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    NotifyPageChanged();
}

void TWizardCustomPage::SetColor(Color color) {
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

void TWizardCustomPage::SetFont(const Font& font) {
    if (font == font_) return;
    font_ = font;
    header_.PageFontChanged(font_);
    Invalidate();
}

void TWizardCustomPage::NotifyPageChanged() {
    if (ownerWizard_ && ownerWizard_->Observer()) ownerWizard_->Observer()->PageChanged(*this);
}

const TWizardPageClickEvent& TWizardCustomPage::ClickEventFor(TWizardButtonKind kind) const {
    switch (kind) {
    case bkStart: return OnStartButtonClick;
    case bkLast: return OnLastButtonClick;
    case bkBack: return OnBackButtonClick;
    case bkNext: return OnNextButtonClick;
    case bkFinish: return OnFinishButtonClick;
    case bkCancel: return OnCancelButtonClick;
    case bkHelp: break;
    }
    return OnHelpButtonClick;
}

void TWizardCustomPage::EnterPage(TWizardCustomPage* fromPage) {
    if (OnEnterPage && enabled_) OnEnterPage(*this, fromPage);
}

void TWizardCustomPage::ShowPageDone() {
    view_.RepaintNow();
    if (OnPage && enabled_) OnPage(*this);
}

void TWizardCustomPage::LeavePage(TWizardCustomPage* toPage) {
    if (OnExitPage && enabled_) OnExitPage(*this, toPage);
}

Rect TWizardCustomPage::ChildArea() const {
    Rect area = view_.ClientRect();
    if (header_.Visible()) area.top += Scaled(header_.Height());
    return area;
}

void TWizardCustomPage::PaintDecoration(Canvas& canvas, Rect& r) { header_.DrawInto(canvas, r); }

void TWizardCustomPage::Paint(Canvas& canvas) {
    if (painting_) return;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{painting_ = true};
    Rect r = view_.ClientRect();
    canvas.FillRect(r, color_);
    PaintDecoration(canvas, r);
    if (OnPaintPage) {
        OnPaintPage(*this, canvas, r);
        return;
    }
    image_.DrawInto(canvas, r);
    panel_.DrawInto(canvas, r);
}

TWizardInteriorPage::TWizardInteriorPage(PageView& view)
    : TWizardCustomPage(view, Color::System(SystemColor::ButtonFace)) {}

TWizardWelcomePage::TWizardWelcomePage(PageView& view)
    : TWizardCustomPage(view, Color::System(SystemColor::Window)) {
    Header().Title().SetText("Welcome");
    waterMark_.SetOwnerPage(this);
}

Rect TWizardWelcomePage::ChildArea() const {
    Rect area = TWizardCustomPage::ChildArea();
    if (waterMark_.Visible()) {
        if (waterMark_.Align() == alLeft)
            area.left += Scaled(waterMark_.Width());
        else
            area.right -= Scaled(waterMark_.Width());
    }
    return area;
}

void TWizardWelcomePage::PaintDecoration(Canvas& canvas, Rect& r) {
    waterMark_.DrawInto(canvas, r);
    Header().DrawInto(canvas, r);
}

}  // namespace wizard
