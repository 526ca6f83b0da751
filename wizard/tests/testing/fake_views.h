#pragma once
// In-memory stand-ins for the wizard's windows: they keep what the logic told them and write the
// steps that matter for ordering into a shared log.

#include <array>
#include <string>
#include <vector>

#include "wizard/widgets.h"

namespace wizard::testing {

using EventLog = std::vector<std::string>;

struct FakeButtonView : ButtonView {
    std::string caption;
    bool visible = false;
    bool enabled = false;
    bool isDefault = false;
    Rect bounds;
    const Graphic* glyph = nullptr;
    int numGlyphs = 0;
    TButtonLayout layout = blGlyphLeft;
    void SetCaption(const std::string& c) override { caption = c; }
    void SetGlyph(const Graphic* g, int count, TButtonLayout l) override {
        glyph = g;
        numGlyphs = count;
        layout = l;
    }
    void SetVisible(bool v) override { visible = v; }
    void SetEnabled(bool e) override { enabled = e; }
    void SetDefault(bool d) override { isDefault = d; }
    void SetBounds(const Rect& b) override { bounds = b; }
};

class FakeWizardView;

class FakePageView : public PageView {
public:
    FakePageView(FakeWizardView& host, std::string name) : host_(&host), name_(std::move(name)) {}

    bool shown = false;
    bool enabled = true;
    bool focusable = true;
    int repaints = 0;
    int invalidations = 0;
    TWizard* parent = nullptr;
    Rect client{0, 0, 540, 390};

    const std::string& Name() const { return name_; }
    Rect ClientRect() const override { return client; }
    void SetShown(bool s) override;
    void SetEnabled(bool e) override { enabled = e; }
    void BringToFront() override {}
    bool CanFocus() const override { return focusable && shown && enabled; }
    void Focus() override;
    void FocusFirstChild() override;
    void RepaintNow() override { ++repaints; }
    void RepaintLater() override { ++invalidations; }
    void RealignChildren() override {}
    void Reparent(TWizard* wizard) override { parent = wizard; }

private:
    FakeWizardView* host_;
    std::string name_;
};

class FakeWizardView : public WizardView {
public:
    explicit FakeWizardView(EventLog* events = nullptr) : log(events) {}

    EventLog* log;
    bool hasParent = true;
    bool hasForm = true;
    Rect client{0, 0, 540, 432};
    std::array<FakeButtonView, kButtonKindCount> buttons;
    const void* focused = nullptr;       // the page (or the wizard) holding the focus
    const void* focusedChildOf = nullptr;  // focus is on a control inside this page
    int modalResult = -1;
    int formHelpContext = 0;
    std::vector<int> helpShown;

    void Log(const std::string& line) {
        if (log) log->push_back(line);
    }
    bool HasParent() const override { return hasParent; }
    bool HasParentForm() const override { return hasForm; }
    Rect ClientRect() const override { return client; }
    bool FocusIs(const PageView& page) const override { return focused == &page && !focusedChildOf; }
    bool FocusInside(const PageView& page) const override {
        return focused == &page || focusedChildOf == &page;
    }
    bool CanFocus() const override { return true; }
    void Focus() override {
        focused = this;
        focusedChildOf = nullptr;
    }
    void RealignPages() override {}
    void RepaintLater() override {}
    void SetModalResult(int result) override {
        modalResult = result;
        Log("modal result " + std::to_string(result));
    }
    int FormHelpContext() const override { return formHelpContext; }
    void ShowHelp(int context) override { helpShown.push_back(context); }
    ButtonView& Button(TWizardButtonKind kind) override { return buttons.at(kind); }
    FakeButtonView& Fake(TWizardButtonKind kind) { return buttons.at(kind); }
};

inline void FakePageView::SetShown(bool s) {
    shown = s;
    if (!s && host_->FocusInside(*this)) host_->focused = host_->focusedChildOf = nullptr;
}

inline void FakePageView::Focus() {
    host_->focused = this;
    host_->focusedChildOf = nullptr;
}

inline void FakePageView::FocusFirstChild() {
    host_->focused = this;
    host_->focusedChildOf = this;
}

}  // namespace wizard::testing
