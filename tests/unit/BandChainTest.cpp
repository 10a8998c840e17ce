#include <gtest/gtest.h>

#include <cmath>

#include "DynamicsTestRig.h"
#include "dsp/dynamics/CK_DSP_Band_Split_3.h"
#include "dsp/dynamics/CK_DSP_Brelvik_ParamAdj.h"
#include "dsp/dynamics/CK_DSP_CompExp_Knee_Math.h"
#include "dsp/dynamics/CK_DSP_Compressor_AHR.h"
#include "dsp/dynamics/CK_DSP_FdB_to_VLevel.h"
#include "dsp/dynamics/CK_DSP_Level_to_dB.h"
#include "dsp/dynamics/CK_DSP_Metering2.h"
#include "dsp/dynamics/CK_DSP_dB_to_Level.h"
#include "modules/CK_DSP_Float_to_Volt.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct BandSettings {
    float thresholdDb = -20.0f;
    float kneePercent = 0.0f;
    float ratio = 4.0f;
    float makeUpDb = 0.0f;
    bool active = true;
};

// The time shaping shared by all bands: attack, hold and release as events, the release also as a
// signal through a value-to-signal converter.
struct SharedTimes {
    explicit SharedTimes(DynamicsRig& rig)
    {
        adj = rig.add<CK_DSP_Brelvik_ParamAdj>();
        release = rig.add<CK_DSP_Float_to_Volt>();
        rig.wire(adj, 2, release, 0);
    }
    void prepare()
    {
        adj->prepare();
        release->prepare();
    }
    // Attack 0.2 ms, hold 0 ms, release 200 ms, through "Lin" contours with constant A at the top
    // of each range.
    void send(DynamicsRig& rig)
    {
        const float knob[3] = {0.02f, 0.0f, 20.0f}, top[3] = {50.0f, 50.0f, 200.0f};
        for (int t = 0; t < 3; ++t) {
            rig.param(adj, 4 * t + 1, top[t]);
            rig.param(adj, 4 * t, knob[t]);
        }
    }
    CK_DSP_Brelvik_ParamAdj* adj;
    CK_DSP_Float_to_Volt* release;
};

// One band compressor wired as the graph wires the low band: detector -> dB -> gain curve ->
// level -> envelope with make-up gain, all switched by the band's active parameter.
struct BandChain {
    BandChain(DynamicsRig& rig, SharedTimes& times, const float* left, const float* right)
    {
        detector = rig.add<CK_DSP_Metering2>();
        detector->setInput(0, left);
        detector->setInput(1, right);
        toDb = rig.add<CK_DSP_Level_to_dB>();
        rig.wire(detector, 0, toDb, 0);
        curve = rig.add<CK_DSP_CompExp_Knee_Math>();
        rig.wire(toDb, 0, curve, 0);
        toLevel = rig.add<CK_DSP_dB_to_Level>();
        rig.wire(curve, 0, toLevel, 0);
        makeUp = rig.add<CK_DSP_FdB_to_VLevel>();
        envelope = rig.add<CK_DSP_Compressor_AHR>();
        rig.wire(toLevel, 0, envelope, 0);
        rig.wire(makeUp, 0, envelope, 1);
        rig.wire(times.adj, 0, envelope, 2);
        rig.wire(times.adj, 1, envelope, 3);
        rig.wire(times.release, 0, envelope, 4);
    }
    void prepare()
    {
        for (CK_ModuleBase* m : std::initializer_list<CK_ModuleBase*>{detector, toDb, curve, toLevel, makeUp, envelope})
            m->prepare();
    }
    // The parameter values as the effect sends them after prepare.
    void send(DynamicsRig& rig, const BandSettings& s)
    {
        const float active = s.active ? 0.1f : 0.0f;
        rig.param(detector, 6, 0.0f);  // "Metering": peak
        rig.param(detector, 8, 2.0f);  // "Sensitivity Hz": 20 Hz
        rig.param(detector, 9, active);
        rig.param(curve, 1, s.thresholdDb / 10.0f);
        rig.param(curve, 2, s.kneePercent / 10.0f);
        rig.param(curve, 3, s.ratio / 10.0f);
        rig.param(curve, 19, active);
        rig.param(makeUp, 0, s.makeUpDb / 10.0f);
        rig.param(envelope, 9, active);
    }
    const float* gain() const { return envelope->outputs[0]; }

    CK_DSP_Metering2* detector;
    CK_DSP_Level_to_dB* toDb;
    CK_DSP_CompExp_Knee_Math* curve;
    CK_DSP_dB_to_Level* toLevel;
    CK_DSP_FdB_to_VLevel* makeUp;
    CK_DSP_Compressor_AHR* envelope;
};

// The static gain law in dB for a level in dB, with the threshold stored 0.0001 V below its value.
double predictedChangeDb(double levelDb, const BandSettings& s)
{
    const double t = s.thresholdDb / 10.0 - 0.0001, x = std::max(levelDb / 10.0, t), q = x / t;
    const double a = s.kneePercent / 100.0;
    double d;
    if (a <= 0.5) {
        const double k = 2.0 * a;
        d = (1.0 - q * k) * s.ratio + q * k;
    } else {
        const double k = 2.0 * (a - 0.5), h = 12.0 * k * k + 3.0;
        d = (q * k * h * s.ratio + s.ratio) * (1.0 - q) + q;
    }
    return 10.0 * ((x - t) / d + t - x);
}

