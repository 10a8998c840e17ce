// Display views inside a sliding panel fade with it. The panel's opacity reaches them as the
// drawing context's global alpha; scaling their colours by it once more makes the thin lines and
// fills fade out ahead of the panel's bitmaps.
#pragma once

#include <cmath>

#include "gui/CGeometry.h"

inline brelvik::gui::CColor fadedColour(const brelvik::gui::CColor& colour, float opacity, float share = 1.0f)
{
    return colour.withAlpha(static_cast<uint8_t>(std::lround(colour.alpha * opacity * share)));
}
