#include "wizard/wizard.h"

#include <algorithm>
#include <stdexcept>

#include "wizard/drawing.h"

namespace wizard {

TWizardPageList::~TWizardPageList() { wizard_ = nullptr; }

int TWizardPageList::IndexOf(const TWizardCustomPage* page) const {
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

void TWizardPageList::Add(TWizardCustomPage& page) {
    pages_.push_back(&page);
    page.ownerWizard_ = wizard_;
}

void TWizardPageList::Remove(TWizardCustomPage& page) {
    std::erase(pages_, &page);
    page.ownerWizard_ = nullptr;
}

void TWizardPageList::Move(int fromIndex, int toIndex) {
    TWizardCustomPage* page = pages_.at(fromIndex);
    pages_.erase(pages_.begin() + fromIndex);
    pages_.insert(pages_.begin() + toIndex, page);
}

TWizard::TWizard(WizardView& view) : view_(view), pages_(*this) {
    for (int i = 0; i < kButtonKindCount; ++i) {
        const auto kind = static_cast<TWizardButtonKind>(i);
        buttons_[i] = std::make_unique<TWizardButtonControl>(*this, kind, view_.Button(kind));
        proxies_[i] = TWizardNavigateButton(buttons_[i].get());
    }
}

TWizard::~TWizard() {
    for (TWizardCustomPage* page : pages_.pages_) page->ownerWizard_ = nullptr;
}

void TWizard::SetActivePage(TWizardCustomPage* page) {
    if (page && (page->OwnerWizard() != this || !page->Enabled())) return;
    SwitchTo(page);
}

void TWizard::SwitchTo(TWizardCustomPage* page) {
    TWizardCustomPage* const current = activePage_;
    if (page == current) return;
    if (OnActivePageChanging) {
        OnActivePageChanging(*this, page);
        // A page of another wizard would leave this one pointing at a page it does not own.
        if (page == current || (page && page->OwnerWizard() != this)) return;
    }
    if (current && view_.FocusInside(current->View()) && current->View().CanFocus()) current->View().Focus();
    if (current) {
        current->LeavePage(page);
        current->View().SetShown(false);
    }
    if (page && !page->Enabled())
        page = FindNeighbourPage(ActiveIndex(), IsForwardMove(current, page) ? 1 : -1, true);
    if (page) {
        page->EnterPage(current);
        page->View().BringToFront();
        page->View().SetShown(true);
        if (view_.HasParentForm()) {
            if (page->View().CanFocus())
                page->View().Focus();
            else if (view_.CanFocus())
                view_.Focus();
        }
    }
    activePage_ = page;
    if (observer_) observer_->ActivePageChanged(page);
    if (autoHideButtonBar_)
        SetButtonBarHeight(page && page->VisibleButtons().Empty() ? 0 : kDefaultButtonBarHeight);
    if (view_.HasParentForm() && page && view_.FocusIs(page->View())) {
        page->View().FocusFirstChild();
        page->ShowPageDone();
    }
    if (OnActivePageChanged) OnActivePageChanged(*this);
}

void TWizard::SelectPage(TWizardCustomPage* target, const TWizardSelectPageEvent& event) {
    if (!target) return;
    if (event) event(*this, activePage_, target);
    if (target) SetActivePage(target);
}

void TWizard::GoFirstPage() { SelectPage(FindJumpTarget(-1, 1, true), OnSelectFirstPage); }
void TWizard::GoLastPage() { SelectPage(FindJumpTarget(pages_.Count(), -1, true), OnSelectLastPage); }
void TWizard::GoNextPage() { SelectPage(FindJumpTarget(ActiveIndex(), 1, true), OnSelectNextPage); }
void TWizard::GoPriorPage() { SelectPage(FindJumpTarget(ActiveIndex(), -1, true), OnSelectPriorPage); }

TWizardCustomPage* TWizard::FindNeighbourPage(int fromIndex, int step, bool skipDisabled) const {
    // A zero step would never leave a run of disabled pages.
    if (step == 0) throw std::invalid_argument("FindNeighbourPage: step must not be 0");
    const int count = pages_.Count();
    auto inside = [count](int index) { return index >= 0 && index < count; };
    int index = fromIndex + step;
    while (inside(index) && !pages_[index].Enabled() && skipDisabled) index += step;
    if (inside(index) && (pages_[index].Enabled() || !skipDisabled)) return &pages_[index];
    return nullptr;
}

TWizardCustomPage* TWizard::FindJumpTarget(int fromIndex, int step, bool skipDisabled) const {
    TWizardCustomPage* page = FindNeighbourPage(fromIndex, step, skipDisabled);
    if (page && !page->EnableJumpToPage()) page = FindNeighbourPage(pages_.IndexOf(page), step, skipDisabled);
    return page;
}

bool TWizard::IsFirstEnabledPage(const TWizardCustomPage* page, bool skipDisabled) const {
    const TWizardCustomPage* first = FindNeighbourPage(-1, 1, skipDisabled);
    return !first || first == page;
}

bool TWizard::IsForwardMove(const TWizardCustomPage* fromPage, const TWizardCustomPage* toPage) const {
    if (fromPage && toPage && fromPage->OwnerWizard() != toPage->OwnerWizard())
        throw EWizardError("The pages belong to another wizard");
    if (!fromPage) return true;
    return toPage && pages_.IndexOf(fromPage) < pages_.IndexOf(toPage);
}

void TWizard::AttachPage(TWizardCustomPage& page) {
    if (page.OwnerWizard() == this) return;
    if (page.OwnerWizard()) {
        page.SetOwnerWizard(this);  // leaves the other wizard first, then comes back here
        return;
    }
    pages_.Add(page);
    if (observer_) observer_->PageAppended(page);
}

void TWizard::DetachPage(TWizardCustomPage& page) {
    if (page.OwnerWizard() != this) return;
    TWizardCustomPage* candidate =
        activePage_ == &page ? FindNeighbourPage(pages_.IndexOf(&page), 1, true) : activePage_;
    if (candidate == &page) candidate = nullptr;
    if (observer_) observer_->PageRemoving(page);
    pages_.Remove(page);
    SetActivePage(candidate);
    if (activePage_ == &page) {
        // A changing handler kept the switch from happening; the wizard must still let go of a
        // page it no longer holds, which may be about to be destroyed.
        page.View().SetShown(false);
        activePage_ = nullptr;
        if (observer_) observer_->ActivePageChanged(nullptr);
        RefreshButtonStates();
    }
}

void TWizard::ShowControl(TWizardCustomPage& page) {
    if (page.OwnerWizard() == this) SetActivePage(&page);
}

void TWizard::PageDisabled(TWizardCustomPage& page) {
    if (activePage_ != &page) return;
    const int index = pages_.IndexOf(&page);
    TWizardCustomPage* next = FindNeighbourPage(index, 1, true);
    if (!next) next = FindNeighbourPage(index, -1, true);
    SetActivePage(next);
}

TWizardButtonSet TWizard::BarButtons() const {
    return activePage_ ? activePage_->VisibleButtons() : kDefaultVisibleButtons;
}

void TWizard::RefreshButtonStates() {
    if (!view_.HasParent()) return;
    TWizardButtonSet enabled{bkCancel};
    TWizardButtonSet visible = kDefaultVisibleButtons;
    if (activePage_) {
        // The first page never goes back, now or on later visits.
        if (IsFirstEnabledPage(activePage_, true))
            activePage_->enabledButtons_ = activePage_->enabledButtons_.Without(bkBack);
        enabled = activePage_->EnabledButtons();
        visible = activePage_->VisibleButtons();
    }
    for (const auto& button : buttons_) {
        button->SetVisible(visible.Contains(button->Kind()));
        button->SetEnabled(enabled.Contains(button->Kind()));
    }
    if (visible.Contains(bkNext) && enabled.Contains(bkNext))
        buttons_[bkNext]->SetDefault(defaultButtons_);
    else if (visible.Contains(bkFinish) && enabled.Contains(bkFinish))
        buttons_[bkFinish]->SetDefault(defaultButtons_);
}

void TWizard::ArrangeButtons() {
    if (!view_.HasParent()) return;
    std::array<int, kButtonKindCount> widths{};
    for (const auto& button : buttons_) widths[button->Kind()] = button->Width();
    const ButtonBarLayout layout =
        LayoutButtonBar(view_.ClientRect(), buttonBarHeight_, BarButtons(), widths, DisplayDpi());
    for (const auto& button : buttons_)
        if (const auto& bounds = layout[button->Kind()]) button->SetBounds(*bounds);
}

void TWizard::Loaded() {
    ArrangeButtons();
    if (pages_.Count() > 0) GoFirstPage();
}

void TWizard::ButtonClicked(TWizardButtonKind kind) {
    if (kind == bkHelp && !(activePage_ && activePage_->OnHelpButtonClick)) {
        HelpClicked();
        return;
    }
    bool stop = false;
    if (activePage_) {
        if (const auto& handler = activePage_->ClickEventFor(kind)) handler(*activePage_, stop);
        if (stop) return;
    }
    TWizardButtonControl& button = *buttons_.at(kind);
    view_.SetModalResult(button.ModalResult());
    if (button.OnClick) button.OnClick(button);
    NavigateFor(kind);
}

void TWizard::NavigateFor(TWizardButtonKind kind) {
    switch (kind) {
    case bkStart: GoFirstPage(); break;
    case bkLast: GoLastPage(); break;
    case bkBack: GoPriorPage(); break;
    case bkNext: GoNextPage(); break;
    case bkFinish:
    case bkCancel:
    case bkHelp: break;
    }
}

void TWizard::HelpClicked() {
    const int context = activePage_ ? activePage_->HelpContext() : view_.FormHelpContext();
    if (context != 0) view_.ShowHelp(context);
}

std::optional<TWizardButtonKind> TWizard::EnterButton() const {
    for (const auto& button : buttons_)
        if (button->Default() && button->Visible() && button->Enabled()) return button->Kind();
    return std::nullopt;
}

void TWizard::SetButtonClick(TWizardButtonKind kind, TButtonClickEvent handler) {
    buttons_.at(kind)->OnClick = std::move(handler);
}

void TWizard::SetButtonBarHeight(int height) {
    if (height != buttonBarHeight_) {
        buttonBarHeight_ = height;
        view_.RealignPages();
        ArrangeButtons();
        view_.RepaintLater();
    }
    RefreshButtonStates();
}

void TWizard::SetAutoHideButtonBar(bool autoHide) {
    if (autoHide == autoHideButtonBar_) return;
    autoHideButtonBar_ = autoHide;
    ArrangeButtons();
    RefreshButtonStates();
}

void TWizard::SetDefaultButtons(bool defaultButtons) {
    if (defaultButtons == defaultButtons_) return;
    defaultButtons_ = defaultButtons;
    RefreshButtonStates();
}

void TWizard::SetShowDivider(bool show) {
    if (show == showDivider_) return;
    showDivider_ = show;
    view_.RepaintLater();
}

void TWizard::SetColor(Color color) {
    if (color == color_) return;
    color_ = color;
    view_.RepaintLater();
}

void TWizard::SetHeaderImages(std::shared_ptr<const ImageList> images) {
    headerImages_ = std::move(images);
    HeaderImagesChanged();
}

void TWizard::HeaderImagesChanged() {
    if (activePage_) activePage_->Invalidate();
}

void TWizard::SetShowRouteMap(bool show) {
    if (observer_) observer_->SetVisible(show);
}

Rect TWizard::PageArea() const {
    Rect area = view_.ClientRect();
    if (buttonBarHeight_ > kButtonHeight) area.bottom -= Scaled(buttonBarHeight_);
    return area;
}

void TWizard::Paint(Canvas& canvas) const {
    Rect r = view_.ClientRect();
    if (!color_.IsNone()) canvas.FillRect(r, color_);
    if (buttonBarHeight_ > kButtonHeight && showDivider_) {
        r.top = r.bottom - Scaled(buttonBarHeight_);
        DrawBorderEdges(canvas, r, kEdgeEtched, sdTop);
    }
}

}  // namespace wizard
