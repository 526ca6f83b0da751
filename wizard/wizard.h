#pragma once
// The wizard control: an ordered list of pages with one active page, the guarded page switch and
// its events, and the bar of navigation buttons.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "wizard/canvas.h"
#include "wizard/widgets.h"
#include "wizard/wizard_buttons.h"
#include "wizard/wizard_page.h"
#include "wizard/wizard_types.h"

namespace wizard {

using TWizardSelectPageEvent =
    std::function<void(TWizard& sender, TWizardCustomPage* fromPage, TWizardCustomPage*& toPage)>;
using TWizardChangingPageEvent = std::function<void(TWizard& sender, TWizardCustomPage*& toPage)>;
using TWizardNotifyEvent = std::function<void(TWizard& sender)>;

// Told of changes to the page list; the hook for a route map beside the pages.
class TWizardObserver {
public:
    virtual ~TWizardObserver() = default;
    virtual void PageAppended(TWizardCustomPage& page) = 0;
    virtual void PageRemoving(TWizardCustomPage& page) = 0;
    virtual void ActivePageChanged(TWizardCustomPage* page) = 0;
    virtual void PageChanged(TWizardCustomPage& page) = 0;
    virtual void PageMoved(TWizardCustomPage& page, int fromIndex, int toIndex) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
};

// Keeps every page's OwnerWizard link right as pages come and go.
class TWizardPageList {
public:
    explicit TWizardPageList(TWizard& wizard) : wizard_(&wizard) {}
    ~TWizardPageList();

    int Count() const { return static_cast<int>(pages_.size()); }
    TWizardCustomPage& operator[](int index) const { return *pages_.at(index); }
    int IndexOf(const TWizardCustomPage* page) const;

private:
    friend class TWizard;
    friend class TWizardCustomPage;
    void Add(TWizardCustomPage& page);
    void Remove(TWizardCustomPage& page);
    void Move(int fromIndex, int toIndex);

    TWizard* wizard_;
    std::vector<TWizardCustomPage*> pages_;
};

class TWizard {
public:
    explicit TWizard(WizardView& view);
    TWizard(const TWizard&) = delete;
    TWizard& operator=(const TWizard&) = delete;
    ~TWizard();

    WizardView& View() const { return view_; }
    const TWizardPageList& Pages() const { return pages_; }

    TWizardCustomPage* ActivePage() const { return activePage_; }
    // The guarded page switch: a page of another wizard or a disabled page is ignored.
    void SetActivePage(TWizardCustomPage* page);
    int ActiveIndex() const { return pages_.IndexOf(activePage_); }

    void GoFirstPage();
    void GoLastPage();
    void GoNextPage();
    void GoPriorPage();

    TWizardCustomPage* FindNeighbourPage(int fromIndex, int step, bool skipDisabled) const;
    // Like FindNeighbourPage, but passes over one page that refuses jumps.
    TWizardCustomPage* FindJumpTarget(int fromIndex, int step, bool skipDisabled) const;
    bool IsFirstEnabledPage(const TWizardCustomPage* page, bool skipDisabled) const;
    // Throws EWizardError for pages of different wizards.
    bool IsForwardMove(const TWizardCustomPage* fromPage, const TWizardCustomPage* toPage) const;

    void AttachPage(TWizardCustomPage& page);
    void DetachPage(TWizardCustomPage& page);
    // The window system asks to show a child of the wizard: a page of this wizard becomes the
    // active page first, through the guarded switch.
    void ShowControl(TWizardCustomPage& page);

    void RefreshButtonStates();
    void ArrangeButtons();
    // The pages are in place: arrange the bar and show the first enabled page.
    void Loaded();

    // The click sequence of a button of this kind.
    void ButtonClicked(TWizardButtonKind kind);
    // The button that Enter presses: the first default button that is shown and enabled.
    std::optional<TWizardButtonKind> EnterButton() const;

    TWizardButtonControl& ButtonControl(TWizardButtonKind kind) const { return *buttons_.at(kind); }
    TWizardNavigateButton& Button(TWizardButtonKind kind) { return proxies_.at(kind); }
    TWizardNavigateButton& ButtonStart() { return Button(bkStart); }
    TWizardNavigateButton& ButtonLast() { return Button(bkLast); }
    TWizardNavigateButton& ButtonBack() { return Button(bkBack); }
    TWizardNavigateButton& ButtonNext() { return Button(bkNext); }
    TWizardNavigateButton& ButtonFinish() { return Button(bkFinish); }
    TWizardNavigateButton& ButtonCancel() { return Button(bkCancel); }
    TWizardNavigateButton& ButtonHelp() { return Button(bkHelp); }
    // The wizard-level click event, kept by the button control of the kind.
    void SetButtonClick(TWizardButtonKind kind, TButtonClickEvent handler);

    int ButtonBarHeight() const { return buttonBarHeight_; }
    void SetButtonBarHeight(int height);
    bool AutoHideButtonBar() const { return autoHideButtonBar_; }
    void SetAutoHideButtonBar(bool autoHide);
    bool DefaultButtons() const { return defaultButtons_; }
    void SetDefaultButtons(bool defaultButtons);
    bool ShowDivider() const { return showDivider_; }
    void SetShowDivider(bool show);
    Color GetColor() const { return color_; }
    void SetColor(Color color);

    const std::shared_ptr<const ImageList>& HeaderImages() const { return headerImages_; }
    void SetHeaderImages(std::shared_ptr<const ImageList> images);
    // The image list's content changed.
    void HeaderImagesChanged();

    TWizardObserver* Observer() const { return observer_; }
    void SetObserver(TWizardObserver* observer) { observer_ = observer; }
    bool ShowRouteMap() const { return observer_ && observer_->Visible(); }
    void SetShowRouteMap(bool show);

    // The pages' area: the client area less the bar when the bar shows.
    Rect PageArea() const;
    void Paint(Canvas& canvas) const;

    TWizardSelectPageEvent OnSelectNextPage;
    TWizardSelectPageEvent OnSelectPriorPage;
    TWizardSelectPageEvent OnSelectFirstPage;
    TWizardSelectPageEvent OnSelectLastPage;
    TWizardNotifyEvent OnActivePageChanged;
    TWizardChangingPageEvent OnActivePageChanging;

private:
    friend class TWizardCustomPage;
    void SelectPage(TWizardCustomPage* target, const TWizardSelectPageEvent& event);
    void SwitchTo(TWizardCustomPage* page);
    void NavigateFor(TWizardButtonKind kind);
    void HelpClicked();
    TWizardButtonSet BarButtons() const;
    void PageDisabled(TWizardCustomPage& page);

    WizardView& view_;
    TWizardPageList pages_;
    TWizardCustomPage* activePage_ = nullptr;
    TWizardObserver* observer_ = nullptr;
    std::array<std::unique_ptr<TWizardButtonControl>, kButtonKindCount> buttons_;
    std::array<TWizardNavigateButton, kButtonKindCount> proxies_;
    int buttonBarHeight_ = kDefaultButtonBarHeight;
    bool showDivider_ = true;
    bool autoHideButtonBar_ = true;
    bool defaultButtons_ = true;
    Color color_ = Color::System(SystemColor::ButtonFace);
    std::shared_ptr<const ImageList> headerImages_;
};

}  // namespace wizard
