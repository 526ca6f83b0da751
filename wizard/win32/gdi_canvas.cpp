#include "wizard/win32/gdi_canvas.h"

#include "wizard/display_scale.h"

namespace wizard::win32 {

COLORREF ResolveColor(Color color) {
    if (!color.IsSystem()) return color.AsRgb();
    switch (color.AsSystem()) {
    case SystemColor::Window: return ::GetSysColor(COLOR_WINDOW);
    case SystemColor::ButtonFace: return ::GetSysColor(COLOR_BTNFACE);
    case SystemColor::ButtonShadow: return ::GetSysColor(COLOR_BTNSHADOW);
    case SystemColor::ButtonHighlight: return ::GetSysColor(COLOR_BTNHIGHLIGHT);
    case SystemColor::ActiveCaption: return ::GetSysColor(COLOR_ACTIVECAPTION);
    case SystemColor::WindowText: return ::GetSysColor(COLOR_WINDOWTEXT);
    case SystemColor::WindowFrame: return ::GetSysColor(COLOR_WINDOWFRAME);
    }
    return 0;
}

void DecideDisplayDpi() { SetDisplayDpi(::GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY)); }

UniqueFont CreateFontFor(HDC dc, const Font& font) {
    const int height = -::MulDiv(font.points, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    return UniqueFont(::CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                    static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.name.c_str()));
}

GdiGraphic::GdiGraphic(UniqueBitmap bitmap) : bitmap_(std::move(bitmap)) {
    BITMAP info{};
    if (bitmap_ && ::GetObjectA(bitmap_.get(), sizeof info, &info)) size_ = {info.bmWidth, info.bmHeight};
}

std::shared_ptr<GdiGraphic> GdiGraphic::FromFile(const std::string& path) {
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!bitmap) return nullptr;
    return std::make_shared<GdiGraphic>(std::move(bitmap));
}

int GdiImageList::Count() const { return ::ImageList_GetImageCount(list_.get()); }

Size GdiImageList::ImageSize() const {
    int cx = 0;
    int cy = 0;
    ::ImageList_GetIconSize(list_.get(), &cx, &cy);
    return {cx, cy};
}

void GdiCanvas::FillRect(const Rect& r, Color color) {
    brush_ = color;
    if (color.IsNone()) return;
    UniqueBrush brush(::CreateSolidBrush(ResolveColor(color)));
    const RECT rc{r.left, r.top, r.right, r.bottom};
    ::FillRect(dc_, &rc, brush.get());
}

void GdiCanvas::Line(Point from, Point to, Color color) {
    UniquePen pen(::CreatePen(PS_SOLID, 1, ResolveColor(color)));
    SelectGuard selected(dc_, pen.get());
    const int oldRop = ::SetROP2(dc_, R2_COPYPEN);
    ::MoveToEx(dc_, from.x, from.y, nullptr);
    ::LineTo(dc_, to.x, to.y);  // GDI leaves the end point out
    ::SetROP2(dc_, oldRop);
}

HFONT GdiCanvas::FontFor(const Font& font) {
    auto key = std::make_tuple(font.name, font.points, font.bold, font.charset);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) it = fonts_.emplace(key, CreateFontFor(dc_, font)).first;
    return it->second.get();
}

Size GdiCanvas::TextExtent(const std::string& text, const Font& font) {
    SelectGuard selected(dc_, FontFor(font));
    SIZE size{};
    ::GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy};
}

int GdiCanvas::WrappedTextHeight(const std::string& text, const Font& font, int width) {
    SelectGuard selected(dc_, FontFor(font));
    RECT rc{0, 0, width, 0};
    ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &rc, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    return rc.bottom;
}

void GdiCanvas::DrawText(const std::string& text, const Rect& r, const Font& font, TAlignment alignment) {
    SelectGuard selected(dc_, FontFor(font));
    const int oldMode = ::SetBkMode(dc_, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dc_, ResolveColor(font.color));
    RECT rc{r.left, r.top, r.right, r.bottom};
    const UINT justify = alignment == taCenter ? DT_CENTER : alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &rc, DT_WORDBREAK | DT_NOPREFIX | justify);
    ::SetTextColor(dc_, oldColor);
    ::SetBkMode(dc_, oldMode);
}

namespace {

// Runs draw with a memory DC that holds the graphic's bitmap.
template <typename Draw>
void WithBitmapDc(HDC target, const Graphic& graphic, Draw draw) {
    const auto* gdi = dynamic_cast<const GdiGraphic*>(&graphic);
    if (!gdi || !gdi->Bitmap()) return;
    UniqueMemoryDc source(::CreateCompatibleDC(target));
    SelectGuard selected(source.get(), gdi->Bitmap());
    draw(source.get(), gdi->Dimensions());
}

}  // namespace

void GdiCanvas::DrawGraphic(const Graphic& graphic, Point topLeft) {
    WithBitmapDc(dc_, graphic, [&](HDC source, Size size) {
        ::BitBlt(dc_, topLeft.x, topLeft.y, size.cx, size.cy, source, 0, 0, SRCCOPY);
    });
}

void GdiCanvas::StretchGraphic(const Graphic& graphic, const Rect& r) {
    WithBitmapDc(dc_, graphic, [&](HDC source, Size size) {
        const int oldMode = ::SetStretchBltMode(dc_, HALFTONE);
        ::StretchBlt(dc_, r.left, r.top, r.Width(), r.Height(), source, 0, 0, size.cx, size.cy, SRCCOPY);
        ::SetStretchBltMode(dc_, oldMode);
    });
}

void GdiCanvas::DrawListImage(const ImageList& images, int index, const Rect& r) {
    const auto* list = dynamic_cast<const GdiImageList*>(&images);
    if (!list) return;
    if (Size{r.Width(), r.Height()} == images.ImageSize()) {
        ::ImageList_Draw(list->Handle(), index, dc_, r.left, r.top, ILD_NORMAL);
        return;
    }
    // At another DPI the image fills its scaled place, smoothly, with its mask kept.
    platform::win32::UniqueIcon icon(::ImageList_GetIcon(list->Handle(), index, ILD_NORMAL));
    if (!icon) return;
    const int oldMode = ::SetStretchBltMode(dc_, HALFTONE);
    ::DrawIconEx(dc_, r.left, r.top, icon.get(), r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
    ::SetStretchBltMode(dc_, oldMode);
}

std::unique_ptr<OffscreenCanvas> GdiCanvas::CreateOffscreen(Size size) {
    return std::make_unique<BitmapCanvas>(dc_, size);
}

void GdiCanvas::CopyOffscreen(const OffscreenCanvas& source, Point topLeft) {
    const auto& bitmap = dynamic_cast<const BitmapCanvas&>(source);
    const Size size = bitmap.GetSize();
    ::BitBlt(dc_, topLeft.x, topLeft.y, size.cx, size.cy, bitmap.Dc(), 0, 0, SRCCOPY);
}

BitmapSurface::BitmapSurface(HDC reference, Size size)
    : dc_(::CreateCompatibleDC(reference)),
      bitmap_(::CreateCompatibleBitmap(reference, std::max(size.cx, 1), std::max(size.cy, 1))),
      selection_(dc_.get(), bitmap_.get()),
      size_(size) {}

void BitmapCanvas::Present(HDC target) const {
    ::BitBlt(target, 0, 0, GetSize().cx, GetSize().cy, Dc(), 0, 0, SRCCOPY);
}

}  // namespace wizard::win32
