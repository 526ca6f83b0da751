#pragma once
// The painted parts of a page: header with title and subtitle, welcome-page watermark, page picture
// and framed panel.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "wizard/canvas.h"
#include "wizard/drawing.h"

namespace wizard {

class TWizardCustomPage;
class TWizardPageHeader;

class TWizardGraphicObject {
public:
    virtual ~TWizardGraphicObject() = default;
    Color GetColor() const { return color_; }
    void SetColor(Color color);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    virtual void DrawInto(Canvas& canvas, Rect& r) = 0;

protected:
    explicit TWizardGraphicObject(Color color, bool visible = true) : color_(color), visible_(visible) {}
    virtual void VisibilityChanged() { NotifyChange(); }
    virtual void ColorValueChanged() { NotifyChange(); }
    virtual void NotifyChange() = 0;

private:
    Color color_;
    bool visible_;
};

// A part bound to a page: a change repaints the page later.
class TWizardPageObject : public TWizardGraphicObject {
public:
    TWizardCustomPage* OwnerPage() const { return ownerPage_; }
    void SetOwnerPage(TWizardCustomPage* page);

protected:
    using TWizardGraphicObject::TWizardGraphicObject;
    void NotifyChange() override;
    virtual void AttachedToPage() {}

private:
    TWizardCustomPage* ownerPage_ = nullptr;
};

class TWizardPageTitle : public TWizardGraphicObject {
public:
    TWizardPageTitle(std::string text, int anchors);
    TWizardPageTitle(const TWizardPageTitle&) = delete;
    // Copies text, anchors, placement, indent, alignment and font.
    TWizardPageTitle& operator=(const TWizardPageTitle& other);

    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    int AnchorPlacement() const { return anchorPlacement_; }
    void SetAnchorPlacement(int placement);
    int Anchors() const { return anchors_; }
    void SetAnchors(int anchors);
    int Indent() const { return indent_; }
    void SetIndent(int indent);
    const Font& GetFont() const { return font_; }
    // A whole new font; ignored while the header takes its fonts from the page.
    void SetFont(const Font& font);
    // Changes single fields of the font, also while the header takes name and charset from the page.
    void UpdateFont(const std::function<void(Font&)>& change);

    TWizardPageHeader* OwnerHeader() const { return ownerHeader_; }
    void AttachToHeader(TWizardPageHeader* header);
    // Takes the page font's name and character set.
    void FollowPageFont(const Font& pageFont);

    virtual Rect TitleRect(Canvas& canvas, const Rect& available) const;
    // The row below the last line of the text drawn into `available`; its top when not visible.
    int TextBottom(Canvas& canvas, const Rect& available) const;
    // Lays the title out in r and moves r's top below it, so the next title follows.
    void DrawInto(Canvas& canvas, Rect& r) override;

protected:
    void NotifyChange() override;

private:
    TWizardPageHeader* ownerHeader_ = nullptr;
    std::string text_;
    TAlignment alignment_ = taLeftJustify;
    int anchorPlacement_ = 4;
    int anchors_;
    int indent_ = 0;
    Font font_;
};

class TWizardPageHeader : public TWizardPageObject {
public:
    TWizardPageHeader();

    int Height() const { return height_; }
    void SetHeight(int height);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);
    TWizardPageTitle& Title() { return title_; }
    const TWizardPageTitle& Title() const { return title_; }
    void SetTitle(const TWizardPageTitle& title) { title_ = title; }
    TWizardPageTitle& Subtitle() { return subtitle_; }
    const TWizardPageTitle& Subtitle() const { return subtitle_; }
    void SetSubtitle(const TWizardPageTitle& subtitle) { subtitle_ = subtitle; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    int ImageOffset() const { return imageOffset_; }
    void SetImageOffset(int offset);
    TWizardImageLeftRight ImageAlignment() const { return imageAlignment_; }
    void SetImageAlignment(TWizardImageLeftRight alignment);
    bool ShowDivider() const { return showDivider_; }
    void SetShowDivider(bool show);

    void PageFontChanged(const Font& pageFont);
    // Where the header image goes; the text area gives up the image's side.
    virtual Rect PlaceImage(Size image, Rect& textArea) const;
    // The band's height for `band`: Height, or more when the title and subtitle need more lines.
    int NeededHeight(Canvas& canvas, const Rect& band) const;
    // Grows Height to what the texts need on the page as it is now, so that the page's controls
    // are placed below them; never shrinks it.
    void FitTexts(Canvas& canvas);
    void DrawInto(Canvas& canvas, Rect& r) override;

    void NotifyChange() override { TWizardPageObject::NotifyChange(); }

protected:
    void VisibilityChanged() override;
    void AttachedToPage() override;

private:
    // The wizard's header images when ImageIndex names one of them, else none.
    const ImageList* Images() const;
    template <typename T>
    void Store(T& field, T value);

    int height_ = 70;
    bool parentFont_ = true;
    TWizardPageTitle title_;
    TWizardPageTitle subtitle_;
    int imageIndex_ = -1;
    int imageOffset_ = 0;
    TWizardImageLeftRight imageAlignment_ = iaRight;
    bool showDivider_ = true;
};

// A picture with its placement; tells its owner when anything changes.
class TWizardImage {
public:
    explicit TWizardImage(std::function<void()> onChange) : onChange_(std::move(onChange)) {}

    const std::shared_ptr<Graphic>& Picture() const { return picture_; }
    void SetPicture(std::shared_ptr<Graphic> picture);
    TWizardImageAlignment Alignment() const { return alignment_; }
    void SetAlignment(TWizardImageAlignment alignment);
    TWizardImageLayout Layout() const { return layout_; }
    void SetLayout(TWizardImageLayout layout);
    bool Transparent() const;
    void SetTransparent(bool transparent);

    void DrawInto(Canvas& canvas, const Rect& r) const;

private:
    void Changed() const {
        if (onChange_) onChange_();
    }
    std::function<void()> onChange_;
    std::shared_ptr<Graphic> picture_;
    TWizardImageAlignment alignment_ = iaStretch;
    TWizardImageLayout layout_ = ilStretch;
    bool transparent_ = false;
};

enum TWizardLeftRight : std::uint8_t { alLeft, alRight };

class TWizardWaterMark : public TWizardPageObject {
public:
    TWizardWaterMark();

    TWizardLeftRight Align() const { return align_; }
    void SetAlign(TWizardLeftRight align);
    int Width() const { return width_; }
    void SetWidth(int width);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    TWizardImage& Image() { return image_; }

    void DrawInto(Canvas& canvas, Rect& r) override;

protected:
    void VisibilityChanged() override;

private:
    TWizardLeftRight align_ = alLeft;
    int width_ = 164;
    int borderWidth_ = 1;
    TWizardImage image_;
};

class TWizardPagePanel : public TWizardPageObject {
public:
    TWizardPagePanel();
    std::uint16_t BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(std::uint16_t width);
    void DrawInto(Canvas& canvas, Rect& r) override;

private:
    std::uint16_t borderWidth_ = 7;
};

}  // namespace wizard
