// The settings that the layout's settings records set while the control table is walked; every
// view record reads the values set before it.
#pragma once

#include "gui/CGeometry.h"

namespace brelvik::gui {
class CFontDesc;
}

struct CK_LayoutState {
    // Text views (settings record 113): default size, font, back and frame colours.
    int textWidth = 0;
    int textHeight = 0;
    brelvik::gui::CColor fontColour;
    brelvik::gui::CColor backColour;
    brelvik::gui::CColor frameColour;
    const brelvik::gui::CFontDesc* font = nullptr; // record 118; owned by the editor
    // Knob strips (114): 0 means frames = bitmap height / width.
    int knobFrames = 0;
    // Animated buttons, image menus, images and meters (115).
    int animStyleHigh = 0;
    int animFrames = 0;
    float animX = 0.0f;
    float animY = 0.0f;
    float animValue = 0.0f;
    // Sliders (116).
    int sliderWidth = 0;
    int sliderHeight = 0;
    int sliderVertical = 0;
    // The next panel's rest position and motion (117).
    int panelHomeX = 0;
    int panelHomeY = 0;
    int panelHideMode = 0;
    float panelSpeed = 0.0f;
    float panelFadeOff = 0.0f;
    // Text entries created since the editor opened (at most two).
    int textEntryCount = 0;
};
