// The whole signal chain, built from the product's graph table, driven as a host drives it.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "dsp/dynamics/CrossoverSection4.h"
#include "modules/CK_ModuleBase.h"
#include "shell/CK_DSP_VST.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Chain {
    explicit Chain(float rate, int block = 512) : fx(nullptr)
    {
        fx.setSampleRate(rate);
        fx.setBlockSize(block);
        fx.resume();
    }

    // Renders a stereo signal in host blocks whose sizes cycle through `blocks`.
    void render(const std::vector<float>& left, const std::vector<float>& right, std::vector<float>& outLeft,
                std::vector<float>& outRight, const std::vector<int>& blocks = {512})
    {
        outLeft.assign(left.size(), 0.0f);
        outRight.assign(right.size(), 0.0f);
        size_t at = 0;
        for (size_t k = 0; at < left.size(); ++k) {
            const auto n = std::min(left.size() - at, static_cast<size_t>(blocks[k % blocks.size()]));
            float* in[2] = {const_cast<float*>(left.data() + at), const_cast<float*>(right.data() + at)};
            float* out[2] = {outLeft.data() + at, outRight.data() + at};
            fx.processReplacing(in, out, static_cast<VstInt32>(n));
            at += n;
        }
    }

    CK_DSP_VST fx;
};

// Every section switched on: all bands, the equaliser with five gains, spatial headphone, both
// enhancers and both harmonics.
void everythingOn(CK_DSP_VST& fx)
{
    for (int p : {70, 71, 72, 36, 49, 53, 56, 60, 63, 67})
        fx.setParameter(p, 1.0f);
    const float gains[] = {0.7f, 0.3f, 0.6f, 0.8f, 0.4f}; // +6, -6, +3, +9, -3 dB
    for (int band = 0; band < 5; ++band)
        fx.setParameter(22 + 3 * band, gains[band]);
}

std::vector<float> noise(size_t frames, uint32_t seed, float level)
{
    std::mt19937 random(seed);
    std::normal_distribution<float> n(0.0f, level);
    std::vector<float> v(frames);
    for (float& s : v)
        s = n(random);
    return v;
}

double magnitudeDb(const std::vector<double>& h, double hz, double rate)
{
    std::complex<double> acc = 0.0;
    for (size_t n = 0; n < h.size(); ++n)
        acc += h[n] * std::polar(1.0, -2.0 * kPi * hz * static_cast<double>(n) / rate);
    return 20.0 * std::log10(std::abs(acc));
}

bool isDenormal(float v)
{
    return v != 0.0f && std::fabs(v) < 1.17549435e-38f;
}

class FactoryProgram : public ::testing::TestWithParam<int> {};

// Factory program 0 leaves everything off: the output is the input through the crossover's
// all-pass, late by the look-ahead (0.2 ms) and the fixed 2 ms output delay.
TEST_P(FactoryProgram, IsTheDelayedAllPassOfTheInput)
{
    const int rate = GetParam();
    Chain chain(static_cast<float>(rate));
    const int outputDelay = static_cast<int>(static_cast<float>(rate) / 1000.0f * 2.0f);
    const int lookAhead = static_cast<int>(0.2 * rate / 1000.0);
    EXPECT_EQ(chain.fx.getAeffect()->initialDelay, outputDelay);
    if (rate == 44100) {
        EXPECT_EQ(outputDelay, 88);
        EXPECT_EQ(lookAhead, 8);
    }

    // Let the parameter pushes of the build settle, then send an impulse.
    const size_t frames = 1 << 15;
    std::vector<float> silence(8192, 0.0f), outL, outR;
    chain.render(silence, silence, outL, outR);
    std::vector<float> impulse(frames, 0.0f);
    impulse[0] = 0.5f;
    chain.render(impulse, impulse, outL, outR);

    // The reference: the three sections of one channel, as the chain splits and sums the bands.
    CrossoverSection4 low, high, allpass;
    low.design(200.0, rate);
    high.design(3000.0, rate);
    allpass.design(3000.0, rate);
    std::vector<double> response(frames);
    for (size_t n = 0; n < frames; ++n) {
        float x = n < frames - static_cast<size_t>(outputDelay + lookAhead) ? impulse[n] : 0.0f;
        float bands[3];
        low.split(&x, &bands[0], &bands[2], 1);
        high.split(&bands[2], &bands[1], &bands[2], 1);
        allpass.allpass(&bands[0], &bands[0], 1);
        const double expected = double(bands[0]) + bands[1] + bands[2];
        const size_t at = n + static_cast<size_t>(outputDelay + lookAhead);
        if (at < frames) {
            ASSERT_NEAR(outL[at], expected, 1e-6) << "frame " << at;
            ASSERT_NEAR(outR[at], expected, 1e-6) << "frame " << at;
        }
    }
    for (int n = 0; n < outputDelay + lookAhead; ++n)
        ASSERT_EQ(outL[static_cast<size_t>(n)], 0.0f) << n;

    for (size_t n = 0; n < frames; ++n)
        response[n] = 2.0 * outL[n];
    for (double hz = 20.0; hz <= 20000.0; hz *= 1.2)
        EXPECT_NEAR(magnitudeDb(response, hz, rate), 0.0, 0.01) << hz << " Hz";
}

