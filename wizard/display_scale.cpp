#include "wizard/display_scale.h"

#include <algorithm>
#include <cstdint>

namespace wizard {

namespace {

int displayDpi = kDesignDpi;

}  // namespace

int ScaleLength(int length, int dpi) {
    const std::int64_t product = static_cast<std::int64_t>(length) * dpi;
    const std::int64_t half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}

Rect ScaleRect(const Rect& r, int dpi) {
    return {ScaleLength(r.left, dpi), ScaleLength(r.top, dpi), ScaleLength(r.right, dpi), ScaleLength(r.bottom, dpi)};
}

Size ScaleSize(Size size, int dpi) { return {ScaleLength(size.cx, dpi), ScaleLength(size.cy, dpi)}; }

int DesignLengthFor(int pixels, int dpi) {
    if (pixels <= 0 || dpi <= 0) return pixels;
    int length = static_cast<int>((static_cast<std::int64_t>(pixels) * kDesignDpi) / dpi);
    while (ScaleLength(length, dpi) < pixels) ++length;
    while (length > 0 && ScaleLength(length - 1, dpi) >= pixels) --length;
    return length;
}

Point PlaceOnScreen(Size window, const Rect& screen, const Rect& workArea) {
    Point at{screen.left + (screen.Width() - window.cx) / 2, screen.top + (screen.Height() - window.cy) / 2};
    // Into the work area from the right and the bottom first, so that left and top win.
    at.x = std::max(std::min(at.x, workArea.right - window.cx), workArea.left);
    at.y = std::max(std::min(at.y, workArea.bottom - window.cy), workArea.top);
    return at;
}

int DisplayDpi() { return displayDpi; }

void SetDisplayDpi(int dpi) { displayDpi = dpi > 0 ? dpi : kDesignDpi; }

}  // namespace wizard
