#include "wizard/page_decoration.h"

#include <algorithm>

#include "wizard/display_scale.h"
#include "wizard/wizard.h"
#include "wizard/wizard_page.h"

namespace wizard {

void TWizardGraphicObject::SetColor(Color color) {
    if (color == color_) return;
    color_ = color;
    ColorValueChanged();
}

void TWizardGraphicObject::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    VisibilityChanged();
}

void TWizardPageObject::SetOwnerPage(TWizardCustomPage* page) {
    ownerPage_ = page;
    AttachedToPage();
}

void TWizardPageObject::NotifyChange() {
    if (ownerPage_) ownerPage_->Invalidate();
}

// ---- titles

TWizardPageTitle::TWizardPageTitle(std::string text, int anchors)
    : TWizardGraphicObject(Color::None()), text_(std::move(text)), anchors_(anchors) {}

TWizardPageTitle& TWizardPageTitle::operator=(const TWizardPageTitle& other) {
    if (this == &other) return *this;
    text_ = other.text_;
    anchors_ = other.anchors_;
    anchorPlacement_ = other.anchorPlacement_;
    indent_ = other.indent_;
    alignment_ = other.alignment_;
    SetFont(other.font_);
    NotifyChange();
    if (ownerHeader_ && ownerHeader_->OwnerPage()) ownerHeader_->OwnerPage()->NotifyPageChanged();
    return *this;
}

void TWizardPageTitle::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    NotifyChange();
    if (ownerHeader_ && ownerHeader_->OwnerPage()) ownerHeader_->OwnerPage()->NotifyPageChanged();
}

void TWizardPageTitle::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    NotifyChange();
}

void TWizardPageTitle::SetAnchorPlacement(int placement) {
    if (placement == anchorPlacement_) return;
    anchorPlacement_ = placement;
    NotifyChange();
}

void TWizardPageTitle::SetAnchors(int anchors) {
    if (anchors == anchors_) return;
    anchors_ = anchors;
    NotifyChange();
}

void TWizardPageTitle::SetIndent(int indent) {
    if (indent == indent_) return;
    indent_ = indent;
    NotifyChange();
}

void TWizardPageTitle::SetFont(const Font& font) {
    if (ownerHeader_ && ownerHeader_->ParentFont()) return;
    UpdateFont([&font](Font& f) { f = font; });
}

void TWizardPageTitle::UpdateFont(const std::function<void(Font&)>& change) {
    Font changed = font_;
    change(changed);
    if (changed == font_) return;
    font_ = changed;
    NotifyChange();
}

void TWizardPageTitle::AttachToHeader(TWizardPageHeader* header) {
    ownerHeader_ = header;
    if (header && header->OwnerPage()) FollowPageFont(header->OwnerPage()->GetFont());
}

void TWizardPageTitle::FollowPageFont(const Font& pageFont) {
    UpdateFont([&pageFont](Font& f) {
        f.name = pageFont.name;
        f.charset = pageFont.charset;
    });
}

void TWizardPageTitle::NotifyChange() {
    if (ownerHeader_) ownerHeader_->NotifyChange();
}

Rect TWizardPageTitle::TitleRect(Canvas& canvas, const Rect& available) const {
    Size extent = canvas.TextExtent(text_, font_);
    const int placement = Scaled(anchorPlacement_);
    const int indent = Scaled(indent_);
    const Rect line = PlaceTitle(available, extent, anchors_, placement, indent);
    if (extent.cx <= line.Width()) return line;
    // A text wider than its place wraps in full, and the rectangle takes the wrapped lines.
    extent.cy = canvas.WrappedTextHeight(text_, font_, line.Width());
    return PlaceTitle(available, extent, anchors_, placement, indent);
}

int TWizardPageTitle::TextBottom(Canvas& canvas, const Rect& available) const {
    if (!Visible()) return available.top;
    const Rect t = TitleRect(canvas, available);
    const Size extent = canvas.TextExtent(text_, font_);
    return t.top + (extent.cx <= t.Width() ? extent.cy : canvas.WrappedTextHeight(text_, font_, t.Width()));
}

