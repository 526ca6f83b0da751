#include "wizard/wizard_buttons.h"

#include "wizard/wizard.h"

namespace wizard {

const ButtonClassInfo& ButtonClassFor(TWizardButtonKind kind) {
    static constexpr std::array<ButtonClassInfo, kButtonKindCount> classes{{
        {"TWizardStartButton", "To &Start Page", false, true, 85, bsLeftGroup, kModalResultNone},
        {"TWizardLastButton", "To &Last Page", false, true, 85, bsLeftGroup, kModalResultNone},
        {"TWizardBackButton", "< &Back", true, false, 75, bsRightGroup, kModalResultNone},
        {"TWizardNextButton", "&Next >", true, false, 75, bsRightGroup, kModalResultNone},
        {"TWizardFinishButton", "&Finish", false, true, 75, bsRightGroup, kModalResultNone},
        {"TWizardCancelButton", "Cancel", true, true, 75, bsRightGroup, kModalResultCancel},
        {"TWizardHelpButton", "&Help", false, true, 75, bsLeftGroup, kModalResultNone},
    }};
    return classes.at(kind);
}

TWizardButtonControl::TWizardButtonControl(TWizard& owner, TWizardButtonKind kind, ButtonView& view)
    : owner_(owner),
      kind_(kind),
      view_(view),
      caption_(ButtonClassFor(kind).caption),
      width_(ButtonClassFor(kind).width),
      modalResult_(ButtonClassFor(kind).modalResult),
      visible_(ButtonClassFor(kind).visible),
      enabled_(ButtonClassFor(kind).enabled),
      bounds_{ScaleRect({0, 0, width_, kButtonHeight}, DisplayDpi())} {
    view_.SetCaption(caption_);
    view_.SetBounds(bounds_);
    view_.SetEnabled(enabled_);
    view_.SetVisible(visible_);
}

void TWizardButtonControl::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    view_.SetCaption(caption_);
}

void TWizardButtonControl::SetGlyph(std::shared_ptr<const Graphic> glyph) {
    if (glyph == glyph_) return;
    glyph_ = std::move(glyph);
    ShowGlyph();
}

void TWizardButtonControl::SetNumGlyphs(int count) {
    // A bitmap holds at least the one image that is shown.
    if (count < 1 || count == numGlyphs_) return;
    numGlyphs_ = count;
    ShowGlyph();
}

void TWizardButtonControl::SetLayout(TButtonLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    ShowGlyph();
}

void TWizardButtonControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    view_.SetVisible(visible_);
    owner_.ArrangeButtons();
}

void TWizardButtonControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    view_.SetEnabled(enabled_);
}

void TWizardButtonControl::SetDefault(bool isDefault) {
    if (isDefault == default_) return;
    default_ = isDefault;
    view_.SetDefault(default_);
}

// The width stays the one given at 96 DPI: the bounds are the display's pixels.
void TWizardButtonControl::SetBounds(const Rect& bounds) {
    if (bounds == bounds_) return;
    bounds_ = bounds;
    view_.SetBounds(bounds_);
}

void TWizardButtonControl::Click() { owner_.ButtonClicked(kind_); }

void TWizardNavigateButton::SetCaption(const std::string& caption) {
    if (control_) control_->SetCaption(caption);
}

void TWizardNavigateButton::SetModalResult(int result) {
    if (control_) control_->SetModalResult(result);
}

void TWizardNavigateButton::SetGlyph(std::shared_ptr<const Graphic> glyph) {
    if (control_) control_->SetGlyph(std::move(glyph));
}

void TWizardNavigateButton::SetNumGlyphs(int count) {
    if (control_) control_->SetNumGlyphs(count);
}

void TWizardNavigateButton::SetLayout(TButtonLayout layout) {
    if (control_) control_->SetLayout(layout);
}

void TWizardNavigateButton::SetWidth(int width) {
    if (!control_ || control_->Width() == width) return;
    control_->SetWidth(width);
    control_->OwnerWizard().ArrangeButtons();
}

ButtonBarLayout LayoutButtonBar(const Rect& client, int barHeight, TWizardButtonSet visible,
                                const std::array<int, kButtonKindCount>& widths, int dpi) {
    const auto scaled = [dpi](int length) { return ScaleLength(length, dpi); };
    ButtonBarLayout layout;
    if (barHeight <= kButtonHeight) {
        for (int kind = 0; kind < kButtonKindCount; ++kind) layout[kind] = Rect{0, 0, scaled(widths[kind]), 0};
        return layout;
    }
    const int top = client.bottom - scaled(barHeight) + scaled(10);
    const int height = scaled(kButtonHeight);
    // Hidden kinds take no room: neither their width nor their gap.
    auto place = [&](int& x, TWizardButtonKind kind, int gap) {
        if (!visible.Contains(kind)) return;
        const int width = scaled(widths[kind]);
        if (ButtonClassFor(kind).side == bsRightGroup) {
            x -= width;
            layout[kind] = Rect{x, top, x + width, top + height};
        } else {
            layout[kind] = Rect{x, top, x + width, top + height};
            x += width;
        }
        x += scaled(gap);
    };

    int left = client.left + scaled(8);
    place(left, bkHelp, 10);
    place(left, bkStart, 1);
    place(left, bkLast, 0);

    // With both Next and Finish shown, the wide gap moves from Finish|Cancel to Next|Finish.
    const bool nextAndFinish = visible.Contains(bkNext) && visible.Contains(bkFinish);
    int right = client.right - scaled(8);
    place(right, bkCancel, nextAndFinish ? -1 : -10);
    place(right, bkFinish, nextAndFinish ? -10 : -1);
    place(right, bkNext, -2);
    place(right, bkBack, 0);
    return layout;
}

}  // namespace wizard
