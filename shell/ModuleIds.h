// Module IDs of the graph table: the ID of a module selects its class (by the ranges below) and
// names it as a source of other modules' inputs. Dependency-free.
#pragma once

#include <cstdint>

constexpr int16_t kModuleIdFirst = 6000;
constexpr int16_t kModuleIdLast = 6451;
constexpr int16_t kModuleIdEnd = 6452; // this and any higher ID ends the table

enum ModuleId : int16_t {
    // Sources and constants.
    kIdHostAudioIn = 6003,
    kIdFixedVolts = 6005,   // constant control buffers
    kIdFixedNumbers = 6009, // constants announced as events
    kIdInput = 6438,
    kIdEnvelopeTimes = 6433,
    kIdReleaseVolts = 6040,
    kIdWebLink = 6432,

    // Equaliser: per band a frequency and a width smoother, a gain conversion and a coefficient
    // module; two engines (one per channel).
    kIdEq1FreqGlide = 6016, kIdEq1WidthGlide = 6017, kIdEq1Gain = 6327, kIdEq1Coeff = 6347,
    kIdEq2FreqGlide = 6018, kIdEq2WidthGlide = 6019, kIdEq2Gain = 6328, kIdEq2Coeff = 6348,
    kIdEq3FreqGlide = 6020, kIdEq3WidthGlide = 6021, kIdEq3Gain = 6329, kIdEq3Coeff = 6349,
    kIdEq4FreqGlide = 6022, kIdEq4WidthGlide = 6023, kIdEq4Gain = 6330, kIdEq4Coeff = 6350,
    kIdEq5FreqGlide = 6024, kIdEq5WidthGlide = 6025, kIdEq5Gain = 6331, kIdEq5Coeff = 6351,
    kIdEqEngineA = 6361,
    kIdEqEngineB = 6362,

    // Band split.
    kIdLowSplitGlide = 6026,
    kIdHighSplitGlide = 6027,
    kIdBandSplit = 6368,

    // Band compressors: detector, level in dB, gain curve, gain as a level, make-up, envelope.
    kIdLowDetector = 6233, kIdLowLevelDb = 6188, kIdLowCurve = 6198, kIdLowCurveLevel = 6182,
    kIdLowMakeup = 6337, kIdLowEnvelope = 6204,
    kIdMidDetector = 6234, kIdMidLevelDb = 6189, kIdMidCurve = 6199, kIdMidCurveLevel = 6183,
    kIdMidMakeup = 6338, kIdMidEnvelope = 6205,
    kIdHighDetector = 6235, kIdHighLevelDb = 6190, kIdHighCurve = 6200, kIdHighCurveLevel = 6184,
    kIdHighMakeup = 6339, kIdHighEnvelope = 6206,

    // Look-ahead delays of the bands.
    kIdLowDelay = 6248,
    kIdMidDelay = 6249,
    kIdHighDelay = 6250,

    // Stereo image.
    kIdSpatialGlide = 6028,
    kIdSpatial = 6400,

    // Bass enhancer.
    kIdBassEnhFreqGlide = 6031,
    kIdBassEnhFilter = 6344,
    kIdBassEnhDetector = 6237,
    kIdBassDynamicsGlide = 6032,
    kIdBassEnhancer = 6371,
    kIdBassHarmonicsGlide = 6035,
    kIdBassHarmonics = 6378,

    // High enhancer.
    kIdHighEnhFreqGlide = 6029,
    kIdHighEnhWidthGlide = 6030,
    kIdHighEnhFilter = 6343,
    kIdHighEnhDetector = 6238,
    kIdHighDynamicsGlide = 6033,
    kIdHighEnhancer = 6373,
    kIdHighHarmonicsGlide = 6034,
    kIdHighHarmonics = 6379,

    // Mix and output.
    kIdMasterGain = 6340,
    kIdParallelGlide = 6036,
    kIdMix = 6152,
    kIdOutputDelay = 6251,
    kIdOutput = 6439,
    kIdOutputMeter = 6429,
    kIdOutputLevel = 6146,
};

// The ID ranges of the module classes.
struct ModuleIdRange {
    int16_t first, last;
};
constexpr ModuleIdRange kHostAudioInIds{kIdHostAudioIn, kIdHostAudioIn};
constexpr ModuleIdRange kFixedValueToVoltIds{6004, 6006};
constexpr ModuleIdRange kFixedValueToIntFloatIds{6008, 6010};
constexpr ModuleIdRange kGlideIds{6015, 6036};
constexpr ModuleIdRange kFloatToVoltIds{6038, 6041};
constexpr ModuleIdRange kStLevelIds{6144, 6146};
constexpr ModuleIdRange kStMixIds{6151, 6153};
constexpr ModuleIdRange kDbToLevelIds{6180, 6185};
constexpr ModuleIdRange kLevelToDbIds{6187, 6191};
constexpr ModuleIdRange kKneeMathIds{6196, 6200};
constexpr ModuleIdRange kCompressorAhrIds{6202, 6206};
constexpr ModuleIdRange kMetering2Ids{6232, 6238};
constexpr ModuleIdRange kDelayStIds{6247, 6252};
constexpr ModuleIdRange kFdbToVfGainIds{6325, 6331};
constexpr ModuleIdRange kFdbToVLevelIds{6333, 6340};
constexpr ModuleIdRange kBiQuadStaticIds{6342, 6344};
constexpr ModuleIdRange kBiQuadCoeffIds{6346, 6351};
constexpr ModuleIdRange kBiQuadMultiEngineIds{6360, 6362};
constexpr ModuleIdRange kBandSplit3Ids{6367, 6368};
constexpr ModuleIdRange kEnhancerCtrlIds{6370, 6374};
constexpr ModuleIdRange kSyntheticHarmonicsIds{6376, 6379};
constexpr ModuleIdRange kSpatialIds{6399, 6400};
constexpr ModuleIdRange kWaveFreqDisplayIds{6428, 6430};
constexpr ModuleIdRange kOsCommandIds{kIdWebLink, kIdWebLink};
constexpr ModuleIdRange kParamAdjIds{6433, 6433};
constexpr ModuleIdRange kSuiteInputIds{6438, 6438};
constexpr ModuleIdRange kSuiteOutputIds{6439, 6439};
