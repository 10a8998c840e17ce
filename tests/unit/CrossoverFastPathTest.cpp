#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "dsp/dynamics/CrossoverSection4.h"
#include "support/KernelVariants.h"

namespace {

// Noise in [-amp, amp) from a linear congruential generator.
std::vector<float> noise(size_t n, uint32_t seed, float amp)
{
    std::vector<float> v(n);
    for (float& x : v) {
        seed = seed * 1664525u + 1013904223u;
        x = amp * (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f);
    }
    return v;
}

CrossoverDesign designed(double hz, double rate)
{
    CrossoverDesign d;
    d.design(hz, rate);
    return d;
}

// One channel of the three-band split in its straightforward form: three section passes over
// float buffers, sample by sample, section by section.
struct ReferenceChannel {
    void setDesign(const CrossoverDesign& lowDesign, const CrossoverDesign& highDesign)
    {
        low.setDesign(lowDesign);
        high.setDesign(highDesign);
        ap.setDesign(highDesign);
    }
    void run(const float* in, float* l, float* m, float* h, int32_t count)
    {
        low.split(in, l, h, count);
        high.split(h, m, h, count);
        ap.allpass(l, l, count);
    }
    CrossoverSection4 low, high, ap;
};

// Drives the fused split (mono, or stereo in the given variant) and the section passes through
// the same runs and designs and compares every output sample bit for bit. Buffers start at an odd
// offset, so nothing relies on alignment.
class FastPathRig {
public:
    FastPathRig(bool stereo, size_t frames, CK_KernelVariant variant = CK_KernelVariant::kSse2)
        : stereo_(stereo), frames_(frames)
    {
        EXPECT_TRUE(bands_.useVariant(variant));
        inA_ = noise(frames + kOffset, 3, 0.5f);
        inB_ = noise(frames + kOffset, 4, 0.5f);
        for (auto* v : {&fast_, &ref_})
            v->assign(6, std::vector<float>(frames + kOffset, -7.0f));
    }

    void setInput(size_t frame, float a, float b)
    {
        inA_[kOffset + frame] = a;
        inB_[kOffset + frame] = b;
    }

    void setDesign(const CrossoverDesign& low, const CrossoverDesign& high)
    {
        bands_.setDesign(low, high);
        refA_.setDesign(low, high);
        refB_.setDesign(low, high);
    }

    void run(size_t first, int32_t count)
    {
        const size_t at = kOffset + first;
        float* fa[3] = {&fast_[0][at], &fast_[1][at], &fast_[2][at]};
        float* fb[3] = {&fast_[3][at], &fast_[4][at], &fast_[5][at]};
        if (stereo_)
            bands_.splitStereo(&inA_[at], &inB_[at], fa, fb, count);
        else
            bands_.splitMono(&inA_[at], fa[0], fa[1], fa[2], count);
        refA_.run(&inA_[at], &ref_[0][at], &ref_[1][at], &ref_[2][at], count);
        if (stereo_)
            refB_.run(&inB_[at], &ref_[3][at], &ref_[4][at], &ref_[5][at], count);
    }

    // Number of samples that differ in their bits (all six outputs in stereo, three in mono).
    size_t mismatches() const
    {
        size_t bad = 0;
        for (int pin = 0; pin < (stereo_ ? 6 : 3); ++pin)
            for (size_t i = 0; i < frames_ + kOffset; ++i)
                bad += std::memcmp(&fast_[pin][i], &ref_[pin][i], sizeof(float)) != 0;
        return bad;
    }

