#pragma once
// The thin widget layer under the wizard's logic: the few operations the logic asks of the real
// windows. The window layer implements them with child windows; tests implement them with fakes.

#include <string>

#include "wizard/canvas.h"
#include "wizard/wizard_types.h"

namespace wizard {

// Where a button's glyph sits against its caption.
enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class ButtonView {
public:
    virtual ~ButtonView() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    // The first of the bitmap's numGlyphs side-by-side images, or none without a glyph.
    virtual void SetGlyph(const Graphic* glyph, int numGlyphs, TButtonLayout layout) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual void SetDefault(bool isDefault) = 0;
    virtual void SetBounds(const Rect& bounds) = 0;
};

class TWizard;

class PageView {
public:
    virtual ~PageView() = default;
    virtual Rect ClientRect() const = 0;
    virtual void SetShown(bool shown) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual void BringToFront() = 0;
    virtual bool CanFocus() const = 0;
    virtual void Focus() = 0;
    virtual void FocusFirstChild() = 0;
    virtual void RepaintNow() = 0;
    virtual void RepaintLater() = 0;
    virtual void RealignChildren() = 0;
    // The page now belongs to another wizard (or none): its window moves there.
    virtual void Reparent(TWizard* wizard) = 0;
};

class WizardView {
public:
    virtual ~WizardView() = default;
    virtual bool HasParent() const = 0;
    virtual bool HasParentForm() const = 0;
    virtual Rect ClientRect() const = 0;
    // Whether the form's focused control is the page, or lies inside it.
    virtual bool FocusIs(const PageView& page) const = 0;
    virtual bool FocusInside(const PageView& page) const = 0;
    virtual bool CanFocus() const = 0;
    virtual void Focus() = 0;
    virtual void RealignPages() = 0;
    virtual void RepaintLater() = 0;
    virtual void SetModalResult(int result) = 0;
    virtual int FormHelpContext() const = 0;
    virtual void ShowHelp(int context) = 0;
    virtual ButtonView& Button(TWizardButtonKind kind) = 0;
};

}  // namespace wizard