// A steady 1 kHz sine at a level through one band chain; answers the output level (the sine times
// the band gain) in dB once the envelope has settled, and the gain's spread over that time.
struct Measured {
    double outputDb;
    double gainSpreadDb;
};
Measured runSteadySine(double levelDb, const BandSettings& settings)
{
    DynamicsRig rig;
    SignalBuffer left(rig.cappedBlockSize), right(rig.cappedBlockSize);
    SharedTimes times(rig);
    BandChain band(rig, times, left.get(), right.get());
    times.prepare();
    band.prepare();
    times.send(rig);
    band.send(rig, settings);

    const double amplitude = std::pow(10.0, levelDb / 20.0);
    const int32_t n = rig.cappedBlockSize, total = 44100 / 2, measureFrom = total - 4410;
    double peak = 0, gainMin = 1e9, gainMax = 0;
    for (int32_t done = 0; done < total; done += n) {
        for (int32_t i = 0; i < n; ++i)
            left[i] = right[i] = static_cast<float>(amplitude * std::sin(2.0 * kPi * 1000.0 * (done + i) / 44100.0));
        rig.runFrames(n);
        if (done < measureFrom)
            continue;
        for (int32_t i = 0; i < n; ++i) {
            const double g = band.gain()[i];
            peak = std::max(peak, std::fabs(left[i] * g));
            gainMin = std::min(gainMin, g);
            gainMax = std::max(gainMax, g);
        }
    }
    return {20.0 * std::log10(peak), 20.0 * std::log10(gainMax / gainMin)};
}

TEST(BandChainTest, SteadySinesFollowTheStaticCurve)
{
    const BandSettings curves[] = {{-20.0f, 0.0f, 4.0f, 0.0f, true},
                                   {-30.0f, 50.0f, 3.0f, 0.0f, true},
                                   {-25.0f, 100.0f, 2.0f, 6.0f, true}};
    for (const BandSettings& s : curves) {
        for (double levelDb = -40.0; levelDb <= 0.0; levelDb += 5.0) {
            const Measured m = runSteadySine(levelDb, s);
            // The gain comes back from dB as 2^(dB / 6), make-up included.
            const double gainDb = 20.0 * std::log10(std::pow(2.0, (predictedChangeDb(levelDb, s) + s.makeUpDb) / 6.0));
            EXPECT_NEAR(m.outputDb, levelDb + gainDb, 0.2)
                << "threshold " << s.thresholdDb << " knee " << s.kneePercent << " ratio " << s.ratio << " at "
                << levelDb << " dB";
            EXPECT_LT(m.gainSpreadDb, 0.1) << levelDb;
        }
    }
}

TEST(BandChainTest, EachBandCompressesItsOwnSignal)
{
    DynamicsRig rig;
    SignalBuffer left(rig.cappedBlockSize), right(rig.cappedBlockSize);
    SignalBuffer lowHz(rig.cappedBlockSize, 20.0f), highHz(rig.cappedBlockSize, 300.0f);
    SharedTimes times(rig);
    auto* split = rig.add<CK_DSP_Band_Split_3>();
    split->setInput(0, left.get());
    split->setInput(1, right.get());
    split->setInput(2, lowHz.get());
    split->setInput(3, highHz.get());
    BandChain low(rig, times, split->outputs[0], split->outputs[3]);
    BandChain mid(rig, times, split->outputs[1], split->outputs[4]);
    BandChain high(rig, times, split->outputs[2], split->outputs[5]);
    times.prepare();
    split->prepare();
    low.prepare();
    mid.prepare();
    high.prepare();
    times.send(rig);
    for (BandChain* b : {&low, &mid, &high})
        b->send(rig, BandSettings{});

    // A loud bass tone and a quiet treble tone: only the low band reduces its gain.
    auto play = [&](double bassAmp, double trebleAmp, double seconds) {
        for (int32_t done = 0; done < static_cast<int32_t>(44100 * seconds); done += rig.cappedBlockSize) {
            for (int32_t i = 0; i < rig.cappedBlockSize; ++i) {
                const double t = (done + i) / 44100.0;
                left[i] = static_cast<float>(bassAmp * std::sin(2 * kPi * 80 * t) + trebleAmp * std::sin(2 * kPi * 9000 * t));
                right[i] = -left[i];
            }
            rig.runFrames(rig.cappedBlockSize);
        }
    };
    const double predictedLow = std::pow(2.0, predictedChangeDb(-6.0, BandSettings{}) / 6.0);
    play(0.5, 0.01, 0.25);
    EXPECT_NEAR(low.gain()[0], predictedLow, 0.03);
    EXPECT_FLOAT_EQ(mid.gain()[0], 1.0f);
    EXPECT_FLOAT_EQ(high.gain()[0], 1.0f);

    // Now the treble is loud and the bass quiet; the low band releases (200 ms) back to unity,
    // and the mid band, which saw the switch-over transient, too. (A single-precision release
    // comes to rest within a few hundred-thousandths of unity.)
    play(0.01, 0.5, 1.0);
    EXPECT_NEAR(low.gain()[0], 1.0f, 1e-4f);
    EXPECT_NEAR(mid.gain()[0], 1.0f, 1e-4f);
    EXPECT_NEAR(high.gain()[0], predictedLow, 0.03);

    // "High Active" off: the high band passes at exactly unity however loud it is.
    BandSettings off;
    off.active = false;
    high.send(rig, off);
    play(0.01, 0.5, 0.05);
    for (int32_t i = 0; i < rig.cappedBlockSize; ++i)
        ASSERT_EQ(high.gain()[i], 1.0f);
    EXPECT_TRUE(high.envelope->flags & CK_ModuleBase::kFlagResting);
    EXPECT_TRUE(high.detector->flags & CK_ModuleBase::kFlagResting);
}

} // namespace
