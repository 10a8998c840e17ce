// Pictures made from the bitmaps: the window as the editor will compose it from the control table,
// and a contact sheet of every bitmap.
#pragma once

#include "resources/artwork/Canvas.h"

#include <map>
#include <string>
#include <vector>

using CK_BitmapSet = std::map<std::string, CK_Canvas>;

// What the window shows: a normalised value per tag, which panels are out, the meters' levels.
struct CK_WindowState {
    std::vector<float> value;
    bool settingsOpen = false;
    bool creditsOpen = false;
    bool midiLearnShown = false;
    int page = 0; // band page shown, by panel number
    double meterDbfs[2] = {-100, -100};
};

CK_WindowState ck_factoryState();       // factory program 0, low band page
CK_WindowState ck_everythingOnState();  // every switch on, meters near full scale
CK_WindowState ck_panelsOpenState();    // settings and credits out, MIDI learn shown

CK_Canvas ck_composeWindow(const CK_BitmapSet& bitmaps, const CK_WindowState& state);
CK_Canvas ck_contactSheet(const CK_BitmapSet& bitmaps);
