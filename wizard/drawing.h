#pragma once
// Placement rules and drawing helpers of page decoration. The placement functions are pure, so
// the exact pixels are decided here once for every surface.

#include <cstdint>

#include "wizard/canvas.h"
#include "wizard/wizard_types.h"

namespace wizard {

enum TWizardImageAlignment : std::uint8_t { iaLeft, iaRight, iaCenter, iaStretch };
using TWizardImageLeftRight = TWizardImageAlignment;  // iaLeft or iaRight
enum TWizardImageLayout : std::uint8_t { ilTop, ilBottom, ilCenter, ilStretch, ilTile };

// Sides and anchors, as bit sets.
enum : int { sdLeft = 1, sdTop = 2, sdRight = 4, sdBottom = 8, sdAll = 15 };
enum : int { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

// Etched edges (style 3) and single window-frame lines (style 2); 0 and 1 draw nothing.
inline constexpr int kEdgeEtched = 3;
inline constexpr int kEdgeSingle = 2;

struct ImagePlacement {
    Rect rect;       // the target; its top-left is where an unscaled graphic goes
    bool stretched;  // drawn scaled into rect
};

ImagePlacement PlaceImageAligned(Size graphic, Rect r, TWizardImageLayout layout,
                                 TWizardImageAlignment alignment);

// The header image's rectangle inside the header text area; the text area gives up the image's side.
Rect PlaceHeaderImage(Size image, Rect& textArea, TWizardImageLeftRight alignment, int offset);

// Where a title of the measured text size goes inside the available rectangle.
Rect PlaceTitle(Rect available, Size text, int anchors, int placement, int indent);

// Draws the chosen sides and returns the rectangle reduced by what was drawn.
Rect DrawBorderEdges(Canvas& canvas, Rect r, int style, int sides);

void DrawImageAligned(Canvas& canvas, const Graphic* graphic, Rect r, TWizardImageLayout layout,
                      TWizardImageAlignment alignment);

// Throws EWizardError for a graphic without area, which could never cover the rectangle.
void DrawImageTiled(Canvas& canvas, const Graphic& graphic, const Rect& r);

}  // namespace wizard
