// The control table and the parameter index maps built over it.
#include "shell/ControlTable.h"

namespace {

// Flag bits.
constexpr int16_t kGlobal = static_cast<int16_t>(0x8000); // panel-level control, never stored per program
constexpr int16_t kDisplayOnly = 0x4000;                  // animated button that ignores the mouse

// Type codes of the views this table creates.
constexpr int16_t kKnob = 0;
constexpr int16_t kCurvedKnob = 2;
constexpr int16_t kClipLamp = 7;    // animated button, on at once, off after one tick
constexpr int16_t kLedSwitch = 10;  // animated button, pulses while on
constexpr int16_t kLoopSwitch = 13; // animated button, loops its frames while on
constexpr int16_t kOnOff = 14;
constexpr int16_t kMomentary = 15;
constexpr int16_t kExclusive = 18;  // exclusive button, the group may be all off
constexpr int16_t kTextMenu = 20;
constexpr int16_t kImageMenu = 22;
constexpr int16_t kReadout = 36;    // read-only number, one decimal
constexpr int16_t kStore = 40;      // invisible value holder
constexpr int16_t kGlobalValue = 41;
constexpr int16_t kGlobalName = 42;
constexpr int16_t kMidiLearn = 56;
constexpr int16_t kImage = 58;
constexpr int16_t kCurveLow = 66;
constexpr int16_t kCurveMid = 67;
constexpr int16_t kCurveHigh = 68;
constexpr int16_t kMeter = 74;      // bar meter with four scales
constexpr int16_t kEqView = 86;

// Type codes of records that create no view.
constexpr int16_t kDefiningTypeLimit = 102; // types below this can define their parameter
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
constexpr int16_t kEnd = kControlTypeEnd;

constexpr const char* kNone = nullptr;

} // namespace

