#pragma once
// A wizard page: its place in a wizard, its button sets, its events and its decoration.

#include <functional>
#include <string>

#include "wizard/canvas.h"
#include "wizard/page_decoration.h"
#include "wizard/widgets.h"
#include "wizard/wizard_types.h"

namespace wizard {

class TWizard;
class TWizardCustomPage;

using TWizardChangePageEvent = std::function<void(TWizardCustomPage& sender, TWizardCustomPage* fromPage)>;
using TWizardPageEvent = std::function<void(TWizardCustomPage& sender)>;
using TWizardPageClickEvent = std::function<void(TWizardCustomPage& sender, bool& stop)>;
using TWizardPaintPageEvent =
    std::function<void(TWizardCustomPage& sender, Canvas& canvas, const Rect& rect)>;

inline constexpr TWizardButtonSet kDefaultVisibleButtons{bkBack, bkNext, bkCancel};

class TWizardCustomPage {
public:
    TWizardCustomPage(const TWizardCustomPage&) = delete;
    TWizardCustomPage& operator=(const TWizardCustomPage&) = delete;
    virtual ~TWizardCustomPage();

    PageView& View() const { return view_; }

    TWizard* OwnerWizard() const { return ownerWizard_; }
    // Detaches from the old wizard, moves the window and appends the page to the new one.
    void SetOwnerWizard(TWizard* wizard);
    int IndexInWizard() const;
    // Outside [0, page count) the page stays where it is.
    void SetIndexInWizard(int index);

    TWizardButtonSet EnabledButtons() const { return enabledButtons_; }
    void SetEnabledButtons(TWizardButtonSet buttons);
    TWizardButtonSet VisibleButtons() const { return visibleButtons_; }
    void SetVisibleButtons(TWizardButtonSet buttons);
    void SetButtonEnabled(TWizardButtonKind kind, bool enabled);

    bool Enabled() const { return enabled_; }
    // A disabled active page hands the wizard to its nearest enabled neighbour.
    void SetEnabled(bool enabled);
    bool EnableJumpToPage() const { return enableJumpToPage_; }
    void SetEnableJumpToPage(bool enable) { enableJumpToPage_ = enable; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    Color GetColor() const { return color_; }
    void SetColor(Color color);
    const Font& GetFont() const { return font_; }
    void SetFont(const Font& font);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }

    TWizardPageHeader& Header() { return header_; }
    TWizardPagePanel& Panel() { return panel_; }
    TWizardImage& Image() { return image_; }
    TWizardPageTitle& Title() { return header_.Title(); }
    TWizardPageTitle& Subtitle() { return header_.Subtitle(); }

    // The area left to the page's child controls by the decoration.
    virtual Rect ChildArea() const;
    // Paints background and decoration; guarded against re-entry.
    void Paint(Canvas& canvas);
    void Invalidate() { view_.RepaintLater(); }
    // The header text of this page changed: the wizard's observer hears of it.
    void NotifyPageChanged();

    TWizardPaintPageEvent OnPaintPage;
    TWizardChangePageEvent OnEnterPage;
    TWizardPageEvent OnPage;
    TWizardChangePageEvent OnExitPage;  // the second argument is the page about to become active
    TWizardPageClickEvent OnStartButtonClick;
    TWizardPageClickEvent OnLastButtonClick;
    TWizardPageClickEvent OnBackButtonClick;
    TWizardPageClickEvent OnNextButtonClick;
    TWizardPageClickEvent OnFinishButtonClick;
    TWizardPageClickEvent OnCancelButtonClick;
    TWizardPageClickEvent OnHelpButtonClick;

    const TWizardPageClickEvent& ClickEventFor(TWizardButtonKind kind) const;

    // Page steps the wizard runs during a switch.
    virtual void EnterPage(TWizardCustomPage* fromPage);
    virtual void ShowPageDone();
    virtual void LeavePage(TWizardCustomPage* toPage);

protected:
    TWizardCustomPage(PageView& view, Color color);
    virtual void PaintDecoration(Canvas& canvas, Rect& r);

private:
    friend class TWizard;
    friend class TWizardPageList;

    PageView& view_;
    TWizard* ownerWizard_ = nullptr;
    TWizardPageHeader header_;
    TWizardPagePanel panel_;
    TWizardImage image_;
    TWizardButtonSet enabledButtons_ = TWizardButtonSet::All();
    TWizardButtonSet visibleButtons_ = kDefaultVisibleButtons;
    bool painting_ = false;
    bool enableJumpToPage_ = true;
    bool enabled_ = true;
    std::string caption_;
    Color color_;
    Font font_;
    int helpContext_ = 0;
};

class TWizardInteriorPage : public TWizardCustomPage {
public:
    explicit TWizardInteriorPage(PageView& view);
};

class TWizardWelcomePage : public TWizardCustomPage {
public:
    explicit TWizardWelcomePage(PageView& view);
    TWizardWaterMark& WaterMark() { return waterMark_; }
    Rect ChildArea() const override;

protected:
    void PaintDecoration(Canvas& canvas, Rect& r) override;

private:
    TWizardWaterMark waterMark_;
};

}  // namespace wizard
