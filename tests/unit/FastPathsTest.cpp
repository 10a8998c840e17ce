// The fast processing paths against the straightforward computations they replace, bit for bit:
// every fast routine must give exactly the samples the plain one-stage-at-a-time loop gives, on
// noise, silence, coefficient jumps, odd run lengths and offsets, in place and out of place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "dsp/dynamics/CK_DSP_CompExp_Knee_Math.h"
#include "dsp/dynamics/CK_DSP_Metering2.h"
#include "dsp/dynamics/CK_DSP_dB_to_Level.h"
#include "dsp/enhance/CK_Enhancer_Kernel.h"
#include "dsp/enhance/CK_Harmonics_Kernel.h"
#include "dsp/eq/CK_BiQuad_Cascade.h"
#include "platform/CpuFeatures.h"

namespace {

using namespace ck_cascade;

constexpr int kFrames = 1100;

uint32_t bitsOf(float v)
{
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}
uint64_t bitsOf(double v)
{
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// Returns the first frame where the two differ in any bit, or -1.
int firstDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    for (size_t n = 0; n < a.size(); ++n)
        if (bitsOf(a[n]) != bitsOf(b[n]))
            return static_cast<int>(n);
    return -1;
}

// Signals: noise, silence, noise that stops dead, and a loud step.
std::vector<std::vector<float>> testSignals(std::mt19937& rng)
{
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::vector<std::vector<float>> s(4, std::vector<float>(kFrames, 0.0f));
    for (int n = 0; n < kFrames; ++n) {
        s[0][n] = noise(rng);
        s[2][n] = n < kFrames / 3 ? noise(rng) : 0.0f;
        s[3][n] = n >= 7 ? 0.9f : 0.0f;
    }
    return s;
}

// A stable section: poles at radius r < 1, zeros anywhere.
template <typename C>
C randomSection(std::mt19937& rng)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const double r = 0.2 + 0.795 * u(rng);
    const double theta = 3.14159 * u(rng);
    return C{static_cast<decltype(C::b0)>(2.0 * u(rng) - 1.0), static_cast<decltype(C::b0)>(4.0 * u(rng) - 2.0),
             static_cast<decltype(C::b0)>(2.0 * u(rng) - 1.0), static_cast<decltype(C::b0)>(-2.0 * r * std::cos(theta)),
             static_cast<decltype(C::b0)>(r * r)};
}

// Run lengths as a host and the event splitting produce them: odd, tiny and whole blocks.
const int32_t kRuns[] = {1, 3, 128, 7, 64, 1, 255, 13, 512, 2, 116};

// ---- Multi-band equaliser: the plain form runs each band over the whole run, in place. ----

void plainEqBand(EqState& s, const float* x, float* y, int32_t first, int32_t end, const EqCoefficients& c)
{
    float x1 = s.x1, x2 = s.x2;
    double y1 = s.y1, y2 = s.y2;
    for (int32_t n = first; n < end; ++n) {
        const float in = x[n];
        const double out = c.b0 * in + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2 + kEqDenormalGuard;
        x2 = x1;
        x1 = in;
        y2 = y1;
        y1 = out;
        y[n] = static_cast<float>(out);
    }
    s = {x1, x2, y1, y2};
}

TEST(FastPathsTest, EqCascadeMatchesBandByBandFilteringBitForBit)
{
    std::mt19937 rng(1234);
    const auto signals = testSignals(rng);
    for (int bands = 1; bands <= kMaxEqBands; ++bands)
        for (const auto& x : signals)
            for (bool inPlace : {false, true}) {
                EqState plain[kMaxEqBands] = {}, fast[kMaxEqBands] = {};
                EqState* fastPointers[kMaxEqBands];
                for (int b = 0; b < kMaxEqBands; ++b)
                    fastPointers[b] = &fast[b];
                std::vector<float> plainOut(kFrames), fastOut(kFrames);
                if (inPlace)
                    fastOut = x;
                EqCoefficients c[kMaxEqBands];
                int32_t first = 0;
                for (int r = 0; first < kFrames; ++r) {
                    // A coefficient jump at every other run, as when a band is redesigned.
                    if (r % 2 == 0)
                        for (auto& k : c)
                            k = randomSection<EqCoefficients>(rng);
                    const int32_t end = std::min<int32_t>(kFrames, first + kRuns[r % std::size(kRuns)]);
                    const float* source = x.data();
                    for (int b = 0; b < bands; ++b) {
                        plainEqBand(plain[b], source, plainOut.data(), first, end, c[b]);
                        source = plainOut.data();
                    }
                    runEqCascade(fastPointers, c, bands, inPlace ? fastOut.data() : x.data(), fastOut.data(), first,
                                 end);
                    first = end;
                }
                ASSERT_EQ(firstDifference(plainOut, fastOut), -1) << bands << " bands, in place " << inPlace;
                for (int b = 0; b < bands; ++b) {
                    EXPECT_EQ(bitsOf(plain[b].y1), bitsOf(fast[b].y1));
                    EXPECT_EQ(bitsOf(plain[b].y2), bitsOf(fast[b].y2));
                    EXPECT_EQ(bitsOf(plain[b].x1), bitsOf(fast[b].x1));
                    EXPECT_EQ(bitsOf(plain[b].x2), bitsOf(fast[b].x2));
                }
            }
}

