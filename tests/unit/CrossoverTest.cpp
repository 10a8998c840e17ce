#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "DynamicsTestRig.h"
#include "dsp/dynamics/CK_DSP_Band_Split_3.h"
#include "dsp/dynamics/CrossoverSection4.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A crossover wired like the graph's: channel A, optional channel B, both frequency pins.
struct Crossover {
    Crossover(int32_t rate, float lowHz, float highHz, bool stereo = false)
        : rig(rate), a(rig.cappedBlockSize), b(rig.cappedBlockSize), low(rig.cappedBlockSize, lowHz / 10.0f),
          high(rig.cappedBlockSize, highHz / 10.0f)
    {
        split = rig.add<CK_DSP_Band_Split_3>();
        split->setInput(0, a.get());
        if (stereo)
            split->setInput(1, b.get());
        split->setInput(2, low.get());
        split->setInput(3, high.get());
        split->prepare();
    }

    // Feeds the signal through in whole blocks; answers the six outputs, one vector per pin.
    std::vector<std::vector<float>> run(const std::vector<float>& signal)
    {
        std::vector<std::vector<float>> out(6, std::vector<float>(signal.size()));
        const int32_t n = rig.cappedBlockSize;
        for (size_t start = 0; start < signal.size(); start += static_cast<size_t>(n)) {
            for (int32_t i = 0; i < n; ++i)
                a[i] = b[i] = signal[start + static_cast<size_t>(i)];
            rig.runFrames(n);
            for (int pin = 0; pin < 6; ++pin)
                for (int32_t i = 0; i < n; ++i)
                    out[static_cast<size_t>(pin)][start + static_cast<size_t>(i)] = split->outputs[pin][i];
        }
        return out;
    }

    DynamicsRig rig;
    SignalBuffer a, b, low, high;
    CK_DSP_Band_Split_3* split;
};

// Magnitude in dB of an impulse response at a frequency.
double magnitudeDb(const std::vector<double>& h, double hz, double rate)
{
    const std::complex<double> rotation = std::polar(1.0, -2.0 * kPi * hz / rate);
    std::complex<double> phasor = 1.0, acc = 0.0;
    for (size_t n = 0; n < h.size(); ++n) {
        acc += h[n] * phasor;
        phasor *= rotation;
        if ((n & 1023) == 1023)
            phasor /= std::abs(phasor);
    }
    return 20.0 * std::log10(std::abs(acc));
}

std::vector<double> widened(const std::vector<float>& v)
{
    return std::vector<double>(v.begin(), v.end());
}

struct SplitCase {
    int32_t rate;
    float lowHz, highHz;
    bool separated; // far enough apart for the mid band to reach 0 dB between them
};

class CrossoverResponse : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CrossoverResponse, BandsSumFlatAndCrossAtMinusSixDb)
{
    const SplitCase c = GetParam();
    Crossover x(c.rate, c.lowHz, c.highHz);
    std::vector<float> impulse(1 << 16, 0.0f);
    impulse[0] = 1.0f;
    const auto bands = x.run(impulse);

    std::vector<double> sum(impulse.size());
    for (size_t n = 0; n < sum.size(); ++n)
        sum[n] = double(bands[0][n]) + bands[1][n] + bands[2][n];
    for (double hz = 10.0; hz <= 20000.0; hz *= 1.07)
        ASSERT_NEAR(magnitudeDb(sum, hz, c.rate), 0.0, 0.01) << hz << " Hz";
    EXPECT_NEAR(magnitudeDb(sum, 20000.0, c.rate), 0.0, 0.01);

    // A Linkwitz-Riley pair is 6.02 dB down at its crossover frequency.
    const double minus6 = 20.0 * std::log10(0.5);
    EXPECT_NEAR(magnitudeDb(widened(bands[0]), c.lowHz, c.rate), minus6, 0.01);
    if (c.separated) {
        EXPECT_NEAR(magnitudeDb(widened(bands[1]), c.lowHz, c.rate), minus6, 0.05);
        EXPECT_NEAR(magnitudeDb(widened(bands[1]), c.highHz, c.rate), minus6, 0.05);
        EXPECT_NEAR(magnitudeDb(widened(bands[2]), c.highHz, c.rate), minus6, 0.05);
    }
}

