// What the artwork needs to know of the control table: every view it places (kind, bitmap,
// rectangle, frames, enclosing panel) and the words printed beside the controls. This is the one
// place of the artwork code that reads type codes and parameter indices.
#pragma once

#include <string>
#include <vector>

enum class CK_ViewKind {
    Knob,
    CurvedKnob,
    ClipLamp,
    LedSwitch,   // animated button that pulses while on
    LoopSwitch,  // animated button that loops its frames while on (bypass)
    OnOff,
    Momentary,
    Exclusive,   // exclusive button, opens and closes panels
    ImageMenu,
    Meter,
    Image,       // the meter scale legend
    MidiLearn,
    GlobalValue,
    GlobalName,
    Readout,
    CurveView,
    EqView,
    Panel,       // sliding and fading panel
    Page,        // band page, shown one at a time
};

struct CK_Rect {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
};

struct CK_PlacedView {
    int record = 0;
    int tag = -1;
    CK_ViewKind kind = CK_ViewKind::Knob;
    const char* bitmap = nullptr; // nullptr for views without a bitmap
    CK_Rect rect;                 // inside the enclosing container
    int frames = 0;               // frames of the bitmap strip, 0 without a bitmap
    int options = 0;              // image menus: number of options
    int parent = -1;              // index of the enclosing panel in the view list, -1 for the window
    int homeX = 0, homeY = 0;     // panels: rest position inside their container
    float minimum = 0, maximum = 0;
    const char* name = nullptr;
    const char* choices = nullptr;
};

// The window's background, named by the table's frame record.
const char* ck_backgroundBitmap();

// Every view of the table in table order, hidden value holders left out.
const std::vector<CK_PlacedView>& ck_placedViews();

// The view's rectangle in window coordinates, its panels at their open (or rest) positions.
CK_Rect ck_windowRect(const CK_PlacedView& view, bool panelsAtHome);

// The index of the view with that tag and kind, -1 when there is none.
int ck_findView(int tag, CK_ViewKind kind);

// The choice labels of a comma-terminated list.
std::vector<std::string> ck_choiceLabels(const char* choices);

// Words printed on the faceplate beside a control: a caption and, for knobs, its range.
// RightTop and LeftTop align the caption with the control's top; OptionsRight and OptionsLeft
// print the choice labels beside an LED ladder, one at each LED.
enum class CK_CaptionSide { Above, Below, Left, Right, RightTop, LeftTop, LeftVertical, OptionsRight, OptionsLeft };
struct CK_Caption {
    int tag;
    const char* text;
    CK_CaptionSide side;
    bool showRange;
};
const std::vector<CK_Caption>& ck_captions();

// The faceplate's sections: a title over the span of the views whose tags are listed, and an
// engraved rule between a section and the next where `ruleAfter` says so.
struct CK_Section {
    const char* title;
    std::vector<int> tags;
    bool ruleAfter;
};
const std::vector<CK_Section>& ck_sections();
// Groups of knobs inside the settings panel, bracketed below their captions.
const std::vector<CK_Section>& ck_settingsGroups();