TEST(FastPathsTest, StereoEqCascadeMatchesEachChannelFilteredAloneBitForBit)
{
    std::mt19937 rng(4321);
    const auto signals = testSignals(rng);
    // The build the product chooses, and each build on its own where this processor runs it.
    using Cascade = decltype(&runEqCascadeStereo);
    std::vector<Cascade> builds = {&runEqCascadeStereo, &runEqCascadeStereoNarrow};
#if defined(BRELVIK_WIDE_KERNELS)
    if (ck_wideRegistersAvailable())
        builds.push_back(&runEqCascadeStereoWide);
#endif
    for (Cascade run : builds) {
        for (int bands = 1; bands <= kMaxEqBands; ++bands)
            for (size_t i = 0; i < signals.size(); ++i) {
                const std::vector<float>* x[2] = {&signals[i], &signals[(i + 1) % signals.size()]};
                EqState plain[2][kMaxEqBands] = {}, fast[2][kMaxEqBands] = {};
                EqState* fastPointers[2][kMaxEqBands];
                for (int ch = 0; ch < 2; ++ch)
                    for (int b = 0; b < kMaxEqBands; ++b)
                        fastPointers[ch][b] = &fast[ch][b];
                std::vector<float> plainOut[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
                std::vector<float> fastOut[2] = {*x[0], std::vector<float>(kFrames)}; // left in place
                EqCoefficients c[2][kMaxEqBands];
                int32_t first = 0;
                for (int r = 0; first < kFrames; ++r) {
                    if (r % 2 == 0)
                        for (auto& channel : c)
                            for (auto& k : channel)
                                k = randomSection<EqCoefficients>(rng);
                    const int32_t end = std::min<int32_t>(kFrames, first + kRuns[r % std::size(kRuns)]);
                    for (int ch = 0; ch < 2; ++ch) {
                        const float* source = x[ch]->data();
                        for (int b = 0; b < bands; ++b) {
                            plainEqBand(plain[ch][b], source, plainOut[ch].data(), first, end, c[ch][b]);
                            source = plainOut[ch].data();
                        }
                    }
                    run(fastPointers[0], c[0], fastPointers[1], c[1], bands, fastOut[0].data(), x[1]->data(),
                        fastOut[0].data(), fastOut[1].data(), first, end);
                    first = end;
                }
                for (int ch = 0; ch < 2; ++ch) {
                    ASSERT_EQ(firstDifference(plainOut[ch], fastOut[ch]), -1) << bands << " bands, channel " << ch;
                    for (int b = 0; b < bands; ++b)
                        EXPECT_EQ(bitsOf(plain[ch][b].y1), bitsOf(fast[ch][b].y1));
                }
            }
    }
}

// ---- Static filter: identical float sections, mono or two channels. ----

void plainStaticSection(StaticSection& s, const CK_BiQuad& c, const float* x, float* y, int32_t first, int32_t end)
{
    float x1 = s.x1, x2 = s.x2, y1 = s.y1, y2 = s.y2;
    for (int32_t n = first; n < end; ++n) {
        const float in = x[n];
        const float out = c.b0 * in + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2 + kStaticDenormalGuard;
        x2 = x1;
        x1 = in;
        y2 = y1;
        y1 = out;
        y[n] = out;
    }
    s = {x1, x2, y1, y2};
}

void plainStaticChannel(StaticSection* s, int count, const CK_BiQuad& c, const float* x, float* y, int32_t first,
                        int32_t end)
{
    for (int i = 0; i < count; ++i) {
        plainStaticSection(s[i], c, x, y, first, end);
        x = y;
    }
}

TEST(FastPathsTest, StaticCascadeMatchesSectionBySectionFilteringMonoAndStereo)
{
    std::mt19937 rng(99);
    const auto signals = testSignals(rng);
    for (int count = 1; count <= kMaxStaticSections; ++count)
        for (size_t sa = 0; sa < signals.size(); ++sa) {
            // Channel B carries another signal than A, so crossed lanes would show.
            const auto& xa = signals[sa];
            const auto& xb = signals[(sa + 1) % signals.size()];
            StaticSection plainA[kMaxStaticSections] = {}, plainB[kMaxStaticSections] = {};
            StaticSection monoA[kMaxStaticSections] = {}, fastA[kMaxStaticSections] = {},
                          fastB[kMaxStaticSections] = {};
            std::vector<float> plainOutA(kFrames), plainOutB(kFrames), monoOut(kFrames), fastOutA(kFrames),
                fastOutB(kFrames);
            CK_BiQuad c{};
            int32_t first = 0;
            for (int r = 0; first < kFrames; ++r) {
                if (r % 3 == 0)
                    c = randomSection<CK_BiQuad>(rng);
                const int32_t end = std::min<int32_t>(kFrames, first + kRuns[(r + 3) % std::size(kRuns)]);
                plainStaticChannel(plainA, count, c, xa.data(), plainOutA.data(), first, end);
                plainStaticChannel(plainB, count, c, xb.data(), plainOutB.data(), first, end);
                runStaticCascade(monoA, count, c, xa.data(), monoOut.data(), first, end);
                runStaticCascadeStereo(fastA, fastB, count, c, xa.data(), xb.data(), fastOutA.data(),
                                       fastOutB.data(), first, end);
                first = end;
            }
            ASSERT_EQ(firstDifference(plainOutA, monoOut), -1) << count << " sections, mono";
            ASSERT_EQ(firstDifference(plainOutA, fastOutA), -1) << count << " sections, channel A";
            ASSERT_EQ(firstDifference(plainOutB, fastOutB), -1) << count << " sections, channel B";
            for (int i = 0; i < count; ++i) {
                EXPECT_EQ(std::memcmp(&plainA[i], &fastA[i], sizeof(StaticSection)), 0);
                EXPECT_EQ(std::memcmp(&plainB[i], &fastB[i], sizeof(StaticSection)), 0);
                EXPECT_EQ(std::memcmp(&plainA[i], &monoA[i], sizeof(StaticSection)), 0);
            }
        }
}

TEST(FastPathsTest, SingleSectionsInLanesMatchEachChannelFilteredAlone)
{
    // One to four channels, each with its own signal and its own coefficients, changed every
    // third run.
    std::mt19937 rng(77);
    const auto signals = testSignals(rng);
    for (int lanes = 1; lanes <= kStaticLanes; ++lanes) {
        StaticSection plain[kStaticLanes] = {}, fast[kStaticLanes] = {};
        CK_BiQuad c[kStaticLanes] = {};
        std::vector<float> plainOut[kStaticLanes], fastOut[kStaticLanes];
        for (int k = 0; k < lanes; ++k) {
            plainOut[k].assign(kFrames, 0.0f);
            fastOut[k].assign(kFrames, 0.0f);
        }
        int32_t first = 0;
        for (int r = 0; first < kFrames; ++r) {
            if (r % 3 == 0)
                for (auto& k : c)
                    k = randomSection<CK_BiQuad>(rng);
            const int32_t end = std::min<int32_t>(kFrames, first + kRuns[r % std::size(kRuns)]);
            StaticLane lane[kStaticLanes];
            for (int k = 0; k < lanes; ++k) {
                const float* x = signals[static_cast<size_t>(k) % signals.size()].data();
                plainStaticSection(plain[k], c[k], x, plainOut[k].data(), first, end);
                lane[k] = {&fast[k], &c[k], x, fastOut[k].data()};
            }
            runStaticSectionsInLanes(lane, lanes, first, end);
            first = end;
        }
        for (int k = 0; k < lanes; ++k) {
            ASSERT_EQ(firstDifference(plainOut[k], fastOut[k]), -1) << lanes << " lanes, lane " << k;
            EXPECT_EQ(std::memcmp(&plain[k], &fast[k], sizeof(StaticSection)), 0);
        }
    }
}

// ---- dB to level: 2^(dB / 6) from the shared tables. ----

float plainDbToLevel(const CK_DSP_dB_to_Level::Tables& t, float in)
{
    float x = in > -18.0f ? in : -18.0f;
    x = x < 18.0f ? x : 18.0f;
    const auto y = static_cast<float>((static_cast<double>(x) + 18.0) * 853.3333333333334);
    const auto h = static_cast<int32_t>(y);
    const float f = y - static_cast<float>(h);
    const int32_t j = h & 511;
    return (t.fraction[j] + (t.fraction[j + 1] - t.fraction[j]) * f) * t.power[h >> 9];
}

// Inputs over and beyond the whole range, the limits, table steps, NaN, infinities, signed zeros.
std::vector<float> awkwardInputs(std::mt19937& rng, float spread)
{
    std::uniform_real_distribution<float> u(-spread, spread);
    std::vector<float> v = {-18.0f, 18.0f, -18.000002f, 17.999998f, 0.0f, -0.0f, NAN, -NAN, INFINITY, -INFINITY,
                            1.0e-30f, -1.0e-30f, 0.5f, -0.5f, 1.0f, -1.0f, 2.0f, 0.999999f, -0.999999f};
    for (int j = 0; j < 512; ++j)
        v.push_back(-18.0f + static_cast<float>(j) * (36.0f / 512.0f));
    while (v.size() < 3001)
        v.push_back(u(rng));
    return v;
}

TEST(FastPathsTest, DbToLevelMatchesTheFrameByFrameConversion)
{
    std::mt19937 rng(7);
    const auto& tables = CK_DSP_dB_to_Level::tables();
    const auto x = awkwardInputs(rng, 25.0f);
    std::vector<float> plain(x.size()), fast(x.size() + 8, 0.0f);
    for (size_t n = 0; n < x.size(); ++n)
        plain[n] = plainDbToLevel(tables, x[n]);
    // Runs at every offset and odd lengths, so groups of four start anywhere.
    size_t first = 0;
    for (int r = 0; first < x.size(); ++r) {
        const size_t length = std::min(x.size() - first, static_cast<size_t>(kRuns[r % std::size(kRuns)]));
        CK_DSP_dB_to_Level::convertFrames(tables, x.data() + first, fast.data() + first, static_cast<int32_t>(length));
        first += length;
    }
    fast.resize(x.size());
    EXPECT_EQ(firstDifference(plain, fast), -1);
}

// ---- Synthetic harmonics: drive, shaper and sum, every routine variant. ----

template <int ShapeType, bool Dynamic, bool WithMain, bool Stereo>
void expectHarmonicsMatch(std::mt19937& rng)
{
    const size_t frames = 1001;
    std::uniform_real_distribution<float> wide(-3.0f, 3.0f), unit(-0.2f, 1.2f);
    std::vector<float> in[6];
    for (auto& v : in) {
        v.resize(frames);
        for (auto& s : v)
            s = wide(rng);
    }
    for (auto& s : in[4])
        s = unit(rng); // amount
    for (auto& s : in[5])
        s = unit(rng); // envelope, below 0 and above 1 too
    // Awkward values: NaN, infinities, signed zeros, tiny products, the shaper's clamp points.
    const float awkward[] = {NAN, INFINITY, -INFINITY, 0.0f, -0.0f, 1.0e-31f, -1.0e-31f, 1.0f, -1.0f, 4.0f, -4.0f};
    for (size_t k = 0; k < std::size(awkward); ++k) {
        in[2][10 + k] = awkward[k];
        in[3][40 + k] = awkward[k];
        in[4][70 + k] = awkward[k];
        in[5][100 + k] = awkward[k];
        in[0][130 + k] = awkward[k];
    }
    std::fill(in[2].begin() + 500, in[2].begin() + 700, 0.0f); // a silent band
    std::vector<float> plainA(frames), plainB(frames), fastA(frames + 4, 0.0f), fastB(frames + 4, 0.0f);
    for (size_t i = 0; i < frames; ++i) {
        float below = 1.0f - std::clamp(in[5][i], 0.0f, 1.0f);
        below = (below * below) * (below * below);
        const float a = in[4][i];
        const float d = !Dynamic ? (ShapeType == ck_harmonics::kHard ? 1.0f : 0.5f) * a
                        : ShapeType == ck_harmonics::kHard ? a * (0.75f - 0.5f * below)
                                                           : 0.5f * a * (1.0f - 0.5f * below);
        const auto shaped = [](float u) {
            u = u > -1.0f ? u : (u <= -1.0f ? -1.0f : 0.0f);
            u = u < 1.0f ? u : 1.0f;
            const float v = (u + 0.5f) * (u + 0.5f);
            const float y = 10.0f * u * v * (1.0f - v);
            return std::fabs(y) < 1.0e-30f ? 0.0f : y;
        };
        plainA[i] = WithMain ? in[0][i] + shaped(d * in[2][i]) : shaped(d * in[2][i]);
        plainB[i] = WithMain ? in[1][i] + shaped(d * in[3][i]) : shaped(d * in[3][i]);
    }
    const ck_harmonics::Inputs inputs{in[0].data(), in[1].data(), in[2].data(), in[3].data(), in[4].data(),
                                      in[5].data()};
    int32_t first = 0;
    for (int r = 0; first < static_cast<int32_t>(frames); ++r) {
        const int32_t length = std::min<int32_t>(static_cast<int32_t>(frames) - first, kRuns[(r + 5) % std::size(kRuns)]);
        ck_harmonics::run<ShapeType, Dynamic, WithMain, Stereo>(inputs, fastA.data(), fastB.data(), first, length);
        first += length;
    }
    fastA.resize(frames);
    fastB.resize(frames);
    EXPECT_EQ(firstDifference(plainA, fastA), -1) << ShapeType << Dynamic << WithMain << Stereo;
    if (Stereo)
        EXPECT_EQ(firstDifference(plainB, fastB), -1) << ShapeType << Dynamic << WithMain;
    else
        EXPECT_TRUE(std::all_of(fastB.begin(), fastB.end(), [](float v) { return v == 0.0f; }));
}

TEST(FastPathsTest, HarmonicsMatchTheFrameByFrameShaperInEveryVariant)
{
    std::mt19937 rng(3);
    expectHarmonicsMatch<ck_harmonics::kSoft, false, true, true>(rng);
    expectHarmonicsMatch<ck_harmonics::kSoft, true, true, true>(rng);
    expectHarmonicsMatch<ck_harmonics::kHard, false, true, true>(rng);
    expectHarmonicsMatch<ck_harmonics::kHard, true, false, true>(rng);
    expectHarmonicsMatch<ck_harmonics::kSoft, true, false, false>(rng);
    expectHarmonicsMatch<ck_harmonics::kHard, true, true, false>(rng);
}

// ---- Gain law: both knee shapes around threshold and full scale, NaN, extreme ratios. ----

template <bool Bowed>
float plainGainLaw(float level, const CK_DSP_CompExp_Knee_Math::Law& l)
{
    const float x = level > l.t ? level : l.t;
    const float q = x / l.t;
    float d;
    if (Bowed)
        d = (q * l.k * l.h * l.r + l.r) * (1.0f - q) + q;
    else
        d = (1.0f - q * l.k) * l.r + q * l.k;
    d = std::max(d, l.minDivisor);
    const float change = (x - l.t) / d + l.t - x;
    return change < CK_DSP_CompExp_Knee_Math::kMaxRise ? change : CK_DSP_CompExp_Knee_Math::kMaxRise;
}

TEST(FastPathsTest, GainLawMatchesTheFrameByFrameFormula)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> level(-6.0f, 3.0f);
    std::vector<float> x = {NAN, -NAN, INFINITY, -INFINITY, 0.0f, -0.0f, -18.0f, 18.0f};
    while (x.size() < 2003)
        x.push_back(level(rng));
    const CK_DSP_CompExp_Knee_Math::Law laws[] = {
        {-2.0f, 0.0f, 3.0f, 4.0f, 1.0f},     {-0.003f, 1.0f, 3.0f, 800.0f, 1.0f}, {-3.0f, 0.5f, 6.0f, 0.5f, 0.5f},
        {-1.0f, 0.8f, 10.68f, 0.1f, 0.1f},   {-4.0f, 0.3f, 4.08f, 20.0f, 1.0f},
    };
    for (const auto& law : laws) {
        for (int bowed = 0; bowed < 2; ++bowed) {
            std::vector<float> plain(x.size()), fast(x.size() + 4, 0.0f);
            for (size_t n = 0; n < x.size(); ++n)
                plain[n] = bowed ? plainGainLaw<true>(x[n], law) : plainGainLaw<false>(x[n], law);
            size_t first = 0;
            for (int r = 0; first < x.size(); ++r) {
                const auto length = static_cast<int32_t>(
                    std::min(x.size() - first, static_cast<size_t>(kRuns[(r + 1) % std::size(kRuns)])));
                if (bowed)
                    CK_DSP_CompExp_Knee_Math::gainFrames<true>(x.data() + first, fast.data() + first, length, law);
                else
                    CK_DSP_CompExp_Knee_Math::gainFrames<false>(x.data() + first, fast.data() + first, length, law);
                first += static_cast<size_t>(length);
            }
            fast.resize(x.size());
            EXPECT_EQ(firstDifference(plain, fast), -1) << "threshold " << law.t << " bowed " << bowed;
        }
    }
}

