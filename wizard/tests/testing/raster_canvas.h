#pragma once
// A pixel raster that paints like the real canvas does, where the tests need exact pixels: solid
// fills, one-pixel lines without their end point, graphics as solid blocks. Text is recorded.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "wizard/canvas.h"

namespace wizard::testing {

// A graphic that paints as a solid block of one colour.
struct BlockGraphic : Graphic {
    BlockGraphic(Size s, Color c) : size(s), color(c) {}
    Size size;
    Color color;
    bool transparent = false;
    Size Dimensions() const override { return size; }
    bool Transparent() const override { return transparent; }
    void SetTransparent(bool t) override { transparent = t; }
};

struct BlockImageList : ImageList {
    BlockImageList(int n, Size s) : count(n), size(s) {}
    int count;
    Size size;
    int Count() const override { return count; }
    Size ImageSize() const override { return size; }
};

inline const Color kImageListColor = Color::Rgb(1, 2, 3);

struct TextRun {
    std::string text;
    Rect rect;
    Font font;
    TAlignment alignment;
};

class RasterCanvas : public OffscreenCanvas {
public:
    RasterCanvas(int width, int height) : width_(width), height_(height), pixels_(width * height, Color::None()) {}

    std::vector<TextRun> texts;
    std::vector<Rect> stretched;

    Color At(int x, int y) const { return pixels_.at(y * width_ + x); }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void FillRect(const Rect& r, Color color) override {
        brush_ = color;
        Fill(r, color);
    }
    Color BrushColor() const override { return brush_; }
    void Line(Point from, Point to, Color color) override {
        // The decoration only draws straight lines.
        if (from.y == to.y)
            Fill({std::min(from.x, to.x), from.y, std::max(from.x, to.x), from.y + 1}, color);
        else
            Fill({from.x, std::min(from.y, to.y), from.x + 1, std::max(from.y, to.y)}, color);
    }
    Size TextExtent(const std::string& text, const Font& font) override {
        return {static_cast<int>(text.size()) * CharWidth(font), font.points + 5};
    }
    // Greedy breaks between words, as DrawText makes them; a word wider than the line keeps a line.
    int WrappedTextHeight(const std::string& text, const Font& font, int width) override {
        const int perLine = std::max(1, width / CharWidth(font));
        int lines = 1, used = 0;
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find(' ', start), text.size());
            const int word = static_cast<int>(end - start);
            if (used > 0 && used + 1 + word > perLine) {
                ++lines;
                used = word;
            } else {
                used += (used > 0 ? 1 : 0) + word;
            }
            start = end + 1;
        }
        return lines * (font.points + 5);
    }
    void DrawText(const std::string& text, const Rect& r, const Font& font, TAlignment alignment) override {
        texts.push_back({text, r, font, alignment});
    }
    void DrawGraphic(const Graphic& graphic, Point at) override {
        const Size size = graphic.Dimensions();
        Fill({at.x, at.y, at.x + size.cx, at.y + size.cy}, Block(graphic));
    }
    void StretchGraphic(const Graphic& graphic, const Rect& r) override {
        stretched.push_back(r);
        Fill(r, Block(graphic));
    }
    void DrawListImage(const ImageList&, int, const Rect& r) override { Fill(r, kImageListColor); }
    std::unique_ptr<OffscreenCanvas> CreateOffscreen(Size size) override {
        return std::make_unique<RasterCanvas>(size.cx, size.cy);
    }
    void CopyOffscreen(const OffscreenCanvas& source, Point at) override {
        const auto& raster = dynamic_cast<const RasterCanvas&>(source);
        for (int y = 0; y < raster.height_; ++y)
            for (int x = 0; x < raster.width_; ++x) Fill({at.x + x, at.y + y, at.x + x + 1, at.y + y + 1}, raster.At(x, y));
    }

private:
    static int CharWidth(const Font& font) { return font.bold ? 8 : 6; }
    static Color Block(const Graphic& graphic) { return dynamic_cast<const BlockGraphic&>(graphic).color; }
    void Fill(const Rect& r, Color color) {
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, height_); ++y)
            for (int x = std::max(r.left, 0); x < std::min(r.right, width_); ++x) pixels_[y * width_ + x] = color;
    }
    int width_;
    int height_;
    std::vector<Color> pixels_;
    Color brush_ = Color::None();
};

}  // namespace wizard::testing
