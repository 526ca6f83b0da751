#pragma once
// The seven navigation buttons, their published proxies and the geometry of the bar.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "wizard/display_scale.h"
#include "wizard/widgets.h"
#include "wizard/wizard_types.h"

namespace wizard {

class TWizard;

enum TBarSide : std::uint8_t { bsLeftGroup, bsRightGroup };

inline constexpr int kModalResultNone = 0;
inline constexpr int kModalResultCancel = 2;
inline constexpr int kButtonHeight = 25;
inline constexpr int kDefaultButtonBarHeight = 42;

// What each button class is created with.
struct ButtonClassInfo {
    const char* className;
    const char* caption;
    bool visible;
    bool enabled;
    int width;
    TBarSide side;
    int modalResult;
};

const ButtonClassInfo& ButtonClassFor(TWizardButtonKind kind);

class TWizardButtonControl;
using TButtonClickEvent = std::function<void(TWizardButtonControl& sender)>;

class TWizardButtonControl {
public:
    TWizardButtonControl(TWizard& owner, TWizardButtonKind kind, ButtonView& view);
    TWizardButtonControl(const TWizardButtonControl&) = delete;
    TWizardButtonControl& operator=(const TWizardButtonControl&) = delete;

    TWizard& OwnerWizard() const { return owner_; }
    TWizardButtonKind Kind() const { return kind_; }
    TBarSide BarSide() const { return ButtonClassFor(kind_).side; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    int Width() const { return width_; }
    void SetWidth(int width) { width_ = width; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    const std::shared_ptr<const Graphic>& Glyph() const { return glyph_; }
    void SetGlyph(std::shared_ptr<const Graphic> glyph);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    bool Visible() const { return visible_; }
    // A change of visibility re-arranges the bar.
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    const Rect& Bounds() const { return bounds_; }
    void SetBounds(const Rect& bounds);

    // The wizard-level click event of this kind.
    TButtonClickEvent OnClick;
    // A press of the button: the click sequence of its kind.
    void Click();

private:
    void ShowGlyph() { view_.SetGlyph(glyph_.get(), numGlyphs_, layout_); }

    TWizard& owner_;
    TWizardButtonKind kind_;
    ButtonView& view_;
    std::string caption_;
    int width_;
    int modalResult_;
    std::shared_ptr<const Graphic> glyph_;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    bool visible_;
    bool enabled_;
    bool default_ = false;
    Rect bounds_;
};

// The published face of one button; without a control it reads empty and ignores writes.
class TWizardNavigateButton {
public:
    explicit TWizardNavigateButton(TWizardButtonControl* control = nullptr) : control_(control) {}
    TWizardButtonControl* ButtonControl() const { return control_; }

    std::string Caption() const { return control_ ? control_->Caption() : std::string(); }
    void SetCaption(const std::string& caption);
    int ModalResult() const { return control_ ? control_->ModalResult() : 0; }
    void SetModalResult(int result);
    int Width() const { return control_ ? control_->Width() : 0; }
    // A new width re-arranges the bar.
    void SetWidth(int width);
    std::shared_ptr<const Graphic> Glyph() const { return control_ ? control_->Glyph() : nullptr; }
    void SetGlyph(std::shared_ptr<const Graphic> glyph);
    int NumGlyphs() const { return control_ ? control_->NumGlyphs() : 0; }
    void SetNumGlyphs(int count);
    TButtonLayout Layout() const { return control_ ? control_->Layout() : blGlyphLeft; }
    void SetLayout(TButtonLayout layout);

private:
    TWizardButtonControl* control_;
};

// Bounds of each button on the bar; a kind without a value is left where it is.
using ButtonBarLayout = std::array<std::optional<Rect>, kButtonKindCount>;

// The bar's height and the widths are given at 96 DPI; the bounds come out at `dpi`, in the
// client's pixels.
ButtonBarLayout LayoutButtonBar(const Rect& client, int barHeight, TWizardButtonSet visible,
                                const std::array<int, kButtonKindCount>& widths, int dpi = kDesignDpi);

}  // namespace wizard