// ---- Detector: the window peak's update without a branch. ----

TEST(FastPathsTest, DetectorPeakUpdateMatchesTheBranch)
{
    const float values[] = {0.0f, -0.0f, 1.0e-38f, 0.25f, 0.5f, 0.50000006f, 1.0f, 7.0f, INFINITY, NAN};
    for (float level : values)
        for (float previous : values)
            for (float peak : values) {
                const float plain = level > previous && level > peak ? level : peak;
                EXPECT_EQ(bitsOf(plain), bitsOf(CK_DSP_Metering2::raisedPeak(level, previous, peak)))
                    << level << " " << previous << " " << peak;
            }
}

// ---- Enhancer: gain per mode and the sum with the main signal. ----

template <int Mode, bool Stereo>
void expectEnhancerMatch(std::mt19937& rng)
{
    const size_t frames = 999;
    std::uniform_real_distribution<float> wide(-2.0f, 2.0f), unit(-0.2f, 1.3f);
    std::vector<float> in[6];
    for (auto& v : in) {
        v.resize(frames);
        for (auto& s : v)
            s = wide(rng);
    }
    for (auto& s : in[4])
        s = unit(rng); // envelope, outside 0..1 too
    for (auto& s : in[5])
        s = unit(rng); // amount
    const float awkward[] = {NAN, INFINITY, -INFINITY, 0.0f, -0.0f, 1.0e-31f, -1.0e-20f, 1.0f};
    for (size_t k = 0; k < std::size(awkward); ++k) {
        in[2][20 + k] = awkward[k];
        in[3][50 + k] = awkward[k];
        in[4][80 + k] = awkward[k];
        in[5][110 + k] = awkward[k];
        in[1][140 + k] = awkward[k];
    }
    std::vector<float> plainA(frames), plainB(frames), fastA(frames + 4, 0.0f), fastB(frames + 4, 0.0f);
    const auto flush = [](float v) { return std::fabs(v) < 1.0e-30f ? 0.0f : v; };
    for (size_t i = 0; i < frames; ++i) {
        const float e = in[4][i], a = in[5][i];
        float g;
        if (Mode == 0) {
            g = a * e * e;
        } else if (Mode == 1) {
            g = 0.75f * a * e;
        } else {
            const float below = 1.0f - std::clamp(e, 0.0f, 1.0f);
            g = 0.65f * a * (1.0f - below * below);
        }
        plainA[i] = in[0][i] + flush(in[2][i] * g);
        plainB[i] = in[1][i] + flush(in[3][i] * g);
    }
    const ck_enhancer::Inputs inputs{in[0].data(), in[1].data(), in[2].data(), in[3].data(), in[4].data(),
                                     in[5].data()};
    int32_t first = 0;
    for (int r = 0; first < static_cast<int32_t>(frames); ++r) {
        const int32_t length = std::min<int32_t>(static_cast<int32_t>(frames) - first, kRuns[(r + 2) % std::size(kRuns)]);
        ck_enhancer::run<Mode, Stereo>(inputs, fastA.data(), fastB.data(), first, length);
        first += length;
    }
    fastA.resize(frames);
    fastB.resize(frames);
    EXPECT_EQ(firstDifference(plainA, fastA), -1) << "mode " << Mode << " stereo " << Stereo;
    if (Stereo)
        EXPECT_EQ(firstDifference(plainB, fastB), -1) << "mode " << Mode;
    else
        EXPECT_TRUE(std::all_of(fastB.begin(), fastB.end(), [](float v) { return v == 0.0f; }));
}

TEST(FastPathsTest, EnhancerMatchesTheFrameByFrameGainInEveryMode)
{
    std::mt19937 rng(21);
    expectEnhancerMatch<0, true>(rng);
    expectEnhancerMatch<1, true>(rng);
    expectEnhancerMatch<2, true>(rng);
    expectEnhancerMatch<0, false>(rng);
    expectEnhancerMatch<2, false>(rng);
}

} // namespace