void TWizardPageTitle::DrawInto(Canvas& canvas, Rect& r) {
    if (!Visible() || !ownerHeader_ || !ownerHeader_->OwnerPage()) return;
    const Rect t = TitleRect(canvas, r);
    if (!GetColor().IsNone()) canvas.FillRect(t, GetColor());
    canvas.DrawText(text_, t, font_, alignment_);
    r.top = t.bottom;
}

// ---- header

TWizardPageHeader::TWizardPageHeader()
    : TWizardPageObject(Color::System(SystemColor::Window)),
      title_("Title", akLeft | akTop | akRight),
      subtitle_("Subtitle", akLeft | akTop | akRight | akBottom) {
    title_.UpdateFont([](Font& f) {
        f.points = 12;
        f.bold = true;
    });
}

template <typename T>
void TWizardPageHeader::Store(T& field, T value) {
    if (field == value) return;
    field = value;
    NotifyChange();
}

void TWizardPageHeader::SetHeight(int height) { Store(height_, height); }
void TWizardPageHeader::SetImageIndex(int index) { Store(imageIndex_, index); }
void TWizardPageHeader::SetImageOffset(int offset) { Store(imageOffset_, offset); }
void TWizardPageHeader::SetImageAlignment(TWizardImageLeftRight alignment) { Store(imageAlignment_, alignment); }
void TWizardPageHeader::SetShowDivider(bool show) { Store(showDivider_, show); }

void TWizardPageHeader::SetParentFont(bool parentFont) {
    if (parentFont == parentFont_) return;
    parentFont_ = parentFont;
    if (parentFont_ && OwnerPage()) PageFontChanged(OwnerPage()->GetFont());
}

void TWizardPageHeader::PageFontChanged(const Font& pageFont) {
    if (!parentFont_) return;
    title_.FollowPageFont(pageFont);
    subtitle_.FollowPageFont(pageFont);
}

void TWizardPageHeader::VisibilityChanged() {
    TWizardPageObject::VisibilityChanged();
    if (OwnerPage()) OwnerPage()->View().RealignChildren();
}

void TWizardPageHeader::AttachedToPage() {
    title_.AttachToHeader(this);
    subtitle_.AttachToHeader(this);
}

Rect TWizardPageHeader::PlaceImage(Size image, Rect& textArea) const {
    return PlaceHeaderImage(Scaled(image), textArea, imageAlignment_, Scaled(imageOffset_));
}

const ImageList* TWizardPageHeader::Images() const {
    const TWizard* wizard = OwnerPage() ? OwnerPage()->OwnerWizard() : nullptr;
    const ImageList* images = wizard ? wizard->HeaderImages().get() : nullptr;
    return images && imageIndex_ >= 0 && imageIndex_ < images->Count() ? images : nullptr;
}

// Texts that need more lines than the band holds get them: the band grows, nothing is cut.
int TWizardPageHeader::NeededHeight(Canvas& canvas, const Rect& band) const {
    const int height = Scaled(height_);
    if (!OwnerPage()) return height;
    Rect texts{band.left, band.top, band.right, band.top + height};
    if (const ImageList* images = Images()) PlaceImage(images->ImageSize(), texts);
    const int titleBottom = title_.TextBottom(canvas, texts);
    const int needed = subtitle_.TextBottom(canvas, {texts.left, titleBottom, texts.right, texts.bottom}) +
                       Scaled(subtitle_.AnchorPlacement());
    return std::max(height, needed - band.top);
}

void TWizardPageHeader::FitTexts(Canvas& canvas) {
    if (!Visible() || !OwnerPage()) return;
    const Rect area = OwnerPage()->ChildArea();
    const int needed = NeededHeight(canvas, {area.left, area.top - Scaled(height_), area.right, area.top});
    SetHeight(DesignLengthFor(needed, DisplayDpi()));
}