// Columns: parameter (tag), flags, type, controller (aux), x, y, extra, bitmap, min, max, name,
// choices, tooltip.
//
// Layout decisions:
// - Record 0 is the frame record: it names the background "BGD.png" (name and bitmap fields) and
//   has the range 0 to 0 that parameters without a record of their own report.
// - Reserved records (17, 18, 22, 63, 68, 151, 152) keep every view at its fixed record index.
// - Records 4 and 149 clear the animation frame count so that the image menus after them take one
//   frame per option; 25, 42, 65, 97, 164, 166 and 168 set the frames of the animated buttons that
//   follow. A parameter field of -1 on these records makes the LED and bypass buttons stop at once
//   when switched off; the clip lamps (0) go dark one tick later.
// - Font records name their font as "<family> <points>" in the bitmap field.
// - Link records: tag = parameter field, id = controller field, partner = x; unused partners and
//   the y of two-view links are -1.
// - Each band page is opened by its type-121 record right before its first knob and closed after
//   its curve-view links; panels 0, 1 and 40 are preceded by the record that places their home.
// - Hidden value holders lie at (-100, -100); the contour menus at x = -1900.
// - Controller field as editor value: 4 frames for the scale legend (104), 255 for the meters
//   (one-pixel segments, single level), bit 0 for the curve views (compressor part on), 0x35 for the
//   EQ view (5 bands, 3 split regions).
const CK_ControlRecord kControlTable[kControlRecordCount] = {
    // Frame record
    /*   0 */ {-1,  0,            kFrame,       -1,   0,     0,    0, "BGD.png",            0,       0,     "BGD.png",        kNone,                                 kNone},

    // Global name and value displays
    /*   1 */ {-1,  0,            kText,        39,   214,   26,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*   2 */ {-1,  0,            kFont,        0,    0,     0,    0, "Arial 24",           0,       0,     kNone,            kNone,                                 kNone},
    /*   3 */ {-1,  0,            kKnobFrames,  0,    0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*   4 */ {0,   0,            kAnim,        0,    0,     0,    0, kNone,                1,       0,     kNone,            kNone,                                 kNone},
    /*   5 */ {94,  0,            kGlobalValue, -1,   814,   53,   0, kNone,                0,       10,    "Global#",        kNone,                                 "Parameter Value"},
    /*   6 */ {95,  0,            kGlobalName,  -1,   814,   25,   0, kNone,                0,       10,    "GlobalNm",       kNone,                                 "Parameter Name"},

    // Envelope shaping: contour menus and constant holders, outside the window
    /*   7 */ {-1,  0,            kFont,        0,    0,     0,    0, "Arial 12",           0,       0,     kNone,            kNone,                                 kNone},
    /*   8 */ {38,  0,            kStore,       -1,   -100,  -100, 0, kNone,                0,       1000,  "AtkConstA",      kNone,                                 kNone},
    /*   9 */ {39,  0,            kStore,       -1,   -100,  -100, 0, kNone,                0,       500,   "AtkConstB",      kNone,                                 kNone},
    /*  10 */ {40,  0,            kTextMenu,    -1,   -1900, -700, 0, kNone,                0,       6,     "AtkContour",     "Lin,Exp,Exp2,IExp,SCrv,SCrv2,ISCrv,", "Contour"},
    /*  11 */ {41,  0,            kStore,       -1,   -100,  -100, 0, kNone,                0,       1000,  "HoldConstA",     kNone,                                 kNone},
    /*  12 */ {42,  0,            kStore,       -1,   -100,  -100, 0, kNone,                0,       500,   "HoldConstB",     kNone,                                 kNone},
    /*  13 */ {43,  0,            kTextMenu,    -1,   -1900, -600, 0, kNone,                0,       6,     "HoldContour",    "Lin,Exp,Exp2,IExp,SCrv,SCrv2,ISCrv,", "Contour"},
    /*  14 */ {44,  0,            kStore,       -1,   -100,  -100, 0, kNone,                0,       4000,  "RelConstA",      kNone,                                 kNone},
    /*  15 */ {45,  0,            kStore,       -1,   -100,  -100, 0, kNone,                0,       2000,  "RelConstB",      kNone,                                 kNone},
    /*  16 */ {46,  0,            kTextMenu,    -1,   -1900, -500, 0, kNone,                0,       6,     "RelContour",     "Lin,Exp,Exp2,IExp,SCrv,SCrv2,ISCrv,", "Contour"},
    /*  17 */ {-1,  0,            kReserved,    -1,   0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  18 */ {-1,  0,            kReserved,    -1,   0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Enhancer and spatial mode menus (one bitmap frame per option)
    /*  19 */ {59,  0,            kImageMenu,   -1,   658,   134,  0, "EnMb.png",           0,       2,     "Bass Mode",      "Punch,Normal,Dense,",                 "Bass Dynamics Mode:\nPunch, Normal, Dense"},
    /*  20 */ {66,  0,            kImageMenu,   -1,   721,   134,  0, "EnMb.png",           0,       2,     "High Mode",      "Low,Normal,Hard,",                    "High Dynamics Mode:\nLow, Normal, Hard"},
    /*  21 */ {51,  0,            kImageMenu,   -1,   812,   101,  0, "SpMb.png",           0,       2,     "Spatial Mode",   "Low:Mid:High,Mid:High,High,",         "Spatial Multi-Band Mode:\nActive Bands"},
    /*  22 */ {-1,  0,            kReserved,    -1,   0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  23 */ {62,  0,            kImageMenu,   -1,   597,   22,   0, "HType.png",          1,       2,     "Lo Harmonics",   "Soft,Hard,",                          "Psychoacoustic Bass\nType: Soft, Hard"},
    /*  24 */ {69,  0,            kImageMenu,   -1,   761,   22,   0, "HType.png",          1,       2,     "Hi Harmonics",   "Soft,Hard,",                          "Psychoacoustic High\nType: Soft, Hard"},

    // Bass and high enhancers, spatial image
    /*  25 */ {-1,  0,            kAnim,        3,    0,     0,    0, kNone,                0.08f,   0,     kNone,            kNone,                                 kNone},
    /*  26 */ {81,  0,            kLedSwitch,   -1,   632,   24,   0, "HD.png",             0,       10,    "PsyBass Mode",   kNone,                                 "Psychoacoustic Bass\nMode: Normal, Dynamic"},
    /*  27 */ {60,  0,            kLedSwitch,   -1,   647,   22,   0, "Led_OnOff.png",      0,       10,    "Psycho Bass",    kNone,                                 "Psychoacoustic Bass\nActive: Off, On"},
    /*  28 */ {61,  0,            kKnob,        -1,   594,   42,   0, "KnobS.png",          0,       100,   "Psycho Bass %",  kNone,                                 "Psychoacoustic Bass:\nLevel"},
    /*  29 */ {56,  0,            kLedSwitch,   -1,   614,   152,  0, "Led_OnOff.png",      0,       10,    "Bass On",        kNone,                                 "Bass Dynamics Active:\nOff, On"},
    /*  30 */ {57,  0,            kKnob,        -1,   594,   87,   0, "KnobL.png",          0,       100,   "Bass Dynamics",  kNone,                                 "Bass Dynamics Level"},
    /*  31 */ {58,  0,            kKnob,        -1,   646,   59,   0, "KnobS.png",          40,      400,   "Bass Enh Freq",  kNone,                                 "Bass Enhancer Frequency"},
    /*  32 */ {82,  0,            kLedSwitch,   -1,   744,   24,   0, "HD.png",             0,       10,    "PsyHigh Mode",   kNone,                                 "Psychoacoustic High\nMode: Normal, Dynamic"},
    /*  33 */ {67,  0,            kLedSwitch,   -1,   702,   22,   0, "Led_OnOff.png",      0,       10,    "Psycho High",    kNone,                                 "Psychoacoustic High\nActive: Off, On"},
    /*  34 */ {80,  0,            kLedSwitch,   -1,   705,   97,   0, "HB.png",             0,       10,    "High Filter",    kNone,                                 "High Enhancer Type:\nHigh Pass, Band Pass"},
    /*  35 */ {68,  0,            kKnob,        -1,   758,   42,   0, "KnobS.png",          0,       100,   "Psycho High %",  kNone,                                 "Psychoacoustic High\nLevel"},
    /*  36 */ {63,  0,            kLedSwitch,   -1,   739,   152,  0, "Led_OnOff.png",      0,       10,    "High On",        kNone,                                 "High Dynamics Active:\nOff, On"},
    /*  37 */ {64,  0,            kKnob,        -1,   732,   87,   0, "KnobL.png",          0,       100,   "High Dynamics",  kNone,                                 "High Dynamics Level"},
    /*  38 */ {65,  0,            kKnob,        -1,   705,   59,   0, "KnobS.png",          1000,    18000, "High Enh Freq",  kNone,                                 "High Enhancer Frequency"},
    /*  39 */ {50,  0,            kKnob,        -1,   847,   91,   0, "KnobS.png",          -100,    100,   "Spatial",        kNone,                                 "Spatial Image\nLeft: Crossover\nRight: Boost"},
    /*  40 */ {53,  0,            kLedSwitch,   -1,   810,   152,  0, "Led_OnOff.png",      0,       10,    "Spatial Active", kNone,                                 "Spatial Image\nActive: Off, On"},
    /*  41 */ {49,  0,            kOnOff,       -1,   812,   117,  0, "Spkr_Hp.png",        0,       10,    "HeadPhone",      kNone,                                 "Spatial Image Mode:\nSpeaker or Headphone"},

    // Master section
    /*  42 */ {-1,  0,            kAnim,        14,   0,     0,    0, kNone,                0.3333f, 0,     kNone,            kNone,                                 kNone},
    /*  43 */ {86,  kGlobal,      kLoopSwitch,  -1,   967,   152,  0, "Bypass.png",         0,       1,     "Bypass",         kNone,                                 "Master Active Status\nAllows you to do A/B comparison"},
    /*  44 */ {55,  0,            kKnob,        -1,   962,   92,   0, "KnobL.png",          -24,     24,    "Master Gain dB", kNone,                                 "Master Gain (dB)"},
    /*  45 */ {74,  0,            kKnob,        -1,   927,   91,   0, "KnobS.png",          0,       100,   "Parallel %",     kNone,                                 "Parallel Compression %\nWet/Dry* Mix\n\n*Dry is post 5 Band EQ"},

    // Equaliser and band split values, held for the EQ view
    /*  46 */ {21,  0,            kStore,       -1,   -100,  -100, 0, kNone,                20,      20480, "Eq 1 Freq Hz",   kNone,                                 kNone},
    /*  47 */ {22,  0,            kStore,       -1,   -100,  -100, 0, kNone,                -15,     15,    "Eq 1 Gain dB",   kNone,                                 kNone},
    /*  48 */ {23,  0,            kStore,       -1,   -100,  -100, 0, kNone,                100,     10,    "Eq 1 Width",     kNone,                                 kNone},
    /*  49 */ {24,  0,            kStore,       -1,   -100,  -100, 0, kNone,                20,      20480, "Eq 2 Freq Hz",   kNone,                                 kNone},
    /*  50 */ {25,  0,            kStore,       -1,   -100,  -100, 0, kNone,                -15,     15,    "Eq 2 Gain dB",   kNone,                                 kNone},
    /*  51 */ {26,  0,            kStore,       -1,   -100,  -100, 0, kNone,                100,     10,    "Eq 2 Width",     kNone,                                 kNone},
    /*  52 */ {27,  0,            kStore,       -1,   -100,  -100, 0, kNone,                20,      20480, "Eq 3 Freq Hz",   kNone,                                 kNone},
    /*  53 */ {28,  0,            kStore,       -1,   -100,  -100, 0, kNone,                -15,     15,    "Eq 3 Gain dB",   kNone,                                 kNone},
    /*  54 */ {29,  0,            kStore,       -1,   -100,  -100, 0, kNone,                100,     10,    "Eq 3 Width",     kNone,                                 kNone},
    /*  55 */ {30,  0,            kStore,       -1,   -100,  -100, 0, kNone,                20,      20480, "Eq 4 Freq Hz",   kNone,                                 kNone},
    /*  56 */ {31,  0,            kStore,       -1,   -100,  -100, 0, kNone,                -15,     15,    "Eq 4 Gain dB",   kNone,                                 kNone},
    /*  57 */ {32,  0,            kStore,       -1,   -100,  -100, 0, kNone,                100,     10,    "Eq 4 Width",     kNone,                                 kNone},
    /*  58 */ {33,  0,            kStore,       -1,   -100,  -100, 0, kNone,                20,      20480, "Eq 5 Freq Hz",   kNone,                                 kNone},
    /*  59 */ {34,  0,            kStore,       -1,   -100,  -100, 0, kNone,                -15,     15,    "Eq 5 Gain dB",   kNone,                                 kNone},
    /*  60 */ {35,  0,            kStore,       -1,   -100,  -100, 0, kNone,                100,     10,    "Eq 5 Width",     kNone,                                 kNone},
    /*  61 */ {47,  0,            kStore,       -1,   -100,  -100, 0, kNone,                20,      20480, "Low Band Hz",    kNone,                                 kNone},
    /*  62 */ {48,  0,            kStore,       -1,   -100,  -100, 0, kNone,                20,      20480, "High Band Hz",   kNone,                                 kNone},
    /*  63 */ {-1,  0,            kReserved,    -1,   0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Equaliser view and switches
    /*  64 */ {103, 0,            kEqView,      0x35, 23,    20,   0, kNone,                294,     140,   kNone,            kNone,                                 kNone},
    /*  65 */ {-1,  0,            kAnim,        3,    0,     0,    0, kNone,                0.08f,   0,     kNone,            kNone,                                 kNone},
    /*  66 */ {36,  0,            kLedSwitch,   -1,   317,   90,   0, "eqon.png",           0,       1,     "EQ Active",      kNone,                                 "5 Band Parametric EQ\nMaster Active: Off, On"},
    /*  67 */ {87,  0,            kOnOff,       -1,   317,   20,   0, "splits.png",         0,       10,    kNone,            kNone,                                 "Select Parametric EQ\nor Band Split Display"},
    /*  68 */ {-1,  0,            kReserved,    -1,   0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  69 */ {75,  0,            kOnOff,       -1,   20,    163,  0, "RedOn.png",          0,       1,     "Eq1 Active",     "Off,On,",                             "EQ Band 1\nActive: Off, On"},
    /*  70 */ {76,  0,            kOnOff,       -1,   80,    163,  0, "YelOn.png",          0,       1,     "Eq2 Active",     "Off,On,",                             "EQ Band 2\nActive: Off, On"},
    /*  71 */ {77,  0,            kOnOff,       -1,   140,   163,  0, "BlueOn.png",         0,       1,     "Eq3 Active",     "Off,On,",                             "EQ Band 3\nActive: Off, On"},
    /*  72 */ {78,  0,            kOnOff,       -1,   200,   163,  0, "CyanOn.png",         0,       1,     "Eq4 Active",     "Off,On,",                             "EQ Band 4\nActive: Off, On"},
    /*  73 */ {79,  0,            kOnOff,       -1,   260,   163,  0, "GreenOn.png",        0,       1,     "Eq5 Active",     "Off,On,",                             "EQ Band 5\nActive: Off, On"},

    // EQ view links: frequencies, gains, widths, band switches, split frequencies, display switch
    /*  74 */ {103, 0,            kLink2,       0,    21,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  75 */ {103, 0,            kLink2,       1,    24,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  76 */ {103, 0,            kLink2,       2,    27,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  77 */ {103, 0,            kLink2,       3,    30,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  78 */ {103, 0,            kLink2,       4,    33,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  79 */ {103, 0,            kLink2,       5,    22,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  80 */ {103, 0,            kLink2,       6,    25,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  81 */ {103, 0,            kLink2,       7,    28,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  82 */ {103, 0,            kLink2,       8,    31,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  83 */ {103, 0,            kLink2,       9,    34,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  84 */ {103, 0,            kLink2,       10,   23,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  85 */ {103, 0,            kLink2,       11,   26,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  86 */ {103, 0,            kLink2,       12,   29,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  87 */ {103, 0,            kLink2,       13,   32,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  88 */ {103, 0,            kLink2,       14,   35,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  89 */ {103, 0,            kLink2,       15,   75,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  90 */ {103, 0,            kLink2,       16,   76,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  91 */ {103, 0,            kLink2,       17,   77,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  92 */ {103, 0,            kLink2,       18,   78,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  93 */ {103, 0,            kLink2,       19,   79,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  94 */ {103, 0,            kLink2,       20,   47,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  95 */ {103, 0,            kLink2,       21,   48,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  96 */ {103, 0,            kLink2,       30,   87,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Output meters, clip lamps, scale legend and peak readout
    /*  97 */ {0,   0,            kAnim,        2,    0,     0,    0, kNone,                1,       0,     kNone,            kNone,                                 kNone},
    /*  98 */ {107, kDisplayOnly, kClipLamp,    -1,   1037,  21,   0, "clip.png",           0,       1,     kNone,            kNone,                                 "Peak Overload Indicator L"},
    /*  99 */ {108, kDisplayOnly, kClipLamp,    -1,   1058,  21,   0, "clip.png",           0,       1,     kNone,            kNone,                                 "Peak Overload Indicator R"},
    /* 100 */ {105, 0,            kMeter,       255,  1038,  35,   0, "PkBar.png",          -50,     0,     kNone,            kNone,                                 "Left Peak Meter"},
    /* 101 */ {106, 0,            kMeter,       255,  1060,  35,   0, "PkBar.png",          -50,     0,     kNone,            kNone,                                 "Right Peak Meter"},
    /* 102 */ {104, 0,            kImage,       4,    1048,  32,   0, "BarScale.png",       1,       0,     kNone,            kNone,                                 kNone},
    /* 103 */ {-1,  0,            kText,        15,   26,    10,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 104 */ {-1,  0,            kFont,        0,    0,     0,    0, "Arial 9",            0,       0,     kNone,            kNone,                                 kNone},
    /* 105 */ {109, 0,            kReadout,     -1,   1037,  158,  0, kNone,                0,       1,     "Peak Level dB",  kNone,                                 "Peak dB level"},
    /* 106 */ {105, 0,            kLink,        0,    107,   -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 107 */ {106, 0,            kLink,        0,    108,   -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Band page 2 (low band): knobs, curve view and their links
    /* 108 */ {2,   0,            kPage,        0,    341,   14,   0, kNone,                187,     155,   kNone,            kNone,                                 kNone},
    /* 109 */ {5,   0,            kKnob,        -1,   0,     0,    0, "KnobS.png",          -40,     0,     "Low Thresh dB",  kNone,                                 "Low Band:\nCompressor Threshold (dBFS)"},
    /* 110 */ {6,   0,            kCurvedKnob,  -1,   0,     39,   0, "KnobS.png",          0.1f,    20,    "Low Ratio",      kNone,                                 "Low Band:\nCompression Ratio"},
    /* 111 */ {7,   0,            kKnob,        -1,   0,     78,   0, "KnobS.png",          0,       100,   "Low Knee",       kNone,                                 "Low Band:\nCompressor Knee"},
    /* 112 */ {8,   0,            kKnob,        -1,   0,     117,  0, "KnobS.png",          -24,     24,    "Low Gain dB",    kNone,                                 "Low Band:\nMake up Gain (dB)"},
    /* 113 */ {100, 0,            kCurveLow,    1,    46,    6,    0, kNone,                140,     140,   kNone,            kNone,                                 kNone},
    /* 114 */ {100, 0,            kLink2,       0,    5,     -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 115 */ {100, 0,            kLink2,       1,    6,     -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 116 */ {100, 0,            kLink2,       2,    7,     -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 117 */ {100, 0,            kLink2,       3,    8,     -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 118 */ {-1,  0,            kClose,       0,    0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Band page 3 (mid band): knobs, curve view and their links
    /* 119 */ {3,   0,            kPage,        0,    341,   14,   0, kNone,                187,     155,   kNone,            kNone,                                 kNone},
    /* 120 */ {9,   0,            kKnob,        -1,   0,     0,    0, "KnobS.png",          -40,     0,     "Mid Thresh dB",  kNone,                                 "Mid Band:\nCompressor Threshold (dBFS)"},
    /* 121 */ {10,  0,            kCurvedKnob,  -1,   0,     39,   0, "KnobS.png",          0.1f,    20,    "Mid Ratio",      kNone,                                 "Mid Band:\nCompression Ratio"},
    /* 122 */ {11,  0,            kKnob,        -1,   0,     78,   0, "KnobS.png",          0,       100,   "Mid Knee",       kNone,                                 "Mid Band:\nCompressor Knee"},
    /* 123 */ {12,  0,            kKnob,        -1,   0,     117,  0, "KnobS.png",          -24,     24,    "Mid Gain dB",    kNone,                                 "Mid Band:\nMake up Gain (dB)"},
    /* 124 */ {101, 0,            kCurveMid,    1,    46,    6,    0, kNone,                140,     140,   kNone,            kNone,                                 kNone},
    /* 125 */ {101, 0,            kLink2,       0,    9,     -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 126 */ {101, 0,            kLink2,       1,    10,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 127 */ {101, 0,            kLink2,       2,    11,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 128 */ {101, 0,            kLink2,       3,    12,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 129 */ {-1,  0,            kClose,       0,    0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Band page 4 (high band): knobs, curve view and their links
    /* 130 */ {4,   0,            kPage,        0,    341,   14,   0, kNone,                187,     155,   kNone,            kNone,                                 kNone},
    /* 131 */ {13,  0,            kKnob,        -1,   0,     0,    0, "KnobS.png",          -40,     0,     "High Thresh dB", kNone,                                 "High Band:\nCompressor Threshold (dBFS)"},
    /* 132 */ {14,  0,            kCurvedKnob,  -1,   0,     39,   0, "KnobS.png",          0.1f,    20,    "High Ratio",     kNone,                                 "High Band:\nCompression Ratio"},
    /* 133 */ {15,  0,            kKnob,        -1,   0,     78,   0, "KnobS.png",          0,       100,   "High Knee",      kNone,                                 "High Band:\nCompressor Knee"},
    /* 134 */ {16,  0,            kKnob,        -1,   0,     117,  0, "KnobS.png",          -24,     24,    "High Gain dB",   kNone,                                 "High Band:\nMake up Gain (dB)"},
    /* 135 */ {102, 0,            kCurveHigh,   1,    46,    6,    0, kNone,                140,     140,   kNone,            kNone,                                 kNone},
    /* 136 */ {102, 0,            kLink2,       0,    13,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 137 */ {102, 0,            kLink2,       1,    14,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 138 */ {102, 0,            kLink2,       2,    15,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 139 */ {102, 0,            kLink2,       3,    16,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 140 */ {-1,  0,            kClose,       0,    0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Credits panel (panel 0)
    /* 141 */ {-1,  0,            kPanelHome,   0,    1081,  12,   0, kNone,                0.1f,    1,     kNone,            kNone,                                 kNone},
    /* 142 */ {0,   0,            kPanel,       0,    740,   12,   0, "CreditsPanel.png",   0,       0,     kNone,            kNone,                                 kNone},
    /* 143 */ {90,  kGlobal,      kExclusive,   -1,   2,     38,   0, "CreditsBut.png",     0,       1,     kNone,            kNone,                                 "Credits"},
    /* 144 */ {-1,  0,            kClose,       0,    0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Settings panel (panel 1)
    /* 145 */ {-1,  0,            kPanelHome,   0,    -363,  2,    0, kNone,                0.1f,    1,     kNone,            kNone,                                 kNone},
    /* 146 */ {1,   0,            kPanel,       0,    0,     2,    0, "SettingsPanelD.png", 0,       0,     kNone,            kNone,                                 kNone},
    /* 147 */ {-1,  0,            kText,        12,   246,   18,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 148 */ {-1,  0,            kFont,        0,    0,     0,    0, "Arial 14",           0,       0,     kNone,            kNone,                                 kNone},
    /* 149 */ {0,   0,            kAnim,        0,    0,     0,    0, kNone,                1,       0,     kNone,            kNone,                                 kNone},
    /* 150 */ {96,  kGlobal,      kMomentary,   -1,   6,     11,   0, "WebLink.png",        0,       1,     kNone,            kNone,                                 "Click to Visit Our Website"},
    /* 151 */ {-1,  0,            kReserved,    -1,   0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 152 */ {-1,  0,            kReserved,    -1,   0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 153 */ {89,  kGlobal,      kExclusive,   -1,   360,   46,   0, "SettingsBut.png",    0,       10,    kNone,            kNone,                                 kNone},
    /* 154 */ {20,  0,            kImageMenu,   -1,   111,   39,   0, "PeakRMS.png",        0,       1,     "Metering",       "Peak,RMS,",                           "Compressor Metering Mode"},
    /* 155 */ {73,  0,            kImageMenu,   -1,   199,   39,   0, "CompMode.png",       0,       1,     "Comp.Mode",      "Stereo,M/S,",                         "Compressor Mode:\nStereo\nM/S (Mono/Side)"},
    /* 156 */ {37,  0,            kImageMenu,   -1,   292,   39,   0, "meterselect.png",    0,       3,     "Meter Type",     "Std,K12,K14,K20,",                    "Peak Meter Display Scale"},
    /* 157 */ {19,  0,            kCurvedKnob,  -1,   102,   68,   0, "KnobS.png",          2,       1000,  "Sensitivity Hz", kNone,                                 "Compressor Metering Sensitivity Hz\n2Hz=500(ms) : 1000Hz=1(ms)\n\nFrequencies below this setting\nmay have modulation distortion"},
    /* 158 */ {17,  0,            kKnob,        -1,   140,   68,   0, "KnobS.png",          0,       50,    "LookAhead ms",   kNone,                                 "Look Ahead (ms)\nLook Ahead adds latency(delay)\nto the output signal"},
    /* 159 */ {2,   0,            kCurvedKnob,  -1,   189,   68,   0, "KnobS.png",          0,       500,   "Attack ms",      kNone,                                 "Compressor Attack Time (ms)"},
    /* 160 */ {3,   0,            kCurvedKnob,  -1,   227,   68,   0, "KnobS.png",          0,       500,   "Hold ms",        kNone,                                 "Compressor Hold Time (ms)"},
    /* 161 */ {4,   0,            kCurvedKnob,  -1,   265,   68,   0, "KnobS.png",          0,       2000,  "Release ms",     kNone,                                 "Compressor Release Time (ms)"},
    /* 162 */ {52,  0,            kKnob,        -1,   314,   68,   0, "KnobS.png",          0,       100,   "HeadPhone ms",   kNone,                                 "Spatial HeadPhone Shift (ms)"},
    /* 163 */ {-1,  0,            kClose,       0,    0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Band switches (LEDs pulse at slightly different rates) and band page buttons
    /* 164 */ {-1,  0,            kAnim,        7,    0,     0,    0, kNone,                0.24f,   0,     kNone,            kNone,                                 kNone},
    /* 165 */ {70,  0,            kLedSwitch,   -1,   385,   163,  0, "LowOn.png",          0,       1,     "Low Active",     "Off,On,",                             "Low Compressor Band\nActive: Off, On"},
    /* 166 */ {-1,  0,            kAnim,        7,    0,     0,    0, kNone,                0.265f,  0,     kNone,            kNone,                                 kNone},
    /* 167 */ {71,  0,            kLedSwitch,   -1,   434,   163,  0, "MidOn.png",          0,       1,     "Mid Active",     "Off,On,",                             "Mid Compressor Band\nActive: Off, On"},
    /* 168 */ {-1,  0,            kAnim,        7,    0,     0,    0, kNone,                0.25f,   0,     kNone,            kNone,                                 kNone},
    /* 169 */ {72,  0,            kLedSwitch,   -1,   483,   163,  0, "HighOn.png",         0,       1,     "High Active",    "Off,On,",                             "High Compressor Band\nActive: Off, On"},
    /* 170 */ {91,  kGlobal,      kExclusive,   -1,   532,   23,   0, "LowBut.png",         0,       10,    kNone,            kNone,                                 "Display Low Compressor Band"},
    /* 171 */ {92,  kGlobal,      kExclusive,   -1,   532,   68,   0, "MidBut.png",         0,       10,    kNone,            kNone,                                 "Display Mid Compressor Band"},
    /* 172 */ {93,  kGlobal,      kExclusive,   -1,   532,   113,  0, "HighBut.png",        0,       10,    kNone,            kNone,                                 "Display High Compressor Band"},

    // Band page buttons: one exclusive group; buttons open and close their panels
    /* 173 */ {91,  0,            kGroup,       92,   93,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 174 */ {92,  0,            kGroup,       91,   93,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 175 */ {93,  0,            kGroup,       91,   92,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 176 */ {90,  0,            kPanels,      0,    -1,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 177 */ {89,  0,            kPanels,      1,    -1,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 178 */ {91,  0,            kPanels,      2,    -1,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 179 */ {92,  0,            kPanels,      3,    -1,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 180 */ {93,  0,            kPanels,      4,    -1,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // MIDI-learn panel (panel 40): hidden, fades in and out
    /* 181 */ {-1,  0,            kPanelHome,   1,    204,   100,  0, kNone,                0.1f,    0,     kNone,            kNone,                                 kNone},
    /* 182 */ {40,  0,            kPanel,       0,    204,   100,  0, "AsnMidiCC.png",      0,       0,     kNone,            kNone,                                 kNone},
    /* 183 */ {110, 0,            kMidiLearn,   -1,   0,     0,    0, "AsnMidiCC.png",      0,       0,     kNone,            kNone,                                 "Midi Learn:\nMove External Controller"},
    /* 184 */ {-1,  0,            kClose,       0,    0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // End of the table
    /* 185 */ {-1,  0,            kEnd,         -1,   0,     0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
};

namespace {

int16_t countChoices(const char* choices)
{
    int16_t n = 0;
    for (const char* c = choices; c && *c; ++c) {
        if (*c == ',') ++n;
    }
    return n;
}

bool isChoiceType(int16_t type)
{
    return type == 17 || (type >= 20 && type <= 29);
}

} // namespace

const CK_ParameterMap& CK_ParameterMap::instance()
{
    static const CK_ParameterMap map;
    return map;
}

CK_ParameterMap::CK_ParameterMap()
{
    for (int32_t p = 0; p < kParameterCount; ++p) {
        recordOfParameter_[p] = 0;
        choiceCount_[p] = 0;
    }
    for (int32_t r = 1; r < kControlRecordCount && kControlTable[r].type < kControlTypeEnd; ++r) {
        const CK_ControlRecord& rec = kControlTable[r];
        if (rec.parameter >= 0 && rec.parameter < kParameterCount && rec.type < kDefiningTypeLimit) {
            recordOfParameter_[rec.parameter] = r;
        }
    }
    // Counted up front so that hosts see choice labels before the editor was ever opened.
    for (int32_t p = 0; p < kParameterCount; ++p) {
        const CK_ControlRecord& rec = kControlTable[recordOfParameter_[p]];
        if (recordOfParameter_[p] != 0 && isChoiceType(rec.type)) {
            choiceCount_[p] = countChoices(rec.choices);
        }
    }
}

int32_t CK_ParameterMap::recordOf(int32_t parameter) const
{
    if (parameter < 0 || parameter >= kParameterCount) return 0;
    return recordOfParameter_[parameter];
}

int16_t CK_ParameterMap::choiceCount(int32_t parameter) const
{
    if (parameter < 0 || parameter >= kParameterCount) return 0;
    return choiceCount_[parameter];
}
