#pragma once
// The decoration's canvas over a GDI device context, the off-screen bitmap canvas used for
// double-buffered painting, and bitmaps and image lists as the decoration sees them.

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "wizard/canvas.h"
#include "wizard/win32/gdi_handles.h"

namespace wizard::win32 {

// Every geometry of the window code follows the display's DPI (wizard::DisplayDpi): read from
// the screen once at start-up, before the first window is made.
void DecideDisplayDpi();

COLORREF ResolveColor(Color color);
UniqueFont CreateFontFor(HDC dc, const Font& font);

class GdiGraphic : public Graphic {
public:
    explicit GdiGraphic(UniqueBitmap bitmap);
    // A bitmap file or resource-less picture; empty when the file cannot be read.
    static std::shared_ptr<GdiGraphic> FromFile(const std::string& path);
    HBITMAP Bitmap() const { return bitmap_.get(); }
    Size Dimensions() const override { return size_; }
    bool Transparent() const override { return transparent_; }
    void SetTransparent(bool transparent) override { transparent_ = transparent; }

private:
    UniqueBitmap bitmap_;
    Size size_;
    bool transparent_ = false;
};

class GdiImageList : public ImageList {
public:
    explicit GdiImageList(UniqueImageList list) : list_(std::move(list)) {}
    HIMAGELIST Handle() const { return list_.get(); }
    int Count() const override;
    Size ImageSize() const override;

private:
    UniqueImageList list_;
};

class GdiCanvas : public OffscreenCanvas {
public:
    explicit GdiCanvas(HDC dc) : dc_(dc) {}
    HDC Dc() const { return dc_; }

    void FillRect(const Rect& r, Color color) override;
    Color BrushColor() const override { return brush_; }
    void Line(Point from, Point to, Color color) override;
    Size TextExtent(const std::string& text, const Font& font) override;
    int WrappedTextHeight(const std::string& text, const Font& font, int width) override;
    void DrawText(const std::string& text, const Rect& r, const Font& font, TAlignment alignment) override;
    void DrawGraphic(const Graphic& graphic, Point topLeft) override;
    void StretchGraphic(const Graphic& graphic, const Rect& r) override;
    void DrawListImage(const ImageList& images, int index, const Rect& r) override;
    std::unique_ptr<OffscreenCanvas> CreateOffscreen(Size size) override;
    void CopyOffscreen(const OffscreenCanvas& source, Point topLeft) override;

private:
    HFONT FontFor(const Font& font);

    HDC dc_;
    Color brush_ = Color::System(SystemColor::ButtonFace);
    std::map<std::tuple<std::string, int, bool, int>, UniqueFont> fonts_;
};

// A memory DC with a bitmap selected into it, compatible with a reference DC.
class BitmapSurface {
public:
    BitmapSurface(HDC reference, Size size);
    HDC Dc() const { return dc_.get(); }
    HBITMAP Bitmap() const { return bitmap_.get(); }
    Size GetSize() const { return size_; }

private:
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    SelectGuard selection_;
    Size size_;
};

class BitmapCanvas : private BitmapSurface, public GdiCanvas {
public:
    BitmapCanvas(HDC reference, Size size) : BitmapSurface(reference, size), GdiCanvas(BitmapSurface::Dc()) {}
    using BitmapSurface::Bitmap;
    using BitmapSurface::GetSize;
    using GdiCanvas::Dc;
    // Copies the whole bitmap to the target DC at (0, 0).
    void Present(HDC target) const;
};

}  // namespace wizard::win32
