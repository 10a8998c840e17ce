// The graph table: the signal chain, written as one readable list and packed into the 258-byte
// record layout at compile time.
#include "shell/GraphTable.h"

#include "modules/CK_LinkMessage.h"

#include "dsp/dynamics/CK_DSP_Band_Split_3.h"
#include "dsp/dynamics/CK_DSP_BrelvikSuite_Input.h"
#include "dsp/dynamics/CK_DSP_BrelvikSuite_Output.h"
#include "dsp/dynamics/CK_DSP_Brelvik_ParamAdj.h"
#include "dsp/dynamics/CK_DSP_CompExp_Knee_Math.h"
#include "dsp/dynamics/CK_DSP_Compressor_AHR.h"
#include "dsp/dynamics/CK_DSP_Delay_ST.h"
#include "dsp/dynamics/CK_DSP_Level_to_dB.h"
#include "dsp/dynamics/CK_DSP_Metering2.h"
#include "dsp/dynamics/CK_DSP_ST_Level.h"
#include "dsp/dynamics/CK_DSP_ST_Mix.h"
#include "dsp/dynamics/CK_DSP_dB_to_Level.h"
#include "dsp/dynamics/CK_RampedConverter.h"
#include "dsp/enhance/CK_DSP_Enhancer_Ctrl.h"
#include "dsp/enhance/CK_DSP_Synthetic_Harmonics.h"
#include "dsp/eq/CK_DSP_BiQuad_Coeff.h"
#include "dsp/eq/CK_DSP_BiQuad_Multi_Engine.h"
#include "dsp/eq/CK_DSP_BiQuad_Static.h"
#include "dsp/metering/CK_DSP_Wave_Freq_Display.h"
#include "dsp/spatial/CK_DSP_Spatial.h"
#include "modules/CK_DSP_Float_to_Volt.h"
#include "modules/CK_DSP_GUItoV_Glide.h"
#include "modules/CK_DSP_Host_AudioIn.h"
#include "modules/CK_DSP_OS_Command.h"
#include "shell/ParameterTags.h"