    float output(int pin, size_t frame) const { return fast_[static_cast<size_t>(pin)][kOffset + frame]; }

private:
    static constexpr size_t kOffset = 3;
    bool stereo_;
    size_t frames_;
    std::vector<float> inA_, inB_;
    std::vector<std::vector<float>> fast_, ref_;
    CrossoverBands3 bands_;
    ReferenceChannel refA_, refB_;
};

// Run lengths that are odd, single frames and whole blocks.
constexpr int32_t kRuns[] = {1, 7, 128, 3, 64, 113, 2, 128, 5, 31};

// Steady runs at the factory frequencies, jumps (program changes) at run starts, glides over the
// whole range with a redesign every frame, then steady again.
void runJumpsAndGlides(FastPathRig& rig, size_t frames)
{
    const double rate = 48000.0;
    size_t at = 0;
    size_t run = 0;
    auto next = [&] { return std::min<int32_t>(kRuns[run++ % std::size(kRuns)], int32_t(frames - at)); };
    const double jumps[][2] = {{200, 3000}, {20, 20480}, {1000, 1100}, {20480, 20480}, {80, 9000}};
    for (const auto& j : jumps) {
        rig.setDesign(designed(j[0], rate), designed(std::min(j[1], 0.47 * rate), rate));
        for (int r = 0; r < 20 && at < frames; ++r) {
            const int32_t n = next();
            rig.run(at, n);
            at += static_cast<size_t>(n);
        }
    }
    for (int i = 0; at < frames && i < 9600; ++i, ++at) {
        const double t = i / 9600.0;
        rig.setDesign(designed(20.0 * std::pow(1000.0, t), rate), designed(20000.0 * std::pow(0.001, t), rate));
        rig.run(at, 1);
    }
    rig.setDesign(designed(150, rate), designed(5000, rate));
    while (at < frames) {
        const int32_t n = next();
        rig.run(at, n);
        at += static_cast<size_t>(n);
    }
}

TEST(CrossoverFastPath, MonoIsIdenticalToTheSectionPasses)
{
    FastPathRig rig(false, 48000);
    runJumpsAndGlides(rig, 48000);
    EXPECT_EQ(rig.mismatches(), 0u);
}

class CrossoverKernel : public KernelVariantTest {
};

TEST_P(CrossoverKernel, IdenticalToTheSectionPassesOnNoiseJumpsAndGlides)
{
    FastPathRig rig(true, 48000, variant());
    runJumpsAndGlides(rig, 48000);
    EXPECT_EQ(rig.mismatches(), 0u);
}

// After the signal stops, the states settle to exact zeros at run ends in every form alike, so
// the bands fall silent instead of decaying through the denormal range for ever.
TEST_P(CrossoverKernel, SilenceSettlesToExactZerosIdentically)
{
    const double rate = 44100.0;
    const size_t frames = 44100 * 2;
    FastPathRig rig(true, frames, variant());
    for (size_t i = 4410; i < frames; ++i)
        rig.setInput(i, 0.0f, 0.0f);
    rig.setDesign(designed(40, rate), designed(11025, rate));
    for (size_t at = 0; at < frames; at += 128)
        rig.run(at, static_cast<int32_t>(std::min<size_t>(128, frames - at)));
    EXPECT_EQ(rig.mismatches(), 0u);
    for (int pin = 0; pin < 6; ++pin)
        for (size_t i = frames * 3 / 4; i < frames; ++i)
            ASSERT_EQ(rig.output(pin, i), 0.0f) << "frame " << i << " pin " << pin;
}

CK_KERNEL_VARIANTS(CrossoverKernel, CK_KernelVariant::kReference, CK_KernelVariant::kSse2, CK_KernelVariant::kWide);

// The single all-pass stage is the sum of the section's squared low-pass and high-pass: on noise
// they agree to float precision at every crossover frequency.
TEST(CrossoverFastPath, AllpassStageEqualsTheSumOfTheSquaredPair)
{
    const double rate = 44100.0;
    const std::vector<float> in = noise(8192, 9, 0.5f);
    for (const double hz : {20.0, 200.0, 3000.0, 11025.0, 20000.0}) {
        CrossoverSection4 pair, allpass;
        pair.design(hz, rate);
        allpass.design(hz, rate);
        double worst = 0;
        for (const float x : in) {
            float low, high, ap;
            pair.split(&x, &low, &high, 1);
            allpass.allpass(&x, &ap, 1);
            worst = std::max(worst, std::fabs(double(low) + double(high) - double(ap)));
        }
        EXPECT_LT(worst, 2e-7) << hz << " Hz";
    }
}

} // namespace