INSTANTIATE_TEST_SUITE_P(Pairs, CrossoverResponse,
                         ::testing::Values(SplitCase{44100, 200, 3000, true}, SplitCase{96000, 200, 3000, true},
                                           SplitCase{44100, 20, 20480, true}, SplitCase{96000, 20, 20480, true},
                                           SplitCase{44100, 1000, 1100, false},
                                           SplitCase{96000, 1000, 1100, false}));

TEST(CrossoverTest, FrequenciesNearNyquistAreLimitedAndStayStable)
{
    for (int32_t rate : {22050, 32000}) {
        Crossover x(rate, 200, 20480);
        std::vector<float> impulse(1 << 15, 0.0f);
        impulse[0] = 1.0f;
        const auto bands = x.run(impulse);
        std::vector<double> sum(impulse.size());
        double tail = 0;
        for (size_t n = 0; n < sum.size(); ++n) {
            for (int pin = 0; pin < 3; ++pin)
                ASSERT_TRUE(std::isfinite(bands[static_cast<size_t>(pin)][n])) << rate;
            sum[n] = double(bands[0][n]) + bands[1][n] + bands[2][n];
            if (n > sum.size() / 2)
                tail += std::fabs(sum[n]);
        }
        EXPECT_LT(tail, 1e-9) << rate; // the response decays: the filters are stable
        for (double hz = 10.0; hz < 0.49 * rate; hz *= 1.1)
            ASSERT_NEAR(magnitudeDb(sum, hz, rate), 0.0, 0.01) << rate << " Hz " << hz;
        // The high crossover sits at the limit below Nyquist.
        const double limit = CK_DSP_Band_Split_3::kMaxFrequencyRatio * rate;
        EXPECT_NEAR(magnitudeDb(widened(bands[2]), limit, rate), 20.0 * std::log10(0.5), 0.05) << rate;
    }
}

TEST(CrossoverTest, ChannelBStaysSilentUntilConnectedThenMatchesChannelA)
{
    std::vector<float> noise(4096);
    uint32_t seed = 1;
    for (float& s : noise) {
        seed = seed * 1664525u + 1013904223u;
        s = static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
    }

    Crossover mono(44100, 200, 3000);
    const auto m = mono.run(noise);
    for (int pin = 3; pin < 6; ++pin)
        for (float v : m[static_cast<size_t>(pin)])
            ASSERT_EQ(v, 0.0f);

    Crossover stereo(44100, 200, 3000, true);
    const auto s = stereo.run(noise);
    for (int band = 0; band < 3; ++band) {
        EXPECT_EQ(s[static_cast<size_t>(band)], m[static_cast<size_t>(band)]);
        EXPECT_EQ(s[static_cast<size_t>(band + 3)], m[static_cast<size_t>(band)]);
    }
}

// The crossover of one channel, built from sections as a reference for the module's timing.
struct ReferenceChannel {
    void design(float lowHz, float highHz, double rate)
    {
        low.design(lowHz, rate);
        high.design(highHz, rate);
        ap.design(highHz, rate);
    }
    void process(float x, float out[3])
    {
        low.split(&x, &out[0], &out[2], 1);
        high.split(&out[2], &out[1], &out[2], 1);
        ap.allpass(&out[0], &out[0], 1);
    }
    CrossoverSection4 low, high, ap;
};