INSTANTIATE_TEST_SUITE_P(Rates, FactoryProgram, ::testing::Values(44100, 48000));

TEST(WholeChain, EverythingOnStaysFiniteBoundedAndFreeOfDenormals)
{
    Chain chain(44100.0f);
    everythingOn(chain.fx);
    const size_t minute = 44100 * 60;
    const std::vector<float> left = noise(minute, 1, 0.25f), right = noise(minute, 2, 0.25f);
    std::vector<float> outL, outR;
    chain.render(left, right, outL, outR);
    float peak = 0.0f;
    for (size_t i = 0; i < minute; ++i) {
        ASSERT_TRUE(std::isfinite(outL[i]) && std::isfinite(outR[i])) << i;
        peak = std::max({peak, std::fabs(outL[i]), std::fabs(outR[i])});
    }
    EXPECT_GT(peak, 0.01f);
    EXPECT_LT(peak, 64.0f);

    const std::vector<float> silence(minute, 0.0f);
    chain.render(silence, silence, outL, outR);
    for (size_t i = 0; i < minute; ++i) {
        ASSERT_TRUE(std::isfinite(outL[i]) && std::isfinite(outR[i])) << i;
        ASSERT_FALSE(isDenormal(outL[i]) || isDenormal(outR[i])) << i;
    }
    // Nothing inside the graph has decayed into the denormal range either.
    for (int m = 0; m < chain.fx.moduleCount; ++m) {
        const CK_ModuleBase* module = chain.fx.modules[m];
        ASSERT_NE(module, nullptr) << "position " << m;
        for (int pin = 0; pin < CK_ModuleBase::kMaxPins; ++pin) {
            if (!module->outputs[pin])
                continue;
            for (int i = 0; i < chain.fx.cappedBlockSize; ++i) {
                const float v = module->outputs[pin][i];
                ASSERT_TRUE(std::isfinite(v)) << "module " << module->typeId << " pin " << pin;
                ASSERT_FALSE(isDenormal(v)) << "module " << module->typeId << " pin " << pin;
            }
        }
    }
}

TEST(WholeChain, HostBlockSizesDoNotChangeTheOutput)
{
    const size_t frames = 44100;
    const std::vector<float> left = noise(frames, 3, 0.2f), right = noise(frames, 4, 0.2f);
    std::vector<float> refL, refR;
    {
        Chain chain(44100.0f, 128);
        everythingOn(chain.fx);
        chain.render(left, right, refL, refR, {128});
    }
    const std::vector<std::vector<int>> schedules = {{1}, {2}, {3}, {64}, {127}, {129}, {1000}, {4096}, {1, 300, 77, 128, 4096, 5}};
    for (const auto& blocks : schedules) {
        // The host's maximum block size sets the ring: the largest block of the schedule.
        Chain chain(44100.0f, *std::max_element(blocks.begin(), blocks.end()));
        everythingOn(chain.fx);
        std::vector<float> outL, outR;
        chain.render(left, right, outL, outR, blocks);
        double worst = 0.0;
        for (size_t i = 0; i < frames; ++i)
            worst = std::max({worst, std::fabs(double(outL[i]) - refL[i]), std::fabs(double(outR[i]) - refR[i])});
        EXPECT_EQ(worst, 0.0) << "blocks " << blocks[0] << " (" << blocks.size() << " sizes)";
    }
}