namespace {

constexpr int kModuleCount = 77;
constexpr int kRecordCount = kModuleCount + 1; // the modules and the end record
constexpr size_t kTableBytes = static_cast<size_t>(kRecordCount) * kGraphRecordBytes;
constexpr int kPoolSize = 500;

struct ConstantPool {
    float value[kPoolSize];
};

constexpr ConstantPool makeConstantPool()
{
    ConstantPool pool{};
    for (int n = 0; n <= 25; ++n) pool.value[n] = static_cast<float>(n);
    pool.value[50] = 50.0f;
    pool.value[57] = 150.0f;
    pool.value[59] = 200.0f;
    pool.value[83] = 800.0f;
    pool.value[91] = 1000.0f;
    pool.value[99] = 3000.0f;
    pool.value[107] = 5000.0f;
    pool.value[130] = 0.1f;
    pool.value[133] = 0.4f;
    return pool;
}

constexpr ConstantPool kPool = makeConstantPool();

constexpr int16_t kNoSuchConstant = -1;

// Source code of a constant input: the first pool entry holding the value.
constexpr int16_t K(float value)
{
    for (int n = 0; n < kPoolSize; ++n) {
        if (kPool.value[n] == value) return static_cast<int16_t>(kGraphSourceConstant + n);
    }
    return kNoSuchConstant;
}

// Source code of a parameter input.
constexpr int16_t P(ParameterTag tag)
{
    return static_cast<int16_t>(tag);
}

// Pin of display output slot s.
constexpr uint8_t D(int slot)
{
    return static_cast<uint8_t>(kGraphDisplayPinBase + slot);
}

// Outputs of the constant modules. kIdFixedNumbers output n carries the number n for n = 0..25;
// the outputs after them carry the rest of its constants. kIdFixedVolts holds its constants as
// control buffers, in volts.
constexpr uint8_t N(int number)
{
    return static_cast<uint8_t>(number);
}
constexpr uint8_t kNumberTenth = 39;        // 0.1
constexpr uint8_t kNumberFourTenths = 40;   // 0.4
constexpr uint8_t kNumberOutputLatency = 41; // 2 (ms)
constexpr uint8_t kVoltsZero = 0;
constexpr uint8_t kVoltsOne = 2;

using AudioIn = CK_DSP_Host_AudioIn;
using BandSplit = CK_DSP_Band_Split_3;
using Coeff = CK_DSP_BiQuad_Coeff;
using Delay = CK_DSP_Delay_ST;
using Detector = CK_DSP_Metering2;
using Display = CK_DSP_Wave_Freq_Display;
using Engine = CK_DSP_BiQuad_Multi_Engine;
using Enhancer = CK_DSP_Enhancer_Ctrl;
using Envelope = CK_DSP_Compressor_AHR;
using EnvelopeTimes = CK_DSP_Brelvik_ParamAdj;
using Filter = CK_DSP_BiQuad_Static;
using Glide = CK_DSP_GUItoV_Glide;
using Harmonics = CK_DSP_Synthetic_Harmonics;
using Input = CK_DSP_BrelvikSuite_Input;
using Knee = CK_DSP_CompExp_Knee_Math;
using Level = CK_DSP_ST_Level;
using LevelToDb = CK_DSP_Level_to_dB;
using DbToLevel = CK_DSP_dB_to_Level;
using Mix = CK_DSP_ST_Mix;
using Output = CK_DSP_BrelvikSuite_Output;
using Ramped = CK_RampedConverter; // FdB_to_VFGain and FdB_to_VLevel
using Spatial = CK_DSP_Spatial;
using ToVolt = CK_DSP_Float_to_Volt;

// One entry: {input pin, source output pin (the option byte for display outputs), source}. A
// source is a module ID, K(constant), P(parameter) or, for display outputs, an editor control.
// Entries left out stay unused: input pin 255, the other fields 0.
struct Entry {
    uint8_t pin = kGraphPinEnd;
    uint8_t out = 0;
    int16_t source = 0;
};

struct Module {
    int16_t id;
    Entry in[kGraphEntriesPerRecord];
};

// An equaliser engine: one channel of the input stage, switched by its own output of the input
// stage, filtered by the five bands' coefficient modules (every output of a band's module to that
// band's inputs, in order).
constexpr Module eqEngine(int16_t id, uint8_t audio, uint8_t channelSwitch)
{
    Module m{id, {{Engine::kInAudio, audio, kIdInput}, {Engine::kInPerSample, N(1), kIdFixedNumbers},
                  {Engine::kInMaster, 0, P(kTagEqActive)}, {Engine::kInChannel, channelSwitch, kIdInput}}};
    constexpr int16_t kBands[Engine::kBands] = {kIdEq1Coeff, kIdEq2Coeff, kIdEq3Coeff, kIdEq4Coeff, kIdEq5Coeff};
    int k = 4;
    for (int band = 0; band < Engine::kBands; ++band)
        for (int slot = Engine::kSlotB0; slot <= Engine::kSlotActive; ++slot)
            m.in[k++] = {static_cast<uint8_t>(Engine::bandPin(band, slot)),
                         static_cast<uint8_t>(Coeff::kOutB0 + slot), kBands[band]};
    return m;
}
static_assert(Coeff::kOutActive - Coeff::kOutB0 == Engine::kSlotActive - Engine::kSlotB0,
              "a coefficient module's outputs map one to one onto an engine band's inputs");

// The chain in run order.
constexpr Module kModules[kModuleCount] = {
    /*  0 */ {kIdHostAudioIn, {}},
    /*  1 */ {kIdWebLink, {{CK_DSP_OS_Command::kInWebLink, 0, P(kTagWebLink)}}},
    /*  2 */ {kIdFixedVolts, {{0, 0, K(0)}, {1, 0, K(5)}, {2, 0, K(10)}, {3, 0, K(1)}, {4, 0, K(20)}, {5, 0, K(6)},
               {6, 0, K(0.1f)}, {7, 0, K(3)}, {8, 0, K(4)}, {9, 0, K(150)}, {10, 0, K(200)}, {11, 0, K(800)},
               {12, 0, K(5000)}, {13, 0, K(3000)}, {14, 0, K(1000)}, {15, 0, K(50)}}},
    /*  3 */ {kIdFixedNumbers, {{0, 0, K(0)}, {1, 0, K(1)}, {2, 0, K(2)}, {3, 0, K(3)}, {4, 0, K(4)}, {5, 0, K(5)},
               {6, 0, K(6)}, {7, 0, K(7)}, {8, 0, K(8)}, {9, 0, K(9)}, {10, 0, K(10)}, {11, 0, K(11)}, {12, 0, K(12)},
               {13, 0, K(13)}, {14, 0, K(14)}, {15, 0, K(15)}, {16, 0, K(16)}, {17, 0, K(17)}, {18, 0, K(18)},
               {19, 0, K(19)}, {20, 0, K(20)}, {21, 0, K(21)}, {22, 0, K(22)}, {23, 0, K(23)}, {24, 0, K(24)},
               {25, 0, K(25)}, {kNumberTenth, 0, K(0.1f)}, {kNumberFourTenths, 0, K(0.4f)},
               {kNumberOutputLatency, 0, K(2)}}},
    /*  4 */ {kIdEnvelopeTimes, {
               {EnvelopeTimes::kInAttack, 0, P(kTagAttack)},
               {EnvelopeTimes::kInAttackConstA, 0, P(kTagAttackConstA)},
               {EnvelopeTimes::kInAttackConstB, 0, P(kTagAttackConstB)},
               {EnvelopeTimes::kInAttackContour, 0, P(kTagAttackContour)},
               {EnvelopeTimes::kInHold, 0, P(kTagHold)},
               {EnvelopeTimes::kInHoldConstA, 0, P(kTagHoldConstA)},
               {EnvelopeTimes::kInHoldConstB, 0, P(kTagHoldConstB)},
               {EnvelopeTimes::kInHoldContour, 0, P(kTagHoldContour)},
               {EnvelopeTimes::kInRelease, 0, P(kTagRelease)},
               {EnvelopeTimes::kInReleaseConstA, 0, P(kTagReleaseConstA)},
               {EnvelopeTimes::kInReleaseConstB, 0, P(kTagReleaseConstB)},
               {EnvelopeTimes::kInReleaseContour, 0, P(kTagReleaseContour)}}},
    /*  5 */ {kIdInput, {{Input::kInLeft, AudioIn::kOutLeft, kIdHostAudioIn}, {Input::kInRight, AudioIn::kOutRight, kIdHostAudioIn},
               {Input::kInCompMode, 0, P(kTagCompMode)}, {Input::kInHighFilter, 0, P(kTagHighFilter)}}},

    // Equaliser bands 1 to 5
    /*  6 */ {kIdEq1FreqGlide, {{Glide::kInValue, 0, P(kTagEq1Freq)}}},
    /*  7 */ {kIdEq1WidthGlide, {{Glide::kInValue, 0, P(kTagEq1Width)}, {Glide::kInWidthMode, N(0), kIdFixedNumbers}}},
    /*  8 */ {kIdEq1Gain, {{Ramped::kInValue, 0, P(kTagEq1Gain)}}},
    /*  9 */ {kIdEq1Coeff, {{Coeff::kInFrequency, Glide::kOut, kIdEq1FreqGlide}, {Coeff::kInWidth, Glide::kOut, kIdEq1WidthGlide},
               {Coeff::kInGain, Ramped::kOut, kIdEq1Gain}, {Coeff::kInPerSample, N(1), kIdFixedNumbers},
               {Coeff::kInEnable, 0, P(kTagEq1Active)}}},
    /* 10 */ {kIdEq2FreqGlide, {{Glide::kInValue, 0, P(kTagEq2Freq)}}},
    /* 11 */ {kIdEq2WidthGlide, {{Glide::kInValue, 0, P(kTagEq2Width)}, {Glide::kInWidthMode, N(0), kIdFixedNumbers}}},
    /* 12 */ {kIdEq2Gain, {{Ramped::kInValue, 0, P(kTagEq2Gain)}}},
    /* 13 */ {kIdEq2Coeff, {{Coeff::kInFrequency, Glide::kOut, kIdEq2FreqGlide}, {Coeff::kInWidth, Glide::kOut, kIdEq2WidthGlide},
               {Coeff::kInGain, Ramped::kOut, kIdEq2Gain}, {Coeff::kInPerSample, N(1), kIdFixedNumbers},
               {Coeff::kInEnable, 0, P(kTagEq2Active)}}},
    /* 14 */ {kIdEq3FreqGlide, {{Glide::kInValue, 0, P(kTagEq3Freq)}}},
    /* 15 */ {kIdEq3WidthGlide, {{Glide::kInValue, 0, P(kTagEq3Width)}, {Glide::kInWidthMode, N(0), kIdFixedNumbers}}},
    /* 16 */ {kIdEq3Gain, {{Ramped::kInValue, 0, P(kTagEq3Gain)}}},
    /* 17 */ {kIdEq3Coeff, {{Coeff::kInFrequency, Glide::kOut, kIdEq3FreqGlide}, {Coeff::kInWidth, Glide::kOut, kIdEq3WidthGlide},
               {Coeff::kInGain, Ramped::kOut, kIdEq3Gain}, {Coeff::kInPerSample, N(1), kIdFixedNumbers},
               {Coeff::kInEnable, 0, P(kTagEq3Active)}}},
    /* 18 */ {kIdEq4FreqGlide, {{Glide::kInValue, 0, P(kTagEq4Freq)}}},
    /* 19 */ {kIdEq4WidthGlide, {{Glide::kInValue, 0, P(kTagEq4Width)}, {Glide::kInWidthMode, N(0), kIdFixedNumbers}}},
    /* 20 */ {kIdEq4Gain, {{Ramped::kInValue, 0, P(kTagEq4Gain)}}},
    /* 21 */ {kIdEq4Coeff, {{Coeff::kInFrequency, Glide::kOut, kIdEq4FreqGlide}, {Coeff::kInWidth, Glide::kOut, kIdEq4WidthGlide},
               {Coeff::kInGain, Ramped::kOut, kIdEq4Gain}, {Coeff::kInPerSample, N(1), kIdFixedNumbers},
               {Coeff::kInEnable, 0, P(kTagEq4Active)}}},
    /* 22 */ {kIdEq5FreqGlide, {{Glide::kInValue, 0, P(kTagEq5Freq)}}},
    /* 23 */ {kIdEq5WidthGlide, {{Glide::kInValue, 0, P(kTagEq5Width)}, {Glide::kInWidthMode, N(0), kIdFixedNumbers}}},
    /* 24 */ {kIdEq5Gain, {{Ramped::kInValue, 0, P(kTagEq5Gain)}}},
    /* 25 */ {kIdEq5Coeff, {{Coeff::kInFrequency, Glide::kOut, kIdEq5FreqGlide}, {Coeff::kInWidth, Glide::kOut, kIdEq5WidthGlide},
               {Coeff::kInGain, Ramped::kOut, kIdEq5Gain}, {Coeff::kInPerSample, N(1), kIdFixedNumbers},
               {Coeff::kInEnable, 0, P(kTagEq5Active)}}},
    /* 26 */ eqEngine(kIdEqEngineA, Input::kOutLeft, Input::kOutFirstEngine),
    /* 27 */ eqEngine(kIdEqEngineB, Input::kOutRight, Input::kOutSecondEngine),

    // Band split
    /* 28 */ {kIdLowSplitGlide, {{Glide::kInValue, 0, P(kTagLowBandFreq)}}},
    /* 29 */ {kIdHighSplitGlide, {{Glide::kInValue, 0, P(kTagHighBandFreq)}}},
    /* 30 */ {kIdBandSplit, {{BandSplit::kInA, Engine::kOut, kIdEqEngineA}, {BandSplit::kInB, Engine::kOut, kIdEqEngineB},
               {BandSplit::kInLowFrequency, Glide::kOut, kIdLowSplitGlide},
               {BandSplit::kInHighFrequency, Glide::kOut, kIdHighSplitGlide}}},
    /* 31 */ {kIdReleaseVolts, {{ToVolt::kInValue, EnvelopeTimes::kOutRelease, kIdEnvelopeTimes}}},

    // Low band compressor
    /* 32 */ {kIdLowDetector, {{Detector::kInA, BandSplit::kOutLowA, kIdBandSplit}, {Detector::kInB, BandSplit::kOutLowB, kIdBandSplit},
               {Detector::kInRms, 0, P(kTagMetering)}, {Detector::kInSensitivity, 0, P(kTagSensitivity)},
               {Detector::kInEnable0, 0, P(kTagLowActive)}, {D(Detector::kSlotEnvelope), CK_LinkMessage::kIdCurveLevel, kTagLowCurve}}},
    /* 33 */ {kIdLowLevelDb, {{LevelToDb::kIn, Detector::kOut, kIdLowDetector}}},
    /* 34 */ {kIdLowCurve, {{Knee::kInLevel, LevelToDb::kOut, kIdLowLevelDb}, {Knee::kInThreshold, 0, P(kTagLowThreshold)},
               {Knee::kInKnee, 0, P(kTagLowKnee)}, {Knee::kInRatio, 0, P(kTagLowRatio)}, {Knee::kInActive, 0, P(kTagLowActive)}}},
    /* 35 */ {kIdLowCurveLevel, {{DbToLevel::kIn, Knee::kOut, kIdLowCurve}}},
    /* 36 */ {kIdLowMakeup, {{Ramped::kInValue, 0, P(kTagLowGain)}}},
    /* 37 */ {kIdLowEnvelope, {{Envelope::kInGain, DbToLevel::kOut, kIdLowCurveLevel}, {Envelope::kInMakeup, Ramped::kOut, kIdLowMakeup},
               {Envelope::kInAttack, EnvelopeTimes::kOutAttack, kIdEnvelopeTimes},
               {Envelope::kInHold, EnvelopeTimes::kOutHold, kIdEnvelopeTimes},
               {Envelope::kInRelease, ToVolt::kOut, kIdReleaseVolts}, {Envelope::kInEnable, 0, P(kTagLowActive)}}},

    // Mid band compressor
    /* 38 */ {kIdMidDetector, {{Detector::kInA, BandSplit::kOutMidA, kIdBandSplit}, {Detector::kInB, BandSplit::kOutMidB, kIdBandSplit},
               {Detector::kInRms, 0, P(kTagMetering)}, {Detector::kInSensitivity, 0, P(kTagSensitivity)},
               {Detector::kInEnable0, 0, P(kTagMidActive)}, {D(Detector::kSlotEnvelope), CK_LinkMessage::kIdCurveLevel, kTagMidCurve}}},
    /* 39 */ {kIdMidLevelDb, {{LevelToDb::kIn, Detector::kOut, kIdMidDetector}}},
    /* 40 */ {kIdMidCurve, {{Knee::kInLevel, LevelToDb::kOut, kIdMidLevelDb}, {Knee::kInThreshold, 0, P(kTagMidThreshold)},
               {Knee::kInKnee, 0, P(kTagMidKnee)}, {Knee::kInRatio, 0, P(kTagMidRatio)}, {Knee::kInActive, 0, P(kTagMidActive)}}},
    /* 41 */ {kIdMidCurveLevel, {{DbToLevel::kIn, Knee::kOut, kIdMidCurve}}},
    /* 42 */ {kIdMidMakeup, {{Ramped::kInValue, 0, P(kTagMidGain)}}},
    /* 43 */ {kIdMidEnvelope, {{Envelope::kInGain, DbToLevel::kOut, kIdMidCurveLevel}, {Envelope::kInMakeup, Ramped::kOut, kIdMidMakeup},
               {Envelope::kInAttack, EnvelopeTimes::kOutAttack, kIdEnvelopeTimes},
               {Envelope::kInHold, EnvelopeTimes::kOutHold, kIdEnvelopeTimes},
               {Envelope::kInRelease, ToVolt::kOut, kIdReleaseVolts}, {Envelope::kInEnable, 0, P(kTagMidActive)}}},

    // High band compressor
    /* 44 */ {kIdHighDetector, {{Detector::kInA, BandSplit::kOutHighA, kIdBandSplit}, {Detector::kInB, BandSplit::kOutHighB, kIdBandSplit},
               {Detector::kInRms, 0, P(kTagMetering)}, {Detector::kInSensitivity, 0, P(kTagSensitivity)},
               {Detector::kInEnable0, 0, P(kTagHighActive)}, {D(Detector::kSlotEnvelope), CK_LinkMessage::kIdCurveLevel, kTagHighCurve}}},
    /* 45 */ {kIdHighLevelDb, {{LevelToDb::kIn, Detector::kOut, kIdHighDetector}}},
    /* 46 */ {kIdHighCurve, {{Knee::kInLevel, LevelToDb::kOut, kIdHighLevelDb}, {Knee::kInThreshold, 0, P(kTagHighThreshold)},
               {Knee::kInKnee, 0, P(kTagHighKnee)}, {Knee::kInRatio, 0, P(kTagHighRatio)}, {Knee::kInActive, 0, P(kTagHighActive)}}},
    /* 47 */ {kIdHighCurveLevel, {{DbToLevel::kIn, Knee::kOut, kIdHighCurve}}},
    /* 48 */ {kIdHighMakeup, {{Ramped::kInValue, 0, P(kTagHighGain)}}},
    /* 49 */ {kIdHighEnvelope, {{Envelope::kInGain, DbToLevel::kOut, kIdHighCurveLevel}, {Envelope::kInMakeup, Ramped::kOut, kIdHighMakeup},
               {Envelope::kInAttack, EnvelopeTimes::kOutAttack, kIdEnvelopeTimes},
               {Envelope::kInHold, EnvelopeTimes::kOutHold, kIdEnvelopeTimes},
               {Envelope::kInRelease, ToVolt::kOut, kIdReleaseVolts}, {Envelope::kInEnable, 0, P(kTagHighActive)}}},

    // Look-ahead delays (unit code 6 keeps the delays' own unit)
    /* 50 */ {kIdLowDelay, {{Delay::kInA, BandSplit::kOutLowA, kIdBandSplit}, {Delay::kInB, BandSplit::kOutLowB, kIdBandSplit},
               {Delay::kInDelay, 0, P(kTagLookAhead)}, {Delay::kInUnit, N(6), kIdFixedNumbers}}},
    /* 51 */ {kIdMidDelay, {{Delay::kInA, BandSplit::kOutMidA, kIdBandSplit}, {Delay::kInB, BandSplit::kOutMidB, kIdBandSplit},
               {Delay::kInDelay, 0, P(kTagLookAhead)}, {Delay::kInUnit, N(6), kIdFixedNumbers}}},
    /* 52 */ {kIdHighDelay, {{Delay::kInA, BandSplit::kOutHighA, kIdBandSplit}, {Delay::kInB, BandSplit::kOutHighB, kIdBandSplit},
               {Delay::kInDelay, 0, P(kTagLookAhead)}, {Delay::kInUnit, N(6), kIdFixedNumbers}}},

    // Stereo image: recombines the delayed bands with their gains
    /* 53 */ {kIdSpatialGlide, {{Glide::kInValue, 0, P(kTagSpatial)}, {Glide::kInScale, kNumberTenth, kIdFixedNumbers}}},
    /* 54 */ {kIdSpatial, {{Spatial::kLowA, Delay::kOutA, kIdLowDelay}, {Spatial::kLowB, Delay::kOutB, kIdLowDelay},
               {Spatial::kLowGain, Envelope::kOut, kIdLowEnvelope},
               {Spatial::kMidA, Delay::kOutA, kIdMidDelay}, {Spatial::kMidB, Delay::kOutB, kIdMidDelay},
               {Spatial::kMidGain, Envelope::kOut, kIdMidEnvelope},
               {Spatial::kHighA, Delay::kOutA, kIdHighDelay}, {Spatial::kHighB, Delay::kOutB, kIdHighDelay},
               {Spatial::kHighGain, Envelope::kOut, kIdHighEnvelope},
               {Spatial::kAmount, Glide::kOut, kIdSpatialGlide}, {Spatial::kHeadphone, 0, P(kTagHeadphone)},
               {Spatial::kShift, 0, P(kTagHeadphoneShift)}, {Spatial::kBandMode, 0, P(kTagSpatialMode)},
               {Spatial::kActive, 0, P(kTagSpatialActive)}, {Spatial::kMidSide, 0, P(kTagCompMode)}}},

    // Bass enhancer
    /* 55 */ {kIdBassEnhFreqGlide, {{Glide::kInValue, 0, P(kTagBassEnhFreq)}}},
    /* 56 */ {kIdBassEnhFilter, {{Filter::kInA, Spatial::kOutLeft, kIdSpatial}, {Filter::kInB, Spatial::kOutRight, kIdSpatial},
               {Filter::kInFrequency, Glide::kOut, kIdBassEnhFreqGlide}, {Filter::kInResonance, kVoltsZero, kIdFixedVolts},
               {Filter::kInGain, kVoltsZero, kIdFixedVolts}, {Filter::kInType, N(1), kIdFixedNumbers},
               {Filter::kInSections, N(0), kIdFixedNumbers}, {Filter::kInSwitchA, 0, P(kTagBassOn)},
               {Filter::kInSwitchB, 0, P(kTagPsychoBass)}}},
    /* 57 */ {kIdBassEnhDetector, {{Detector::kInA, BandSplit::kOutLowA, kIdBandSplit}, {Detector::kInB, BandSplit::kOutLowB, kIdBandSplit},
               {Detector::kInAttack, N(10), kIdFixedNumbers}, {Detector::kInRms, N(0), kIdFixedNumbers},
               {Detector::kInSensitivity, N(20), kIdFixedNumbers}, {Detector::kInEnable0, 0, P(kTagBassOn)},
               {Detector::kInEnable1, 0, P(kTagPsychoBass)}}},
    /* 58 */ {kIdBassDynamicsGlide, {{Glide::kInValue, 0, P(kTagBassDynamics)}}},
    /* 59 */ {kIdBassEnhancer, {{Enhancer::kMainA, Spatial::kOutLeft, kIdSpatial}, {Enhancer::kMainB, Spatial::kOutRight, kIdSpatial},
               {Enhancer::kBandA, Filter::kOutA, kIdBassEnhFilter}, {Enhancer::kBandB, Filter::kOutB, kIdBassEnhFilter},
               {Enhancer::kEnvelope, Detector::kOut, kIdBassEnhDetector}, {Enhancer::kAmount, Glide::kOut, kIdBassDynamicsGlide},
               {Enhancer::kMode, 0, P(kTagBassMode)}, {Enhancer::kEnable, 0, P(kTagBassOn)}}},
    /* 60 */ {kIdBassHarmonicsGlide, {{Glide::kInValue, 0, P(kTagPsychoBassLevel)}, {Glide::kInScale, kNumberTenth, kIdFixedNumbers}}},
    /* 61 */ {kIdBassHarmonics, {{Harmonics::kMainA, Enhancer::kOutA, kIdBassEnhancer}, {Harmonics::kMainB, Enhancer::kOutB, kIdBassEnhancer},
               {Harmonics::kBandA, Filter::kOutA, kIdBassEnhFilter}, {Harmonics::kBandB, Filter::kOutB, kIdBassEnhFilter},
               {Harmonics::kAmount, Glide::kOut, kIdBassHarmonicsGlide}, {Harmonics::kType, 0, P(kTagLoHarmonics)},
               {Harmonics::kDynamic, 0, P(kTagPsyBassMode)}, {Harmonics::kEnvelope, Detector::kOut, kIdBassEnhDetector},
               {Harmonics::kEnable, 0, P(kTagPsychoBass)}}},

    // High enhancer
    /* 62 */ {kIdHighEnhFreqGlide, {{Glide::kInValue, 0, P(kTagHighEnhFreq)}}},
    /* 63 */ {kIdHighEnhWidthGlide, {{Glide::kInValue, Input::kOutBandwidth, kIdInput}}},
    /* 64 */ {kIdHighEnhFilter, {{Filter::kInA, Spatial::kOutLeft, kIdSpatial}, {Filter::kInB, Spatial::kOutRight, kIdSpatial},
               {Filter::kInFrequency, Glide::kOut, kIdHighEnhFreqGlide}, {Filter::kInResonance, Glide::kOut, kIdHighEnhWidthGlide},
               {Filter::kInGain, kVoltsZero, kIdFixedVolts}, {Filter::kInType, Input::kOutFilterType, kIdInput},
               {Filter::kInSections, N(0), kIdFixedNumbers}, {Filter::kInSwitchA, 0, P(kTagHighOn)},
               {Filter::kInSwitchB, 0, P(kTagPsychoHigh)}}},
    /* 65 */ {kIdHighEnhDetector, {{Detector::kInA, Filter::kOutA, kIdHighEnhFilter}, {Detector::kInB, Filter::kOutB, kIdHighEnhFilter},
               {Detector::kInAttack, N(2), kIdFixedNumbers}, {Detector::kInRms, N(0), kIdFixedNumbers},
               {Detector::kInSensitivity, N(20), kIdFixedNumbers}, {Detector::kInEnable0, 0, P(kTagHighOn)},
               {Detector::kInEnable1, 0, P(kTagPsychoHigh)}}},
    /* 66 */ {kIdHighDynamicsGlide, {{Glide::kInValue, 0, P(kTagHighDynamics)}}},
    /* 67 */ {kIdHighEnhancer, {{Enhancer::kMainA, Harmonics::kOutA, kIdBassHarmonics}, {Enhancer::kMainB, Harmonics::kOutB, kIdBassHarmonics},
               {Enhancer::kBandA, Filter::kOutA, kIdHighEnhFilter}, {Enhancer::kBandB, Filter::kOutB, kIdHighEnhFilter},
               {Enhancer::kEnvelope, Detector::kOut, kIdHighEnhDetector}, {Enhancer::kAmount, Glide::kOut, kIdHighDynamicsGlide},
               {Enhancer::kMode, 0, P(kTagHighMode)}, {Enhancer::kEnable, 0, P(kTagHighOn)}}},
    /* 68 */ {kIdHighHarmonicsGlide, {{Glide::kInValue, 0, P(kTagPsychoHighLevel)}, {Glide::kInScale, kNumberTenth, kIdFixedNumbers}}},
    /* 69 */ {kIdHighHarmonics, {{Harmonics::kMainA, Enhancer::kOutA, kIdHighEnhancer}, {Harmonics::kMainB, Enhancer::kOutB, kIdHighEnhancer},
               {Harmonics::kBandA, Filter::kOutA, kIdHighEnhFilter}, {Harmonics::kBandB, Filter::kOutB, kIdHighEnhFilter},
               {Harmonics::kAmount, Glide::kOut, kIdHighHarmonicsGlide}, {Harmonics::kType, 0, P(kTagHiHarmonics)},
               {Harmonics::kDynamic, 0, P(kTagPsyHighMode)}, {Harmonics::kEnvelope, Detector::kOut, kIdHighEnhDetector},
               {Harmonics::kEnable, 0, P(kTagPsychoHigh)}}},

    // Parallel mix, master gain, output latency, bypass, output meters and the final stage
    /* 70 */ {kIdMasterGain, {{Ramped::kInValue, 0, P(kTagMasterGain)}}},
    /* 71 */ {kIdParallelGlide, {{Glide::kInValue, 0, P(kTagParallel)}, {Glide::kInScale, kNumberTenth, kIdFixedNumbers}}},
    /* 72 */ {kIdMix, {{Mix::kInWetA, Harmonics::kOutA, kIdHighHarmonics}, {Mix::kInWetB, Harmonics::kOutB, kIdHighHarmonics},
               {Mix::kInMix, Glide::kOut, kIdParallelGlide}, {Mix::kInGain, Ramped::kOut, kIdMasterGain},
               {Mix::kInDecode, 0, P(kTagCompMode)},
               {Mix::kInLowDryA, Delay::kOutA, kIdLowDelay}, {Mix::kInLowDryB, Delay::kOutB, kIdLowDelay},
               {Mix::kInMidDryA, Delay::kOutA, kIdMidDelay}, {Mix::kInMidDryB, Delay::kOutB, kIdMidDelay},
               {Mix::kInHighDryA, Delay::kOutA, kIdHighDelay}, {Mix::kInHighDryB, Delay::kOutB, kIdHighDelay}}},
    /* 73 */ {kIdOutputDelay, {{Delay::kInA, Mix::kOutLeft, kIdMix}, {Delay::kInB, Mix::kOutRight, kIdMix},
               {Delay::kInDelay, kNumberOutputLatency, kIdFixedNumbers}, {Delay::kInUnit, N(6), kIdFixedNumbers}}},
    /* 74 */ {kIdOutput, {{Output::kInLeft, Delay::kOutA, kIdOutputDelay}, {Output::kInRight, Delay::kOutB, kIdOutputDelay},
               {Output::kInHostLeft, AudioIn::kOutLeft, kIdHostAudioIn}, {Output::kInHostRight, AudioIn::kOutRight, kIdHostAudioIn},
               {Output::kInCompMode, 0, P(kTagCompMode)}, {Output::kInBypass, 0, P(kTagBypass)}}},
    /* 75 */ {kIdOutputMeter, {{Display::kInLeft, Output::kOutLeft, kIdOutput}, {Display::kInRight, Output::kOutRight, kIdOutput},
               {Display::kMeterType, 0, P(kTagMeterType)},
               {D(Display::kSlotLeft), 0, kTagPeakMeterLeft}, {D(Display::kSlotRight), 0, kTagPeakMeterRight},
               {D(Display::kSlotScale), 0, kTagMeterScale}, {D(Display::kSlotHeldPeak), 0, kTagPeakReadout}}},
    /* 76 */ {kIdOutputLevel, {{Level::kInLeft, Output::kOutLeft, kIdOutput}, {Level::kInRight, Output::kOutRight, kIdOutput},
               {Level::kInLevel, kVoltsOne, kIdFixedVolts}}},
};

// All kModuleCount records are filled with module IDs, every constant is in the pool and every
// module source is an earlier record.
constexpr bool wellFormed()
{
    for (int m = 0; m < kModuleCount; ++m) {
        if (kModules[m].id < kModuleIdFirst || kModules[m].id > kModuleIdLast) return false;
        for (const Entry& e : kModules[m].in) {
            if (e.pin == kGraphPinEnd || e.pin >= kGraphDisplayPinBase) continue;
            if (e.source == kNoSuchConstant) return false;
            if (e.source < kModuleIdFirst) continue;
            bool earlier = false;
            for (int s = 0; s < m; ++s) earlier = earlier || kModules[s].id == e.source;
            if (!earlier) return false;
        }
    }
    return true;
}
static_assert(wellFormed(), "graph table misses a module or refers to a missing module or constant");

struct PackedTable {
    uint8_t bytes[kTableBytes];
};

constexpr void putInt16(uint8_t* p, int16_t v)
{
    const uint16_t u = static_cast<uint16_t>(v);
    p[0] = static_cast<uint8_t>(u & 0xFF);
    p[1] = static_cast<uint8_t>(u >> 8);
}

constexpr void putRecord(uint8_t* record, const Module& module)
{
    putInt16(record, module.id);
    for (int k = 0; k < kGraphEntriesPerRecord; ++k) {
        uint8_t* entry = record + 2 + 4 * k;
        entry[0] = module.in[k].pin;
        entry[1] = module.in[k].out;
        putInt16(entry + 2, module.in[k].source);
    }
}

constexpr PackedTable packTable()
{
    PackedTable table{};
    for (int m = 0; m < kModuleCount; ++m) putRecord(table.bytes + m * kGraphRecordBytes, kModules[m]);
    putRecord(table.bytes + kModuleCount * kGraphRecordBytes, Module{kModuleIdEnd, {}});
    return table;
}

constexpr PackedTable kPacked = packTable();

int16_t readInt16(const uint8_t* p)
{
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

} // namespace

// The exported arrays copy the compile-time results element by element: an array definition needs
// a braced list, and these macros spell out a[i], a[i + 1], ... for a power-of-two run.
#define BRV_RUN_1(a, i) a[i]
#define BRV_RUN_2(a, i) BRV_RUN_1(a, i), BRV_RUN_1(a, (i) + 1)
#define BRV_RUN_4(a, i) BRV_RUN_2(a, i), BRV_RUN_2(a, (i) + 2)
#define BRV_RUN_8(a, i) BRV_RUN_4(a, i), BRV_RUN_4(a, (i) + 4)
#define BRV_RUN_16(a, i) BRV_RUN_8(a, i), BRV_RUN_8(a, (i) + 8)
#define BRV_RUN_32(a, i) BRV_RUN_16(a, i), BRV_RUN_16(a, (i) + 16)
#define BRV_RUN_64(a, i) BRV_RUN_32(a, i), BRV_RUN_32(a, (i) + 32)
#define BRV_RUN_128(a, i) BRV_RUN_64(a, i), BRV_RUN_64(a, (i) + 64)
#define BRV_RUN_256(a, i) BRV_RUN_128(a, i), BRV_RUN_128(a, (i) + 128)
#define BRV_RUN_512(a, i) BRV_RUN_256(a, i), BRV_RUN_256(a, (i) + 256)
#define BRV_RUN_1024(a, i) BRV_RUN_512(a, i), BRV_RUN_512(a, (i) + 512)
#define BRV_RUN_2048(a, i) BRV_RUN_1024(a, i), BRV_RUN_1024(a, (i) + 1024)
#define BRV_RUN_4096(a, i) BRV_RUN_2048(a, i), BRV_RUN_2048(a, (i) + 2048)
#define BRV_RUN_8192(a, i) BRV_RUN_4096(a, i), BRV_RUN_4096(a, (i) + 4096)
#define BRV_RUN_16384(a, i) BRV_RUN_8192(a, i), BRV_RUN_8192(a, (i) + 8192)

static_assert(kTableBytes == 16384 + 2048 + 1024 + 512 + 128 + 16 + 8 + 4, "runs below must cover the table");
const uint8_t kGraphTableBytes[kTableBytes] = {
    BRV_RUN_16384(kPacked.bytes, 0), BRV_RUN_2048(kPacked.bytes, 16384), BRV_RUN_1024(kPacked.bytes, 18432),
    BRV_RUN_512(kPacked.bytes, 19456), BRV_RUN_128(kPacked.bytes, 19968), BRV_RUN_16(kPacked.bytes, 20096),
    BRV_RUN_8(kPacked.bytes, 20112), BRV_RUN_4(kPacked.bytes, 20120)};
const size_t kGraphTableSize = kTableBytes;

static_assert(kPoolSize == 256 + 128 + 64 + 32 + 16 + 4, "runs below must cover the pool");
const float kGraphConstantPool[kPoolSize] = {
    BRV_RUN_256(kPool.value, 0), BRV_RUN_128(kPool.value, 256), BRV_RUN_64(kPool.value, 384),
    BRV_RUN_32(kPool.value, 448), BRV_RUN_16(kPool.value, 480), BRV_RUN_4(kPool.value, 496)};

#undef BRV_RUN_1
#undef BRV_RUN_2
#undef BRV_RUN_4
#undef BRV_RUN_8
#undef BRV_RUN_16
#undef BRV_RUN_32
#undef BRV_RUN_64
#undef BRV_RUN_128
#undef BRV_RUN_256
#undef BRV_RUN_512
#undef BRV_RUN_1024
#undef BRV_RUN_2048
#undef BRV_RUN_4096
#undef BRV_RUN_8192
#undef BRV_RUN_16384

int16_t graphRecordId(const uint8_t* record)
{
    return readInt16(record);
}

CK_GraphEntry graphRecordEntry(const uint8_t* record, int k)
{
    const uint8_t* entry = record + 2 + 4 * k;
    return CK_GraphEntry{entry[0], entry[1], readInt16(entry + 2)};
}