TEST(CrossoverTest, RedesignsAtTheNextRunAndPerSampleWhileGliding)
{
    Crossover x(44100, 200, 3000);
    const int32_t n = x.rig.cappedBlockSize;
    ReferenceChannel carried;
    carried.design(200, 3000, 44100);

    uint32_t seed = 7;
    auto noise = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
    };
    auto runBlock = [&](const std::vector<float>& lowPin, int32_t eventFrame, int eventKind) {
        for (int32_t i = 0; i < n; ++i) {
            x.a[i] = noise();
            x.low[i] = lowPin[static_cast<size_t>(i)];
        }
        if (eventFrame >= 0)
            x.split->postEvent(x.rig.clock + static_cast<uint32_t>(eventFrame), 2, eventKind, 0, 0.0f, nullptr);
        x.rig.runFrames(n);
    };
    auto expectBlock = [&](auto designFor) {
        for (int32_t i = 0; i < n; ++i) {
            designFor(i);
            float ref[3];
            carried.process(x.a[i], ref);
            for (int band = 0; band < 3; ++band)
                ASSERT_EQ(x.split->outputs[band][i], ref[band]) << "frame " << i << " band " << band;
        }
    };

    // Two steady blocks at the prepared frequencies' replacement (the pin values).
    std::vector<float> pin(static_cast<size_t>(n), 20.0f);
    for (int block = 0; block < 2; ++block) {
        runBlock(pin, -1, 0);
        expectBlock([](int32_t) {});
    }

    // A step to 500 Hz announced as static at frame 40: the run from frame 40 redesigns once from
    // the pin's value there, and the histories carry over.
    for (int32_t i = 0; i < n; ++i)
        pin[static_cast<size_t>(i)] = i < 40 ? 20.0f : 50.0f;
    runBlock(pin, 40, 0);
    expectBlock([&](int32_t i) {
        if (i == 40)
            carried.design(500, 3000, 44100);
    });

    // A glide from 500 Hz to 1000 Hz: every sample redesigns from the pin.
    for (int32_t i = 0; i < n; ++i)
        pin[static_cast<size_t>(i)] = 50.0f + 50.0f * static_cast<float>(i) / static_cast<float>(n - 1);
    runBlock(pin, 0, 1);
    expectBlock([&](int32_t i) { carried.design(pin[static_cast<size_t>(i)] * 10.0f, 3000, 44100); });
    pin.assign(static_cast<size_t>(n), 100.0f);
    runBlock(pin, 0, 0); // settled
    expectBlock([&](int32_t i) {
        if (i == 0)
            carried.design(1000, 3000, 44100);
    });
}

// Program changes jump the crossover frequencies and knob moves glide them over the whole range
// while audio runs: the bands must stay at the signal's level, with no bursts.
TEST(CrossoverTest, FrequencyJumpsAndFullRangeGlidesCauseNoBursts)
{
    const double rate = 44100.0;
    uint32_t seed = 11;
    auto noise = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return 0.5f * (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f);
    };
    const double moves[][2] = {{1000, 100}, {200, 20}, {20480, 20}, {20, 20480}, {3000, 200}};
    for (const auto& move : moves) {
        for (const int steps : {1, 1323}) { // a jump, and a 30 ms glide redesigning every sample
            CrossoverSection4 section;
            section.design(move[0], rate);
            for (int i = 0; i < 22050; ++i) { // settle on the start frequency
                float x = noise(), low, high;
                section.split(&x, &low, &high, 1);
            }
            double peak = 0;
            for (int i = 0; i < steps + 8820; ++i) {
                if (i < steps)
                    section.design(move[0] + (move[1] - move[0]) * (i + 1) / steps, rate);
                float x = noise(), low, high;
                section.split(&x, &low, &high, 1);
                peak = std::max({peak, std::fabs(double(low)), std::fabs(double(high))});
            }
            // Noise of peak 0.5: a glide stays at the signal's level; the transient of an instant
            // jump across the whole range stays within a few times it.
            EXPECT_LT(peak, steps == 1 ? 4.0 : 2.0) << move[0] << " Hz -> " << move[1] << " Hz in " << steps;
        }
    }
}

} // namespace
