// The control table and the parameter index maps built over it.
#include "shell/ControlTable.h"

#include <cstring>

#include "shell/ControlTypes.h"

namespace {

using ControlFlag::kDisplayOnly;
using ControlFlag::kGlobal;
using namespace ControlType;

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
constexpr CK_ControlRecord kControlTable[kControlRecordCount] = {
    // Frame record
    /*   0 */ {-1,                  0,            kFrame,       -1,                0,                   0,    0, "BGD.png",            0,       0,     "BGD.png",        kNone,                                 kNone},

    // Global name and value displays
    /*   1 */ {-1,                  0,            kText,        39,                214,                 26,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*   2 */ {-1,                  0,            kFont,        0,                 0,                   0,    0, "Arial 24",           0,       0,     kNone,            kNone,                                 kNone},
    /*   3 */ {-1,                  0,            kKnobFrames,  0,                 0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*   4 */ {0,                   0,            kAnim,        0,                 0,                   0,    0, kNone,                1,       0,     kNone,            kNone,                                 kNone},
    /*   5 */ {kTagGlobalValue,     0,            kGlobalValue, -1,                814,                 53,   0, kNone,                0,       10,    "Global#",        kNone,                                 "Parameter Value"},
    /*   6 */ {kTagGlobalName,      0,            kGlobalName,  -1,                814,                 25,   0, kNone,                0,       10,    "GlobalNm",       kNone,                                 "Parameter Name"},

    // Envelope shaping: contour menus and constant holders, outside the window
    /*   7 */ {-1,                  0,            kFont,        0,                 0,                   0,    0, "Arial 12",           0,       0,     kNone,            kNone,                                 kNone},
    /*   8 */ {kTagAttackConstA,    0,            kStore,       -1,                -100,                -100, 0, kNone,                0,       1000,  "AtkConstA",      kNone,                                 kNone},
    /*   9 */ {kTagAttackConstB,    0,            kStore,       -1,                -100,                -100, 0, kNone,                0,       500,   "AtkConstB",      kNone,                                 kNone},
    /*  10 */ {kTagAttackContour,   0,            kTextMenu,    -1,                -1900,               -700, 0, kNone,                0,       6,     "AtkContour",     "Lin,Exp,Exp2,IExp,SCrv,SCrv2,ISCrv,", "Contour"},
    /*  11 */ {kTagHoldConstA,      0,            kStore,       -1,                -100,                -100, 0, kNone,                0,       1000,  "HoldConstA",     kNone,                                 kNone},
    /*  12 */ {kTagHoldConstB,      0,            kStore,       -1,                -100,                -100, 0, kNone,                0,       500,   "HoldConstB",     kNone,                                 kNone},
    /*  13 */ {kTagHoldContour,     0,            kTextMenu,    -1,                -1900,               -600, 0, kNone,                0,       6,     "HoldContour",    "Lin,Exp,Exp2,IExp,SCrv,SCrv2,ISCrv,", "Contour"},
    /*  14 */ {kTagReleaseConstA,   0,            kStore,       -1,                -100,                -100, 0, kNone,                0,       4000,  "RelConstA",      kNone,                                 kNone},
    /*  15 */ {kTagReleaseConstB,   0,            kStore,       -1,                -100,                -100, 0, kNone,                0,       2000,  "RelConstB",      kNone,                                 kNone},
    /*  16 */ {kTagReleaseContour,  0,            kTextMenu,    -1,                -1900,               -500, 0, kNone,                0,       6,     "RelContour",     "Lin,Exp,Exp2,IExp,SCrv,SCrv2,ISCrv,", "Contour"},
    /*  17 */ {-1,                  0,            kReserved,    -1,                0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  18 */ {-1,                  0,            kReserved,    -1,                0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Enhancer and spatial mode menus (one bitmap frame per option)
    /*  19 */ {kTagBassMode,        0,            kImageMenu,   -1,                658,                 134,  0, "EnMb.png",           0,       2,     "Bass Mode",      "Punch,Normal,Dense,",                 "Bass Dynamics Mode:\nPunch, Normal, Dense"},
    /*  20 */ {kTagHighMode,        0,            kImageMenu,   -1,                721,                 134,  0, "EnMb.png",           0,       2,     "High Mode",      "Low,Normal,Hard,",                    "High Dynamics Mode:\nLow, Normal, Hard"},
    /*  21 */ {kTagSpatialMode,     0,            kImageMenu,   -1,                812,                 101,  0, "SpMb.png",           0,       2,     "Spatial Mode",   "Low:Mid:High,Mid:High,High,",         "Spatial Multi-Band Mode:\nActive Bands"},
    /*  22 */ {-1,                  0,            kReserved,    -1,                0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  23 */ {kTagLoHarmonics,     0,            kImageMenu,   -1,                597,                 22,   0, "HType.png",          1,       2,     "Lo Harmonics",   "Soft,Hard,",                          "Psychoacoustic Bass\nType: Soft, Hard"},
    /*  24 */ {kTagHiHarmonics,     0,            kImageMenu,   -1,                761,                 22,   0, "HType.png",          1,       2,     "Hi Harmonics",   "Soft,Hard,",                          "Psychoacoustic High\nType: Soft, Hard"},

    // Bass and high enhancers, spatial image
    /*  25 */ {-1,                  0,            kAnim,        3,                 0,                   0,    0, kNone,                0.08f,   0,     kNone,            kNone,                                 kNone},
    /*  26 */ {kTagPsyBassMode,     0,            kLedSwitch,   -1,                632,                 24,   0, "HD.png",             0,       10,    "PsyBass Mode",   kNone,                                 "Psychoacoustic Bass\nMode: Normal, Dynamic"},
    /*  27 */ {kTagPsychoBass,      0,            kLedSwitch,   -1,                647,                 22,   0, "Led_OnOff.png",      0,       10,    "Psycho Bass",    kNone,                                 "Psychoacoustic Bass\nActive: Off, On"},
    /*  28 */ {kTagPsychoBassLevel, 0,            kKnob,        -1,                594,                 42,   0, "KnobS.png",          0,       100,   "Psycho Bass %",  kNone,                                 "Psychoacoustic Bass:\nLevel"},
    /*  29 */ {kTagBassOn,          0,            kLedSwitch,   -1,                614,                 152,  0, "Led_OnOff.png",      0,       10,    "Bass On",        kNone,                                 "Bass Dynamics Active:\nOff, On"},
    /*  30 */ {kTagBassDynamics,    0,            kKnob,        -1,                594,                 87,   0, "KnobL.png",          0,       100,   "Bass Dynamics",  kNone,                                 "Bass Dynamics Level"},
    /*  31 */ {kTagBassEnhFreq,     0,            kKnob,        -1,                646,                 59,   0, "KnobS.png",          40,      400,   "Bass Enh Freq",  kNone,                                 "Bass Enhancer Frequency"},
    /*  32 */ {kTagPsyHighMode,     0,            kLedSwitch,   -1,                744,                 24,   0, "HD.png",             0,       10,    "PsyHigh Mode",   kNone,                                 "Psychoacoustic High\nMode: Normal, Dynamic"},
    /*  33 */ {kTagPsychoHigh,      0,            kLedSwitch,   -1,                702,                 22,   0, "Led_OnOff.png",      0,       10,    "Psycho High",    kNone,                                 "Psychoacoustic High\nActive: Off, On"},
    /*  34 */ {kTagHighFilter,      0,            kLedSwitch,   -1,                705,                 97,   0, "HB.png",             0,       10,    "High Filter",    kNone,                                 "High Enhancer Type:\nHigh Pass, Band Pass"},
    /*  35 */ {kTagPsychoHighLevel, 0,            kKnob,        -1,                758,                 42,   0, "KnobS.png",          0,       100,   "Psycho High %",  kNone,                                 "Psychoacoustic High\nLevel"},
    /*  36 */ {kTagHighOn,          0,            kLedSwitch,   -1,                739,                 152,  0, "Led_OnOff.png",      0,       10,    "High On",        kNone,                                 "High Dynamics Active:\nOff, On"},
    /*  37 */ {kTagHighDynamics,    0,            kKnob,        -1,                732,                 87,   0, "KnobL.png",          0,       100,   "High Dynamics",  kNone,                                 "High Dynamics Level"},
    /*  38 */ {kTagHighEnhFreq,     0,            kKnob,        -1,                705,                 59,   0, "KnobS.png",          1000,    18000, "High Enh Freq",  kNone,                                 "High Enhancer Frequency"},
    /*  39 */ {kTagSpatial,         0,            kKnob,        -1,                847,                 91,   0, "KnobS.png",          -100,    100,   "Spatial",        kNone,                                 "Spatial Image\nLeft: Crossover\nRight: Boost"},
    /*  40 */ {kTagSpatialActive,   0,            kLedSwitch,   -1,                810,                 152,  0, "Led_OnOff.png",      0,       10,    "Spatial Active", kNone,                                 "Spatial Image\nActive: Off, On"},
    /*  41 */ {kTagHeadphone,       0,            kOnOff,       -1,                812,                 117,  0, "Spkr_Hp.png",        0,       10,    "HeadPhone",      kNone,                                 "Spatial Image Mode:\nSpeaker or Headphone"},

    // Master section
    /*  42 */ {-1,                  0,            kAnim,        14,                0,                   0,    0, kNone,                0.3333f, 0,     kNone,            kNone,                                 kNone},
    /*  43 */ {kTagBypass,          kGlobal,      kLoopSwitch,  -1,                967,                 152,  0, "Bypass.png",         0,       1,     "Bypass",         kNone,                                 "Master Active Status\nAllows you to do A/B comparison"},
    /*  44 */ {kTagMasterGain,      0,            kKnob,        -1,                962,                 92,   0, "KnobL.png",          -24,     24,    "Master Gain dB", kNone,                                 "Master Gain (dB)"},
    /*  45 */ {kTagParallel,        0,            kKnob,        -1,                927,                 91,   0, "KnobS.png",          0,       100,   "Parallel %",     kNone,                                 "Parallel Compression %\nWet/Dry* Mix\n\n*Dry is post 5 Band EQ"},

    // Equaliser and band split values, held for the EQ view
    /*  46 */ {kTagEq1Freq,         0,            kStore,       -1,                -100,                -100, 0, kNone,                20,      20480, "Eq 1 Freq Hz",   kNone,                                 kNone},
    /*  47 */ {kTagEq1Gain,         0,            kStore,       -1,                -100,                -100, 0, kNone,                -15,     15,    "Eq 1 Gain dB",   kNone,                                 kNone},
    /*  48 */ {kTagEq1Width,        0,            kStore,       -1,                -100,                -100, 0, kNone,                100,     10,    "Eq 1 Width",     kNone,                                 kNone},
    /*  49 */ {kTagEq2Freq,         0,            kStore,       -1,                -100,                -100, 0, kNone,                20,      20480, "Eq 2 Freq Hz",   kNone,                                 kNone},
    /*  50 */ {kTagEq2Gain,         0,            kStore,       -1,                -100,                -100, 0, kNone,                -15,     15,    "Eq 2 Gain dB",   kNone,                                 kNone},
    /*  51 */ {kTagEq2Width,        0,            kStore,       -1,                -100,                -100, 0, kNone,                100,     10,    "Eq 2 Width",     kNone,                                 kNone},
    /*  52 */ {kTagEq3Freq,         0,            kStore,       -1,                -100,                -100, 0, kNone,                20,      20480, "Eq 3 Freq Hz",   kNone,                                 kNone},
    /*  53 */ {kTagEq3Gain,         0,            kStore,       -1,                -100,                -100, 0, kNone,                -15,     15,    "Eq 3 Gain dB",   kNone,                                 kNone},
    /*  54 */ {kTagEq3Width,        0,            kStore,       -1,                -100,                -100, 0, kNone,                100,     10,    "Eq 3 Width",     kNone,                                 kNone},
    /*  55 */ {kTagEq4Freq,         0,            kStore,       -1,                -100,                -100, 0, kNone,                20,      20480, "Eq 4 Freq Hz",   kNone,                                 kNone},
    /*  56 */ {kTagEq4Gain,         0,            kStore,       -1,                -100,                -100, 0, kNone,                -15,     15,    "Eq 4 Gain dB",   kNone,                                 kNone},
    /*  57 */ {kTagEq4Width,        0,            kStore,       -1,                -100,                -100, 0, kNone,                100,     10,    "Eq 4 Width",     kNone,                                 kNone},
    /*  58 */ {kTagEq5Freq,         0,            kStore,       -1,                -100,                -100, 0, kNone,                20,      20480, "Eq 5 Freq Hz",   kNone,                                 kNone},
    /*  59 */ {kTagEq5Gain,         0,            kStore,       -1,                -100,                -100, 0, kNone,                -15,     15,    "Eq 5 Gain dB",   kNone,                                 kNone},
    /*  60 */ {kTagEq5Width,        0,            kStore,       -1,                -100,                -100, 0, kNone,                100,     10,    "Eq 5 Width",     kNone,                                 kNone},
    /*  61 */ {kTagLowBandFreq,     0,            kStore,       -1,                -100,                -100, 0, kNone,                20,      20480, "Low Band Hz",    kNone,                                 kNone},
    /*  62 */ {kTagHighBandFreq,    0,            kStore,       -1,                -100,                -100, 0, kNone,                20,      20480, "High Band Hz",   kNone,                                 kNone},
    /*  63 */ {-1,                  0,            kReserved,    -1,                0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Equaliser view and switches
    /*  64 */ {kTagEqView,          0,            kEqView,      0x35,              23,                  20,   0, kNone,                294,     140,   kNone,            kNone,                                 kNone},
    /*  65 */ {-1,                  0,            kAnim,        3,                 0,                   0,    0, kNone,                0.08f,   0,     kNone,            kNone,                                 kNone},
    /*  66 */ {kTagEqActive,        0,            kLedSwitch,   -1,                317,                 90,   0, "eqon.png",           0,       1,     "EQ Active",      kNone,                                 "5 Band Parametric EQ\nMaster Active: Off, On"},
    /*  67 */ {kTagEqDisplaySelect, 0,            kOnOff,       -1,                317,                 20,   0, "splits.png",         0,       10,    kNone,            kNone,                                 "Select Parametric EQ\nor Band Split Display"},
    /*  68 */ {-1,                  0,            kReserved,    -1,                0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  69 */ {kTagEq1Active,       0,            kOnOff,       -1,                20,                  163,  0, "RedOn.png",          0,       1,     "Eq1 Active",     "Off,On,",                             "EQ Band 1\nActive: Off, On"},
    /*  70 */ {kTagEq2Active,       0,            kOnOff,       -1,                80,                  163,  0, "YelOn.png",          0,       1,     "Eq2 Active",     "Off,On,",                             "EQ Band 2\nActive: Off, On"},
    /*  71 */ {kTagEq3Active,       0,            kOnOff,       -1,                140,                 163,  0, "BlueOn.png",         0,       1,     "Eq3 Active",     "Off,On,",                             "EQ Band 3\nActive: Off, On"},
    /*  72 */ {kTagEq4Active,       0,            kOnOff,       -1,                200,                 163,  0, "CyanOn.png",         0,       1,     "Eq4 Active",     "Off,On,",                             "EQ Band 4\nActive: Off, On"},
    /*  73 */ {kTagEq5Active,       0,            kOnOff,       -1,                260,                 163,  0, "GreenOn.png",        0,       1,     "Eq5 Active",     "Off,On,",                             "EQ Band 5\nActive: Off, On"},

    // EQ view links: frequencies, gains, widths, band switches, split frequencies, display switch
    /*  74 */ {kTagEqView,          0,            kLink2,       0,                 kTagEq1Freq,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  75 */ {kTagEqView,          0,            kLink2,       1,                 kTagEq2Freq,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  76 */ {kTagEqView,          0,            kLink2,       2,                 kTagEq3Freq,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  77 */ {kTagEqView,          0,            kLink2,       3,                 kTagEq4Freq,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  78 */ {kTagEqView,          0,            kLink2,       4,                 kTagEq5Freq,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  79 */ {kTagEqView,          0,            kLink2,       5,                 kTagEq1Gain,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  80 */ {kTagEqView,          0,            kLink2,       6,                 kTagEq2Gain,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  81 */ {kTagEqView,          0,            kLink2,       7,                 kTagEq3Gain,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  82 */ {kTagEqView,          0,            kLink2,       8,                 kTagEq4Gain,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  83 */ {kTagEqView,          0,            kLink2,       9,                 kTagEq5Gain,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  84 */ {kTagEqView,          0,            kLink2,       10,                kTagEq1Width,        -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  85 */ {kTagEqView,          0,            kLink2,       11,                kTagEq2Width,        -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  86 */ {kTagEqView,          0,            kLink2,       12,                kTagEq3Width,        -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  87 */ {kTagEqView,          0,            kLink2,       13,                kTagEq4Width,        -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  88 */ {kTagEqView,          0,            kLink2,       14,                kTagEq5Width,        -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  89 */ {kTagEqView,          0,            kLink2,       15,                kTagEq1Active,       -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  90 */ {kTagEqView,          0,            kLink2,       16,                kTagEq2Active,       -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  91 */ {kTagEqView,          0,            kLink2,       17,                kTagEq3Active,       -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  92 */ {kTagEqView,          0,            kLink2,       18,                kTagEq4Active,       -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  93 */ {kTagEqView,          0,            kLink2,       19,                kTagEq5Active,       -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  94 */ {kTagEqView,          0,            kLink2,       20,                kTagLowBandFreq,     -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  95 */ {kTagEqView,          0,            kLink2,       21,                kTagHighBandFreq,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /*  96 */ {kTagEqView,          0,            kLink2,       30,                kTagEqDisplaySelect, -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Output meters, clip lamps, scale legend and peak readout
    /*  97 */ {0,                   0,            kAnim,        2,                 0,                   0,    0, kNone,                1,       0,     kNone,            kNone,                                 kNone},
    /*  98 */ {kTagClipLeft,        kDisplayOnly, kClipLamp,    -1,                1037,                21,   0, "clip.png",           0,       1,     kNone,            kNone,                                 "Peak Overload Indicator L"},
    /*  99 */ {kTagClipRight,       kDisplayOnly, kClipLamp,    -1,                1058,                21,   0, "clip.png",           0,       1,     kNone,            kNone,                                 "Peak Overload Indicator R"},
    /* 100 */ {kTagPeakMeterLeft,   0,            kMeter,       255,               1038,                35,   0, "PkBar.png",          -50,     0,     kNone,            kNone,                                 "Left Peak Meter"},
    /* 101 */ {kTagPeakMeterRight,  0,            kMeter,       255,               1060,                35,   0, "PkBar.png",          -50,     0,     kNone,            kNone,                                 "Right Peak Meter"},
    /* 102 */ {kTagMeterScale,      0,            kImage,       4,                 1048,                32,   0, "BarScale.png",       1,       0,     kNone,            kNone,                                 kNone},
    /* 103 */ {-1,                  0,            kText,        15,                26,                  10,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 104 */ {-1,                  0,            kFont,        0,                 0,                   0,    0, "Arial 9",            0,       0,     kNone,            kNone,                                 kNone},
    /* 105 */ {kTagPeakReadout,     0,            kReadout,     -1,                1037,                158,  0, kNone,                0,       1,     "Peak Level dB",  kNone,                                 "Peak dB level"},
    /* 106 */ {kTagPeakMeterLeft,   0,            kLink,        0,                 kTagClipLeft,        -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 107 */ {kTagPeakMeterRight,  0,            kLink,        0,                 kTagClipRight,       -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Band page 2 (low band): knobs, curve view and their links
    /* 108 */ {kPageLowBand,        0,            kPage,        0,                 341,                 14,   0, kNone,                187,     155,   kNone,            kNone,                                 kNone},
    /* 109 */ {kTagLowThreshold,    0,            kKnob,        -1,                0,                   0,    0, "KnobS.png",          -40,     0,     "Low Thresh dB",  kNone,                                 "Low Band:\nCompressor Threshold (dBFS)"},
    /* 110 */ {kTagLowRatio,        0,            kCurvedKnob,  -1,                0,                   39,   0, "KnobS.png",          0.1f,    20,    "Low Ratio",      kNone,                                 "Low Band:\nCompression Ratio"},
    /* 111 */ {kTagLowKnee,         0,            kKnob,        -1,                0,                   78,   0, "KnobS.png",          0,       100,   "Low Knee",       kNone,                                 "Low Band:\nCompressor Knee"},
    /* 112 */ {kTagLowGain,         0,            kKnob,        -1,                0,                   117,  0, "KnobS.png",          -24,     24,    "Low Gain dB",    kNone,                                 "Low Band:\nMake up Gain (dB)"},
    /* 113 */ {kTagLowCurve,        0,            kCurveLow,    1,                 46,                  6,    0, kNone,                140,     140,   kNone,            kNone,                                 kNone},
    /* 114 */ {kTagLowCurve,        0,            kLink2,       0,                 kTagLowThreshold,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 115 */ {kTagLowCurve,        0,            kLink2,       1,                 kTagLowRatio,        -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 116 */ {kTagLowCurve,        0,            kLink2,       2,                 kTagLowKnee,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 117 */ {kTagLowCurve,        0,            kLink2,       3,                 kTagLowGain,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 118 */ {-1,                  0,            kClose,       0,                 0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Band page 3 (mid band): knobs, curve view and their links
    /* 119 */ {kPageMidBand,        0,            kPage,        0,                 341,                 14,   0, kNone,                187,     155,   kNone,            kNone,                                 kNone},
    /* 120 */ {kTagMidThreshold,    0,            kKnob,        -1,                0,                   0,    0, "KnobS.png",          -40,     0,     "Mid Thresh dB",  kNone,                                 "Mid Band:\nCompressor Threshold (dBFS)"},
    /* 121 */ {kTagMidRatio,        0,            kCurvedKnob,  -1,                0,                   39,   0, "KnobS.png",          0.1f,    20,    "Mid Ratio",      kNone,                                 "Mid Band:\nCompression Ratio"},
    /* 122 */ {kTagMidKnee,         0,            kKnob,        -1,                0,                   78,   0, "KnobS.png",          0,       100,   "Mid Knee",       kNone,                                 "Mid Band:\nCompressor Knee"},
    /* 123 */ {kTagMidGain,         0,            kKnob,        -1,                0,                   117,  0, "KnobS.png",          -24,     24,    "Mid Gain dB",    kNone,                                 "Mid Band:\nMake up Gain (dB)"},
    /* 124 */ {kTagMidCurve,        0,            kCurveMid,    1,                 46,                  6,    0, kNone,                140,     140,   kNone,            kNone,                                 kNone},
    /* 125 */ {kTagMidCurve,        0,            kLink2,       0,                 kTagMidThreshold,    -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 126 */ {kTagMidCurve,        0,            kLink2,       1,                 kTagMidRatio,        -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 127 */ {kTagMidCurve,        0,            kLink2,       2,                 kTagMidKnee,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 128 */ {kTagMidCurve,        0,            kLink2,       3,                 kTagMidGain,         -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 129 */ {-1,                  0,            kClose,       0,                 0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Band page 4 (high band): knobs, curve view and their links
    /* 130 */ {kPageHighBand,       0,            kPage,        0,                 341,                 14,   0, kNone,                187,     155,   kNone,            kNone,                                 kNone},
    /* 131 */ {kTagHighThreshold,   0,            kKnob,        -1,                0,                   0,    0, "KnobS.png",          -40,     0,     "High Thresh dB", kNone,                                 "High Band:\nCompressor Threshold (dBFS)"},
    /* 132 */ {kTagHighRatio,       0,            kCurvedKnob,  -1,                0,                   39,   0, "KnobS.png",          0.1f,    20,    "High Ratio",     kNone,                                 "High Band:\nCompression Ratio"},
    /* 133 */ {kTagHighKnee,        0,            kKnob,        -1,                0,                   78,   0, "KnobS.png",          0,       100,   "High Knee",      kNone,                                 "High Band:\nCompressor Knee"},
    /* 134 */ {kTagHighGain,        0,            kKnob,        -1,                0,                   117,  0, "KnobS.png",          -24,     24,    "High Gain dB",   kNone,                                 "High Band:\nMake up Gain (dB)"},
    /* 135 */ {kTagHighCurve,       0,            kCurveHigh,   1,                 46,                  6,    0, kNone,                140,     140,   kNone,            kNone,                                 kNone},
    /* 136 */ {kTagHighCurve,       0,            kLink2,       0,                 kTagHighThreshold,   -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 137 */ {kTagHighCurve,       0,            kLink2,       1,                 kTagHighRatio,       -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 138 */ {kTagHighCurve,       0,            kLink2,       2,                 kTagHighKnee,        -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 139 */ {kTagHighCurve,       0,            kLink2,       3,                 kTagHighGain,        -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 140 */ {-1,                  0,            kClose,       0,                 0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Credits panel (panel 0)
    /* 141 */ {-1,                  0,            kPanelHome,   0,                 1081,                12,   0, kNone,                0.1f,    1,     kNone,            kNone,                                 kNone},
    /* 142 */ {kPanelCredits,       0,            kPanel,       0,                 740,                 12,   0, "CreditsPanel.png",   0,       0,     kNone,            kNone,                                 kNone},
    /* 143 */ {kTagCreditsButton,   kGlobal,      kExclusive,   -1,                2,                   38,   0, "CreditsBut.png",     0,       1,     kNone,            kNone,                                 "Credits"},
    /* 144 */ {-1,                  0,            kClose,       0,                 0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Settings panel (panel 1)
    /* 145 */ {-1,                  0,            kPanelHome,   0,                 -363,                2,    0, kNone,                0.1f,    1,     kNone,            kNone,                                 kNone},
    /* 146 */ {kPanelSettings,      0,            kPanel,       0,                 0,                   2,    0, "SettingsPanelD.png", 0,       0,     kNone,            kNone,                                 kNone},
    /* 147 */ {-1,                  0,            kText,        12,                246,                 18,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 148 */ {-1,                  0,            kFont,        0,                 0,                   0,    0, "Arial 14",           0,       0,     kNone,            kNone,                                 kNone},
    /* 149 */ {0,                   0,            kAnim,        0,                 0,                   0,    0, kNone,                1,       0,     kNone,            kNone,                                 kNone},
    /* 150 */ {kTagWebLink,         kGlobal,      kMomentary,   -1,                6,                   11,   0, "WebLink.png",        0,       1,     kNone,            kNone,                                 "Click to Visit Our Website"},
    /* 151 */ {-1,                  0,            kReserved,    -1,                0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 152 */ {-1,                  0,            kReserved,    -1,                0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 153 */ {kTagSettingsButton,  kGlobal,      kExclusive,   -1,                360,                 46,   0, "SettingsBut.png",    0,       10,    kNone,            kNone,                                 kNone},
    /* 154 */ {kTagMetering,        0,            kImageMenu,   -1,                111,                 39,   0, "PeakRMS.png",        0,       1,     "Metering",       "Peak,RMS,",                           "Compressor Metering Mode"},
    /* 155 */ {kTagCompMode,        0,            kImageMenu,   -1,                199,                 39,   0, "CompMode.png",       0,       1,     "Comp.Mode",      "Stereo,M/S,",                         "Compressor Mode:\nStereo\nM/S (Mono/Side)"},
    /* 156 */ {kTagMeterType,       0,            kImageMenu,   -1,                292,                 39,   0, "meterselect.png",    0,       3,     "Meter Type",     "Std,K12,K14,K20,",                    "Peak Meter Display Scale"},
    /* 157 */ {kTagSensitivity,     0,            kCurvedKnob,  -1,                102,                 68,   0, "KnobS.png",          2,       1000,  "Sensitivity Hz", kNone,                                 "Compressor Metering Sensitivity Hz\n2Hz=500(ms) : 1000Hz=1(ms)\n\nFrequencies below this setting\nmay have modulation distortion"},
    /* 158 */ {kTagLookAhead,       0,            kKnob,        -1,                140,                 68,   0, "KnobS.png",          0,       50,    "LookAhead ms",   kNone,                                 "Look Ahead (ms)\nLook Ahead adds latency(delay)\nto the output signal"},
    /* 159 */ {kTagAttack,          0,            kCurvedKnob,  -1,                189,                 68,   0, "KnobS.png",          0,       500,   "Attack ms",      kNone,                                 "Compressor Attack Time (ms)"},
    /* 160 */ {kTagHold,            0,            kCurvedKnob,  -1,                227,                 68,   0, "KnobS.png",          0,       500,   "Hold ms",        kNone,                                 "Compressor Hold Time (ms)"},
    /* 161 */ {kTagRelease,         0,            kCurvedKnob,  -1,                265,                 68,   0, "KnobS.png",          0,       2000,  "Release ms",     kNone,                                 "Compressor Release Time (ms)"},
    /* 162 */ {kTagHeadphoneShift,  0,            kKnob,        -1,                314,                 68,   0, "KnobS.png",          0,       100,   "HeadPhone ms",   kNone,                                 "Spatial HeadPhone Shift (ms)"},
    /* 163 */ {-1,                  0,            kClose,       0,                 0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // Band switches (LEDs pulse at slightly different rates) and band page buttons
    /* 164 */ {-1,                  0,            kAnim,        7,                 0,                   0,    0, kNone,                0.24f,   0,     kNone,            kNone,                                 kNone},
    /* 165 */ {kTagLowActive,       0,            kLedSwitch,   -1,                385,                 163,  0, "LowOn.png",          0,       1,     "Low Active",     "Off,On,",                             "Low Compressor Band\nActive: Off, On"},
    /* 166 */ {-1,                  0,            kAnim,        7,                 0,                   0,    0, kNone,                0.265f,  0,     kNone,            kNone,                                 kNone},
    /* 167 */ {kTagMidActive,       0,            kLedSwitch,   -1,                434,                 163,  0, "MidOn.png",          0,       1,     "Mid Active",     "Off,On,",                             "Mid Compressor Band\nActive: Off, On"},
    /* 168 */ {-1,                  0,            kAnim,        7,                 0,                   0,    0, kNone,                0.25f,   0,     kNone,            kNone,                                 kNone},
    /* 169 */ {kTagHighActive,      0,            kLedSwitch,   -1,                483,                 163,  0, "HighOn.png",         0,       1,     "High Active",    "Off,On,",                             "High Compressor Band\nActive: Off, On"},
    /* 170 */ {kTagLowBandButton,   kGlobal,      kExclusive,   -1,                532,                 23,   0, "LowBut.png",         0,       10,    kNone,            kNone,                                 "Display Low Compressor Band"},
    /* 171 */ {kTagMidBandButton,   kGlobal,      kExclusive,   -1,                532,                 68,   0, "MidBut.png",         0,       10,    kNone,            kNone,                                 "Display Mid Compressor Band"},
    /* 172 */ {kTagHighBandButton,  kGlobal,      kExclusive,   -1,                532,                 113,  0, "HighBut.png",        0,       10,    kNone,            kNone,                                 "Display High Compressor Band"},

    // Band page buttons: one exclusive group; buttons open and close their panels
    /* 173 */ {kTagLowBandButton,   0,            kGroup,       kTagMidBandButton, kTagHighBandButton,  -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 174 */ {kTagMidBandButton,   0,            kGroup,       kTagLowBandButton, kTagHighBandButton,  -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 175 */ {kTagHighBandButton,  0,            kGroup,       kTagLowBandButton, kTagMidBandButton,   -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 176 */ {kTagCreditsButton,   0,            kPanels,      kPanelCredits,     -1,                  -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 177 */ {kTagSettingsButton,  0,            kPanels,      kPanelSettings,    -1,                  -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 178 */ {kTagLowBandButton,   0,            kPanels,      kPageLowBand,      -1,                  -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 179 */ {kTagMidBandButton,   0,            kPanels,      kPageMidBand,      -1,                  -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
    /* 180 */ {kTagHighBandButton,  0,            kPanels,      kPageHighBand,     -1,                  -1,   0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // MIDI-learn panel (panel 40): hidden, fades in and out
    /* 181 */ {-1,                  0,            kPanelHome,   1,                 204,                 100,  0, kNone,                0.1f,    0,     kNone,            kNone,                                 kNone},
    /* 182 */ {kPanelMidiLearn,     0,            kPanel,       0,                 204,                 100,  0, "AsnMidiCC.png",      0,       0,     kNone,            kNone,                                 kNone},
    /* 183 */ {kTagMidiLearn,       0,            kMidiLearn,   -1,                0,                   0,    0, "AsnMidiCC.png",      0,       0,     kNone,            kNone,                                 "Midi Learn:\nMove External Controller"},
    /* 184 */ {-1,                  0,            kClose,       0,                 0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},

    // End of the table
    /* 185 */ {-1,                  0,            kEnd,         -1,                0,                   0,    0, kNone,                0,       0,     kNone,            kNone,                                 kNone},
};

int16_t countChoices(const char* choices)
{
    int16_t n = 0;
    for (const char* c = choices; c && *c; ++c) {
        if (*c == ',') ++n;
    }
    return n;
}

bool choiceLabel(const char* choices, int i, char* text, int maxLen)
{
    if (!choices || i < 0)
        return false;
    const char* start = choices;
    for (; i > 0; --i) {
        start = std::strchr(start, ',');
        if (!start)
            return false;
        ++start;
    }
    const char* end = std::strchr(start, ',');
    if (!end)
        return false;
    int n = static_cast<int>(end - start);
    if (n > maxLen)
        n = maxLen;
    std::memcpy(text, start, static_cast<size_t>(n));
    text[n] = '\0';
    return true;
}

namespace {

// Exactly the last record ends the table.
constexpr bool endsAtLastRecord()
{
    for (int r = 0; r < kControlRecordCount - 1; ++r)
        if (endsTable(kControlTable[r].type))
            return false;
    return endsTable(kControlTable[kControlRecordCount - 1].type);
}
static_assert(endsAtLastRecord(), "the control table has kControlRecordCount records, the last one ends it");

// Every record's tag is a parameter tag, -1, or (for panels and pages) a panel number.
constexpr bool tagsInRange()
{
    for (const CK_ControlRecord& r : kControlTable)
        if (r.parameter < -1 || r.parameter >= kParameterCount)
            return false;
    return true;
}
static_assert(tagsInRange(), "a control record names a tag outside 0..kParameterCount - 1");

// Programs start without learned controllers, so no parameter record names a default one.
constexpr bool noDefaultControllers()
{
    for (int r = 1; r < kControlRecordCount; ++r)
        if (kControlTable[r].parameter >= 0 && takesDefaultController(kControlTable[r].type) &&
            kControlTable[r].controller != -1)
            return false;
    return true;
}
static_assert(noDefaultControllers(), "a parameter record carries a default MIDI controller");

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
    for (int32_t r = 1; r < kControlRecordCount && !endsTable(kControlTable[r].type); ++r) {
        const CK_ControlRecord& rec = kControlTable[r];
        if (rec.parameter >= 0 && rec.parameter < kParameterCount && canDefineParameter(rec.type)) {
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

float toVolts(int32_t parameter, float normalised)
{
    const CK_ControlRecord& r = CK_ParameterMap::instance().record(parameter);
    return ((r.max - r.min) * normalised + r.min) * kVoltsPerUnit;
}

float normalisedFromVolts(int32_t parameter, float volts)
{
    const CK_ControlRecord& r = CK_ParameterMap::instance().record(parameter);
    const float range = r.max - r.min;
    return range != 0.0f ? (volts * kUnitsPerVolt - r.min) / range : 0.0f;
}