void TWizardPageHeader::DrawInto(Canvas& canvas, Rect& r) {
    if (!Visible()) return;
    Rect h{r.left, r.top, r.right, r.top + NeededHeight(canvas, r)};
    const ImageList* images = Images();
    const int bandHeight = h.Height();  // the steps below narrow h
    canvas.FillRect(h, GetColor());
    if (OwnerPage()) {
        if (showDivider_) DrawBorderEdges(canvas, h, kEdgeEtched, sdBottom);
        if (images) {
            const Rect placed = PlaceImage(images->ImageSize(), h);
            canvas.DrawListImage(*images, imageIndex_, placed);
        }
        title_.DrawInto(canvas, h);
        subtitle_.DrawInto(canvas, h);
    }
    r.top += bandHeight;
}

// ---- pictures

void TWizardImage::SetPicture(std::shared_ptr<Graphic> picture) {
    picture_ = std::move(picture);
    if (picture_) picture_->SetTransparent(transparent_);
    Changed();
}

void TWizardImage::SetAlignment(TWizardImageAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Changed();
}

void TWizardImage::SetLayout(TWizardImageLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    Changed();
}

bool TWizardImage::Transparent() const { return picture_ ? picture_->Transparent() : transparent_; }

void TWizardImage::SetTransparent(bool transparent) {
    transparent_ = transparent;
    if (picture_ && !picture_->IsMetafileOrIcon()) picture_->SetTransparent(transparent);
    Changed();
}

void TWizardImage::DrawInto(Canvas& canvas, const Rect& r) const {
    DrawImageAligned(canvas, picture_.get(), r, layout_, alignment_);
}

// ---- watermark

TWizardWaterMark::TWizardWaterMark()
    : TWizardPageObject(Color::System(SystemColor::ActiveCaption)), image_([this] { NotifyChange(); }) {}

void TWizardWaterMark::SetAlign(TWizardLeftRight align) {
    if (align == align_) return;
    align_ = align;
    NotifyChange();
    if (OwnerPage()) OwnerPage()->View().RealignChildren();
}

void TWizardWaterMark::SetWidth(int width) {
    if (width == width_) return;
    width_ = width;
    NotifyChange();
}

void TWizardWaterMark::SetBorderWidth(int width) {
    if (width == borderWidth_) return;
    borderWidth_ = width;
    NotifyChange();
}

void TWizardWaterMark::VisibilityChanged() {
    TWizardPageObject::VisibilityChanged();
    if (OwnerPage()) OwnerPage()->View().RealignChildren();
}

void TWizardWaterMark::DrawInto(Canvas& canvas, Rect& r) {
    if (!Visible()) return;
    Rect band = r;
    const int width = Scaled(width_);
    if (align_ == alLeft) {
        band.right = band.left + width;
        r.left += width;
    } else {
        band.left = band.right - width;
        r.right -= width;
    }
    band = band.Inflated(-Scaled(borderWidth_));
    canvas.FillRect(band, GetColor());
    image_.DrawInto(canvas, band);
}

// ---- panel

TWizardPagePanel::TWizardPagePanel() : TWizardPageObject(Color::System(SystemColor::ButtonFace), false) {}

void TWizardPagePanel::SetBorderWidth(std::uint16_t width) {
    if (width == borderWidth_) return;
    borderWidth_ = width;
    NotifyChange();
}

void TWizardPagePanel::DrawInto(Canvas& canvas, Rect& r) {
    if (!Visible() || borderWidth_ == 0) return;
    r = r.Inflated(-Scaled(borderWidth_));
    const Rect inside = DrawBorderEdges(canvas, r, kEdgeEtched, sdAll);
    if (GetColor().IsNone()) return;
    r = inside;
    canvas.FillRect(r, GetColor());
}

}  // namespace wizard
