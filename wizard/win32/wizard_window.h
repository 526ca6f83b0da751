#pragma once
// The wizard's real windows: the wizard and its pages are windows of their own classes, the
// navigation buttons are standard push buttons. Each window is the view of one logic object.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "wizard/widgets.h"
#include "wizard/win32/gdi_handles.h"
#include "wizard/wizard.h"

namespace wizard::win32 {

// Stable control identifiers, so that drivers and tests find the buttons. Cancel carries the
// dialog manager's cancel identifier: Escape presses it.
int ButtonControlId(TWizardButtonKind kind);

// Its window is made when the button is first shown: most runs never show some of the buttons,
// and every window made costs the start. `placeAfter` tells where it goes among its siblings then.
class ButtonWindow : public ButtonView {
public:
    ButtonWindow(HWND parent, TWizardButtonKind kind, HFONT font, std::function<HWND()> placeAfter);
    // Null until the button is first shown.
    HWND Hwnd() const { return hwnd_.get(); }
    void SetCaption(const std::string& caption) override;
    void SetGlyph(const Graphic* glyph, int numGlyphs, TButtonLayout layout) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetDefault(bool isDefault) override;
    void SetBounds(const Rect& bounds) override;

private:
    void Create();
    void ShowGlyph();

    HWND parent_;
    TWizardButtonKind kind_;
    HFONT font_;
    std::function<HWND()> placeAfter_;
    std::string caption_;
    Rect bounds_{0, 0, 75, kButtonHeight};
    bool enabled_ = true;
    bool default_ = false;
    TButtonLayout glyphLayout_ = blGlyphLeft;
    UniqueWindow hwnd_;
    UniqueImageList glyph_;  // the button shows it but does not own it
};

class WizardWindow;

class PageWindow : public PageView {
public:
    using PageFactory = std::function<std::unique_ptr<TWizardCustomPage>(PageView&)>;
    PageWindow(WizardWindow& owner, const PageFactory& factory);
    ~PageWindow() override;

    // The page's window, made now if it was not yet: a page gets its window when it is first
    // shown, as most runs see few of the pages and every window made costs the start.
    HWND Hwnd();
    // The window, or null while the page has none.
    HWND Made() const { return hwnd_.get(); }
    TWizardCustomPage& Page() const { return *page_; }
    // The window's text (screen readers and the GUI tests read the page's name there).
    void SetName(const std::string& name);
    // The page's place in the wizard window.
    void SetBounds(const Rect& bounds);
    // Paints background and decoration into any DC, as WM_PAINT does.
    void RenderTo(HDC dc);
    // The header grows to hold its texts as they are drawn on this window (TWizardPageHeader::FitTexts).
    void FitHeader();

    // Commands of the page's own child controls.
    std::function<void(int id, int code, HWND control)> OnCommand;

    Rect ClientRect() const override;
    void SetShown(bool shown) override;
    void SetEnabled(bool enabled) override;
    void BringToFront() override;
    bool CanFocus() const override;
    void Focus() override;
    void FocusFirstChild() override;
    void RepaintNow() override;
    void RepaintLater() override;
    void RealignChildren() override;
    void Reparent(TWizard* wizard) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HBRUSH BackgroundBrush();
    // Someone else showed the page: only the wizard's active page stays shown.
    void ShownFromOutside();

    HWND parent_;
    std::string name_;
    Rect bounds_;
    bool enabled_ = true;
    UniqueWindow hwnd_;
    bool showingForWizard_ = false;
    UniqueBrush background_;
    COLORREF backgroundColor_ = CLR_INVALID;
    std::unique_ptr<TWizardCustomPage> page_;
};

class WizardWindow : public WizardView {
public:
    WizardWindow(HWND parent, int controlId);
    ~WizardWindow() override;

    HWND Hwnd() const { return hwnd_.get(); }
    TWizard& Wizard() { return *wizard_; }
    HFONT PageFont() const { return font_.get(); }

    template <typename PageT>
    struct AddedPage {
        PageT& page;
        PageWindow& window;
    };
    template <typename PageT>
    AddedPage<PageT> AddPage() {
        PageWindow& window = CreatePage([](PageView& view) { return std::make_unique<PageT>(view); });
        return {static_cast<PageT&>(window.Page()), window};
    }

    // The dialog keys of the top-level window that holds the wizard: Tab, Enter, Escape and the
    // access keys act on its controls; call from the message loop.
    bool PreTranslate(MSG& message);
    // Keeps the focus while the top-level window is inactive.
    void SaveFocus();
    // Gives the focus back, as a dialog does when it is activated: to the control that had it, or
    // else to the active page's first control that can take it, or else to the default button.
    void RestoreFocus();
    int ModalResult() const { return modalResult_; }
    void SetFormHelpContext(int context) { formHelpContext_ = context; }
    std::function<void(int context)> OnHelp;
    // Paints the wizard's own background and divider into any DC.
    void RenderTo(HDC dc);

    bool HasParent() const override;
    bool HasParentForm() const override;
    Rect ClientRect() const override;
    bool FocusIs(const PageView& page) const override;
    bool FocusInside(const PageView& page) const override;
    bool CanFocus() const override;
    void Focus() override;
    void RealignPages() override;
    void RepaintLater() override;
    void SetModalResult(int result) override { modalResult_ = result; }
    int FormHelpContext() const override { return formHelpContext_; }
    void ShowHelp(int context) override;
    ButtonView& Button(TWizardButtonKind kind) override { return *buttons_.at(kind); }

private:
    PageWindow& CreatePage(const PageWindow::PageFactory& factory);
    HWND ButtonPlace(TWizardButtonKind kind) const;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    UniqueWindow hwnd_;
    UniqueFont font_;
    std::array<std::unique_ptr<ButtonWindow>, kButtonKindCount> buttons_;
    std::unique_ptr<TWizard> wizard_;
    std::vector<std::unique_ptr<PageWindow>> pages_;
    int modalResult_ = 0;
    int formHelpContext_ = 0;
    HWND savedFocus_ = nullptr;
};

}  // namespace wizard::win32
