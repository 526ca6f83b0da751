#pragma once
// What page decoration needs from a drawing surface, so that it paints the same through GDI and
// through the test raster.

#include <cstdint>
#include <memory>
#include <string>

#include "wizard/wizard_types.h"

namespace wizard {

enum class SystemColor : std::uint8_t {
    Window, ButtonFace, ButtonShadow, ButtonHighlight, ActiveCaption, WindowText, WindowFrame
};

// A system colour by name, a fixed RGB value, or none (no fill).
class Color {
public:
    static constexpr Color None() { return Color(Kind::None, 0); }
    static constexpr Color System(SystemColor c) { return Color(Kind::System, static_cast<std::uint32_t>(c)); }
    static constexpr Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return Color(Kind::Rgb, r | (g << 8) | (static_cast<std::uint32_t>(b) << 16));
    }

    constexpr bool IsNone() const { return kind_ == Kind::None; }
    constexpr bool IsSystem() const { return kind_ == Kind::System; }
    constexpr SystemColor AsSystem() const { return static_cast<SystemColor>(value_); }
    constexpr std::uint32_t AsRgb() const { return value_; }  // 0x00BBGGRR
    friend constexpr bool operator==(Color, Color) = default;

private:
    enum class Kind : std::uint8_t { None, System, Rgb };
    constexpr Color(Kind kind, std::uint32_t value) : kind_(kind), value_(value) {}
    Kind kind_;
    std::uint32_t value_;
};

struct Font {
    std::string name = "MS Sans Serif";
    int points = 8;
    bool bold = false;
    int charset = 1;  // the platform's default character set
    Color color = Color::System(SystemColor::WindowText);
    friend bool operator==(const Font&, const Font&) = default;
};

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// A picture: a bitmap of the window layer, or a sized stand-in in tests.
class Graphic {
public:
    virtual ~Graphic() = default;
    virtual Size Dimensions() const = 0;
    virtual bool Transparent() const = 0;
    virtual void SetTransparent(bool transparent) = 0;
    virtual bool IsMetafileOrIcon() const { return false; }
};

class ImageList {
public:
    virtual ~ImageList() = default;
    virtual int Count() const = 0;
    virtual Size ImageSize() const = 0;
};

class OffscreenCanvas;

class Canvas {
public:
    virtual ~Canvas() = default;
    // Fills with a solid brush; the colour becomes the canvas's current brush colour.
    virtual void FillRect(const Rect& r, Color color) = 0;
    virtual Color BrushColor() const = 0;
    // Solid pen, copy mode; the end point is not drawn.
    virtual void Line(Point from, Point to, Color color) = 0;
    virtual Size TextExtent(const std::string& text, const Font& font) = 0;
    // The height DrawText takes for the text wrapped at word breaks into the width.
    virtual int WrappedTextHeight(const std::string& text, const Font& font, int width) = 0;
    // Word-wrapped inside r, without background.
    virtual void DrawText(const std::string& text, const Rect& r, const Font& font, TAlignment alignment) = 0;
    virtual void DrawGraphic(const Graphic& graphic, Point topLeft) = 0;
    virtual void StretchGraphic(const Graphic& graphic, const Rect& r) = 0;
    // Stretched smoothly to r when r is not the list's image size.
    virtual void DrawListImage(const ImageList& images, int index, const Rect& r) = 0;
    virtual std::unique_ptr<OffscreenCanvas> CreateOffscreen(Size size) = 0;
    virtual void CopyOffscreen(const OffscreenCanvas& source, Point topLeft) = 0;
};

class OffscreenCanvas : public Canvas {};

}  // namespace wizard