TEST(WholeChain, EverySampleRateBuildsProcessesAndRebuilds)
{
    for (float rate : {22050.0f, 32000.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f, 384000.0f}) {
        Chain chain(rate);
        everythingOn(chain.fx);
        const auto frames = static_cast<size_t>(rate / 4.0f);
        const std::vector<float> left = noise(frames, 5, 0.3f), right = noise(frames, 6, 0.3f);
        std::vector<float> outL, outR;
        chain.render(left, right, outL, outR);
        chain.fx.suspend();
        chain.fx.setSampleRate(rate == 384000.0f ? 22050.0f : rate * 2.0f);
        chain.fx.resume();
        EXPECT_EQ(chain.fx.moduleCount, 77);
        std::vector<float> again, againR;
        chain.render(left, right, again, againR);
        for (size_t i = 0; i < frames; ++i) {
            ASSERT_TRUE(std::isfinite(outL[i]) && std::isfinite(outR[i])) << rate << " frame " << i;
            ASSERT_TRUE(std::isfinite(again[i]) && std::isfinite(againR[i])) << rate << " rebuilt, frame " << i;
        }
    }
}

TEST(WholeChain, GraphIsIdenticalAfterEveryRebuild)
{
    Chain chain(44100.0f);
    std::vector<int32_t> ids, listeners;
    auto snapshot = [&chain](std::vector<int32_t>& i, std::vector<int32_t>& l) {
        i.clear();
        l.clear();
        for (int m = 0; m < chain.fx.moduleCount; ++m)
            i.push_back(chain.fx.modules[m] ? chain.fx.modules[m]->typeId : -1);
        for (int p = 0; p < 111; ++p)
            l.push_back(chain.fx.listenerCount(p));
    };
    snapshot(ids, listeners);
    ASSERT_EQ(ids.size(), 77u);
    const int32_t order[] = {6003, 6432, 6005, 6009, 6433, 6438, 6016, 6017, 6327, 6347, 6018, 6019, 6328,
                             6348, 6020, 6021, 6329, 6349, 6022, 6023, 6330, 6350, 6024, 6025, 6331, 6351,
                             6361, 6362, 6026, 6027, 6368, 6040, 6233, 6188, 6198, 6182, 6337, 6204, 6234,
                             6189, 6199, 6183, 6338, 6205, 6235, 6190, 6200, 6184, 6339, 6206, 6248, 6249,
                             6250, 6028, 6400, 6031, 6344, 6237, 6032, 6371, 6035, 6378, 6029, 6030, 6343,
                             6238, 6033, 6373, 6034, 6379, 6340, 6036, 6152, 6251, 6439, 6429, 6146};
    for (int m = 0; m < 77; ++m) {
        EXPECT_EQ(ids[static_cast<size_t>(m)], order[m]) << "position " << m;
        EXPECT_EQ(chain.fx.positionOfId(order[m]), m);
    }
    for (float rate : {48000.0f, 44100.0f, 96000.0f}) {
        chain.fx.suspend();
        chain.fx.setSampleRate(rate);
        chain.fx.resume();
        std::vector<int32_t> ids2, listeners2;
        snapshot(ids2, listeners2);
        EXPECT_EQ(ids2, ids);
        EXPECT_EQ(listeners2, listeners);
    }
}

} // namespace

TEST(WholeChain, RunningModulesSideBySideChangesNoSample)
{
    // The same render with the product's module groups and with every module running alone,
    // under automation that switches bands, modes and times at arbitrary frames.
    const size_t frames = 3 * 44100;
    const std::vector<float> left = noise(frames, 7, 0.25f), right = noise(frames, 8, 0.25f);
    std::vector<float> out[2][2];
    for (int grouped = 0; grouped < 2; ++grouped) {
        Chain chain(44100.0f, 1000);
        everythingOn(chain.fx);
        if (grouped)
            EXPECT_EQ(chain.fx.groupCount(), 4);
        else
            chain.fx.dissolveGroups();
        std::mt19937 random(11);
        std::uniform_int_distribution<int> parameter(2, 82), size(1, 1000);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        out[grouped][0].assign(frames, 0.0f);
        out[grouped][1].assign(frames, 0.0f);
        for (size_t at = 0; at < frames;) {
            for (int k = 0; k < 3; ++k)
                chain.fx.setParameter(parameter(random), value(random));
            const auto n = std::min(frames - at, static_cast<size_t>(size(random)));
            float* in[2] = {const_cast<float*>(left.data() + at), const_cast<float*>(right.data() + at)};
            float* o[2] = {out[grouped][0].data() + at, out[grouped][1].data() + at};
            chain.fx.processReplacing(in, o, static_cast<VstInt32>(n));
            at += n;
        }
    }
    for (int ch = 0; ch < 2; ++ch)
        for (size_t i = 0; i < frames; ++i)
            ASSERT_EQ(out[0][ch][i], out[1][ch][i]) << "channel " << ch << " frame " << i;
}
