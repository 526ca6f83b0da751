#include "wizard/drawing.h"

#include <algorithm>

#include "wizard/display_scale.h"

namespace wizard {

ImagePlacement PlaceImageAligned(Size graphic, Rect r, TWizardImageLayout layout,
                                 TWizardImageAlignment alignment) {
    const int w = r.Width();
    const int h = r.Height();
    int dx = 0;
    int dy = 0;
    if ((alignment == iaRight || alignment == iaCenter) && graphic.cx < w) {
        dx = w - graphic.cx;
        if (alignment == iaCenter) {
            dx /= 2;
            r.right -= dx;
        }
    }
    if ((layout == ilBottom || layout == ilCenter) && graphic.cy < h) {
        dy = h - graphic.cy;
        if (layout == ilCenter) {
            dy /= 2;
            r.bottom -= dy;
        }
    }
    if (layout == ilTop && graphic.cy < h) r.bottom = r.top + graphic.cy;
    if (alignment == iaLeft && graphic.cx < w) r.right = r.left + graphic.cx;
    r.left += dx;
    r.top += dy;
    return {r, alignment == iaStretch || layout == ilStretch};
}

Rect PlaceHeaderImage(Size image, Rect& textArea, TWizardImageLeftRight alignment, int offset) {
    Rect ir{textArea.left, textArea.top, textArea.left + image.cx, textArea.top + image.cy};
    const int down = (textArea.Height() - image.cy) / 2;
    ir.top += down;
    ir.bottom += down;
    if (alignment == iaLeft) {
        ir.left += offset;
        ir.right += offset;
        textArea.left = std::max(textArea.left, ir.right);
    } else {
        const int right = textArea.Width() - image.cx - Scaled(4) - offset;
        ir.left += right;
        ir.right += right;
        textArea.right = std::min(textArea.right, ir.left);
    }
    return ir;
}

Rect PlaceTitle(Rect available, Size text, int anchors, int placement, int indent) {
    Rect t{available.left, available.top, available.left + text.cx, available.top + text.cy};
    if (anchors & akLeft) {
        t.left += placement;
        t.right += placement;
    }
    if (anchors & akTop) {
        t.top += placement;
        t.bottom += placement;
    }
    if (anchors & akRight) t.right = available.right - placement;
    if (anchors & akBottom) t.bottom = available.bottom - placement;
    t.left += indent;
    t.right -= indent;
    t.bottom = std::min(t.bottom, available.bottom);
    t.right = std::min(t.right, available.right);
    return t;
}

namespace {

// One pass of the etched edge: each chosen side of r as a line whose end point is left out.
void DrawSides(Canvas& canvas, const Rect& r, int sides, Color color) {
    if (sides & sdTop) canvas.Line({r.left, r.top}, {r.right, r.top}, color);
    if (sides & sdLeft) canvas.Line({r.left, r.top}, {r.left, r.bottom}, color);
    if (sides & sdRight) canvas.Line({r.right - 1, r.top}, {r.right - 1, r.bottom}, color);
    if (sides & sdBottom) canvas.Line({r.left, r.bottom - 1}, {r.right, r.bottom - 1}, color);
}

Rect Reduce(Rect r, int sides, int by) {
    if (sides & sdLeft) r.left += by;
    if (sides & sdTop) r.top += by;
    if (sides & sdRight) r.right -= by;
    if (sides & sdBottom) r.bottom -= by;
    return r;
}

}  // namespace

Rect DrawBorderEdges(Canvas& canvas, Rect r, int style, int sides) {
    if (style == kEdgeEtched) {
        DrawSides(canvas, {r.left + 1, r.top + 1, r.right, r.bottom}, sides,
                  Color::System(SystemColor::ButtonHighlight));
        DrawSides(canvas, {r.left, r.top, r.right - 1, r.bottom - 1}, sides,
                  Color::System(SystemColor::ButtonShadow));
        return Reduce(r, sides, 2);
    }
    if (style == kEdgeSingle) {
        DrawSides(canvas, r, sides, Color::System(SystemColor::WindowFrame));
        return Reduce(r, sides, 1);
    }
    return r;
}

void DrawImageAligned(Canvas& canvas, const Graphic* graphic, Rect r, TWizardImageLayout layout,
                      TWizardImageAlignment alignment) {
    if (!graphic) return;
    if (layout == ilTile) {
        DrawImageTiled(canvas, *graphic, r);
        return;
    }
    // A picture keeps its size on the page: at another DPI it is drawn at its scaled size.
    const Size native = graphic->Dimensions();
    const Size size = Scaled(native);
    const ImagePlacement place = PlaceImageAligned(size, r, layout, alignment);
    const Point at = place.rect.TopLeft();
    if (place.stretched)
        canvas.StretchGraphic(*graphic, place.rect);
    else if (size == native)
        canvas.DrawGraphic(*graphic, at);
    else
        canvas.StretchGraphic(*graphic, {at.x, at.y, at.x + size.cx, at.y + size.cy});
}

void DrawImageTiled(Canvas& canvas, const Graphic& graphic, const Rect& r) {
    const Size tile = graphic.Dimensions();
    if (tile.cx <= 0 || tile.cy <= 0) throw EWizardError("Tiling only works on images with dimensions > 0");
    const Size size{r.Width(), r.Height()};
    if (size.cx <= 0 || size.cy <= 0) return;
    auto buffer = canvas.CreateOffscreen(size);
    buffer->FillRect({0, 0, size.cx, size.cy}, canvas.BrushColor());
    for (int y = 0; y <= size.cy; y += tile.cy)
        for (int x = 0; x <= size.cx; x += tile.cx) buffer->DrawGraphic(graphic, {x, y});
    canvas.CopyOffscreen(*buffer, r.TopLeft());
}

}  // namespace wizard
