// Control type codes of the control table and the ranges that decide how the shell and the editor
// treat a record. Dependency-free; shared by the shell and the editor.
#pragma once

#include <cstdint>

namespace ControlFlag {
constexpr int16_t kGlobal = static_cast<int16_t>(0x8000); // panel-level control, never stored per program
constexpr int16_t kDisplayOnly = 0x4000;                  // animated button that ignores the mouse
} // namespace ControlFlag

namespace ControlType {

// Views.
constexpr int16_t kKnob = 0;
constexpr int16_t kSpringKnob = 1;        // returns to the centre on release
constexpr int16_t kCurvedKnob = 2;
constexpr int16_t kRotateKnob = 3;        // rotated bitmap layers
constexpr int16_t kRotateSpringKnob = 4;
constexpr int16_t kSlider = 5;            // handle on a track, orientation from record 116
constexpr int16_t kSpringSlider = 6;
constexpr int16_t kClipLamp = 7;    // animated button, on at once, off after one tick
constexpr int16_t kLedSwitch = 10;  // animated button, pulses while on
constexpr int16_t kLoopSwitch = 13; // animated button, loops its frames while on
constexpr int16_t kOnOff = 14;
constexpr int16_t kMomentary = 15;
constexpr int16_t kOnOnly = 16;
constexpr int16_t kButtonHub = 17;  // invisible, one option per choice
constexpr int16_t kExclusive = 18;  // exclusive button, the group may be all off
constexpr int16_t kExclusiveKeepOne = 19; // exclusive button, one of the group stays on
constexpr int16_t kTextMenu = 20;
constexpr int16_t kImageMenuList = 21;    // image menu whose click opens the option list
constexpr int16_t kImageMenu = 22;
constexpr int16_t kImageMenuEased = 23;   // 23..28: image mode type - 23, eased by the record-115 value
constexpr int16_t kImageMenuEmpty = 29;   // image menu that starts with no option shown
constexpr int16_t kReadout = 36;    // read-only number, one decimal
constexpr int16_t kStore = 40;      // invisible value holder
constexpr int16_t kGlobalValue = 41;
constexpr int16_t kGlobalName = 42;
constexpr int16_t kMidiLearn = 56;
constexpr int16_t kImage = 58;
constexpr int16_t kTextOnly = 63;   // one line of text from the choices field
constexpr int16_t kMultiText = 64;  // the latest lines of a text log
constexpr int16_t kWaveFreq = 65;   // wave and frequency view, placed by no record
constexpr int16_t kCurveLow = 66;
constexpr int16_t kCurveMid = 67;
constexpr int16_t kCurveHigh = 68;
constexpr int16_t kMeter = 74;      // bar meter with four scales
constexpr int16_t kEqView = 86;

// Records that create no view.
constexpr int16_t kGroup = 106;       // exclusive group: partners aux, x, y of tag
constexpr int16_t kPanels = 107;      // panels aux, x, y opened and closed by tag
constexpr int16_t kLink = 110;        // tag registers x under id aux
constexpr int16_t kLink2 = 111;       // tag and x register each other under id aux
constexpr int16_t kReserved = 112;    // skipped by the editor
constexpr int16_t kText = 113;        // text views: width x, height y, colour entries aux..aux+2
constexpr int16_t kKnobFrames = 114;  // knob strip frames x, 0 = from the bitmap's proportions
constexpr int16_t kAnim = 115;        // animated buttons and images: style high byte = parameter,
                                      // frames aux (0 = from bitmap/options), value min
constexpr int16_t kPanelHome = 117;   // next panel: home x, y, hide mode aux, speed min, fade max
constexpr int16_t kFont = 118;        // font named by the bitmap field
constexpr int16_t kFrame = 119;       // record 0 only; never walked
constexpr int16_t kPanel = 120;       // sliding, fading panel number tag
constexpr int16_t kPage = 121;        // band page number tag, shown one at a time
constexpr int16_t kClose = 122;       // closes the current panel or page
constexpr int16_t kEnd = 123;         // this and every higher code ends the table

// Ranges.
constexpr int16_t kKnobFirst = kKnob, kKnobLast = kCurvedKnob;           // style = type - kKnobFirst
constexpr int16_t kAnimButtonFirst = kClipLamp, kAnimButtonLast = kLoopSwitch; // animation = type - first
constexpr int16_t kOnOffFirst = kOnOff, kOnOffLast = kOnOnly;           // style = type - kOnOffFirst
constexpr int16_t kOptionImageFirst = 21, kOptionImageLast = 28;
constexpr int16_t kChoiceOther = 54;
constexpr int16_t kReadoutFirst = 30, kReadoutLast = 39;     // number entries and read-outs
constexpr int16_t kReadOnlyFirst = 35;                       // read-only from here on
constexpr int16_t kTextEntryFirst = 43, kTextEntryLast = 47;
constexpr int16_t kCurveFirst = kCurveLow, kCurveLast = 69; // curve views; band = type - kCurveFirst
constexpr int16_t kMeterFirst = 70, kMeterLast = 76;        // meters; scales = type - kMeterFirst
constexpr int16_t kEqViewFirst = kEqView, kEqViewLast = 93; // EQ views; colour scheme = type - kEqViewFirst
constexpr int16_t kDefaultControllerLimit = 55; // below: the controller field is a default MIDI controller
constexpr int16_t kDefiningLimit = 102;         // below: the record can define its parameter

// Choice lists: the host sees their labels and the effect counts their options.
constexpr bool isChoiceType(int type)
{
    return type == kButtonHub || type == kTextMenu ||
           (type >= kOptionImageFirst && type <= kOptionImageLast) || type == kChoiceOther;
}

constexpr bool isReadout(int type) { return type >= kReadoutFirst && type <= kReadoutLast; }
constexpr bool isGlobalDisplay(int type) { return type == kGlobalValue || type == kGlobalName; }
constexpr bool isTextEntry(int type) { return type >= kTextEntryFirst && type <= kTextEntryLast; }
constexpr bool canDefineParameter(int type) { return type < kDefiningLimit; }
constexpr bool takesDefaultController(int type) { return type < kDefaultControllerLimit; }
constexpr bool endsTable(int type) { return type >= kEnd; }
constexpr bool isCurveView(int type) { return type >= kCurveFirst && type <= kCurveLast; }
constexpr bool isMeter(int type) { return type >= kMeterFirst && type <= kMeterLast; }
constexpr bool isEqView(int type) { return type >= kEqViewFirst && type <= kEqViewLast; }

} // namespace ControlType
