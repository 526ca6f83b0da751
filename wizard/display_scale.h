#pragma once
// The window code gives every size and position in pixels of a 96 DPI display. Before one is used
// it is scaled to the display's DPI, as the fonts already are (they are made in points), so that
// a larger font never finds a control of the old size. The DPI is decided once at start-up; until
// then, and in tests that set none, it is 96 and nothing is scaled.

#include "wizard/wizard_types.h"

namespace wizard {

inline constexpr int kDesignDpi = 96;

// length × dpi / 96, rounded to the nearest pixel, halves away from zero (as MulDiv rounds).
int ScaleLength(int length, int dpi);
// Each edge on its own, so that controls that touch at 96 DPI still touch.
Rect ScaleRect(const Rect& r, int dpi);
Size ScaleSize(Size size, int dpi);
// The smallest length at 96 DPI that scales to at least `pixels`.
int DesignLengthFor(int pixels, int dpi);

// Where a top-level window of this size goes: centred on the screen, or, where it does not fit
// the work area (a large DPI on a small screen), moved in so that its caption bar and left edge
// stay reachable.
Point PlaceOnScreen(Size window, const Rect& screen, const Rect& workArea);

int DisplayDpi();
// Called once, by the window layer at start-up; a value below 1 is taken as 96.
void SetDisplayDpi(int dpi);

// At the display's DPI.
inline int Scaled(int length) { return ScaleLength(length, DisplayDpi()); }
inline Rect Scaled(const Rect& r) { return ScaleRect(r, DisplayDpi()); }
inline Size Scaled(Size size) { return ScaleSize(size, DisplayDpi()); }

// Sets the display's DPI for a test and gives the old one back at its end.
class DisplayDpiOverride {
public:
    explicit DisplayDpiOverride(int dpi) : previous_(DisplayDpi()) { SetDisplayDpi(dpi); }
    ~DisplayDpiOverride() { SetDisplayDpi(previous_); }
    DisplayDpiOverride(const DisplayDpiOverride&) = delete;
    DisplayDpiOverride& operator=(const DisplayDpiOverride&) = delete;

private:
    int previous_;
};

}  // namespace wizard
