// The kernels' variants against their references, bit for bit, on noise, silence, awkward values,
// coefficient jumps, odd run lengths and offsets, in place and out of place. The filter kernels
// are held against the plain one-section-at-a-time loop, their own reference included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "dsp/dynamics/CK_DSP_dB_to_Level.h"
#include "dsp/kernels/DbToLevelKernel.h"
#include "dsp/kernels/DetectorKernel.h"
#include "dsp/kernels/EnhancerKernel.h"
#include "dsp/kernels/EqCascadeKernel.h"
#include "dsp/kernels/EqCascadeStereoKernel.h"
#include "dsp/kernels/HarmonicsKernel.h"
#include "dsp/kernels/KneeGainKernel.h"
#include "dsp/kernels/PeakRiseKernel.h"
#include "dsp/kernels/StaticCascadeStereoKernel.h"
#include "dsp/kernels/StaticLanesKernel.h"
#include "support/KernelVariants.h"

namespace {

using namespace ck_cascade;
using V = CK_KernelVariant;

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

class EqCascadeKernel : public KernelVariantTest {
};

TEST_P(EqCascadeKernel, MatchesBandByBandFilteringBitForBit)
{
    const auto run = reference() ? &ck_eq_cascade::reference : &ck_eq_cascade::sse2;
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
                    run(fastPointers, c, bands, inPlace ? fastOut.data() : x.data(), fastOut.data(), first, end);
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

CK_KERNEL_VARIANTS(EqCascadeKernel, V::kReference, V::kSse2);

class EqCascadeStereoKernel : public KernelVariantTest {
};

TEST_P(EqCascadeStereoKernel, MatchesEachChannelFilteredAloneBitForBit)
{
    std::mt19937 rng(4321);
    const auto signals = testSignals(rng);
    const ck_eq_stereo::Routine run = ck_eq_stereo::forms().of(variant());
    ASSERT_NE(run, nullptr);
    {
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

CK_KERNEL_VARIANTS(EqCascadeStereoKernel, V::kReference, V::kSse2, V::kWide);

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

class StaticCascadeStereoKernel : public KernelVariantTest {
};

TEST_P(StaticCascadeStereoKernel, MatchesSectionBySectionFilteringOfEachChannel)
{
    const auto run = reference() ? &ck_static_stereo::reference : &ck_static_stereo::sse2;
    std::mt19937 rng(99);
    const auto signals = testSignals(rng);
    for (int count = 1; count <= kMaxStaticSections; ++count)
        for (size_t sa = 0; sa < signals.size(); ++sa) {
            // Channel B carries another signal than A, so crossed lanes would show.
            const auto& xa = signals[sa];
            const auto& xb = signals[(sa + 1) % signals.size()];
            StaticSection plainA[kMaxStaticSections] = {}, plainB[kMaxStaticSections] = {};
            StaticSection fastA[kMaxStaticSections] = {}, fastB[kMaxStaticSections] = {};
            std::vector<float> plainOutA(kFrames), plainOutB(kFrames), fastOutA(kFrames), fastOutB(kFrames);
            CK_BiQuad c{};
            int32_t first = 0;
            for (int r = 0; first < kFrames; ++r) {
                if (r % 3 == 0)
                    c = randomSection<CK_BiQuad>(rng);
                const int32_t end = std::min<int32_t>(kFrames, first + kRuns[(r + 3) % std::size(kRuns)]);
                plainStaticChannel(plainA, count, c, xa.data(), plainOutA.data(), first, end);
                plainStaticChannel(plainB, count, c, xb.data(), plainOutB.data(), first, end);
                run(fastA, fastB, count, c, xa.data(), xb.data(), fastOutA.data(), fastOutB.data(), first, end);
                first = end;
            }
            ASSERT_EQ(firstDifference(plainOutA, fastOutA), -1) << count << " sections, channel A";
            ASSERT_EQ(firstDifference(plainOutB, fastOutB), -1) << count << " sections, channel B";
            for (int i = 0; i < count; ++i) {
                EXPECT_EQ(std::memcmp(&plainA[i], &fastA[i], sizeof(StaticSection)), 0);
                EXPECT_EQ(std::memcmp(&plainB[i], &fastB[i], sizeof(StaticSection)), 0);
            }
        }
}

CK_KERNEL_VARIANTS(StaticCascadeStereoKernel, V::kReference, V::kSse2);

class StaticLanesKernel : public KernelVariantTest {
};

TEST_P(StaticLanesKernel, MatchesEachChannelFilteredAlone)
{
    const auto run = reference() ? &ck_static_lanes::reference : &ck_static_lanes::sse2;
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
            run(lane, lanes, first, end);
            first = end;
        }
        for (int k = 0; k < lanes; ++k) {
            ASSERT_EQ(firstDifference(plainOut[k], fastOut[k]), -1) << lanes << " lanes, lane " << k;
            EXPECT_EQ(std::memcmp(&plain[k], &fast[k], sizeof(StaticSection)), 0);
        }
    }
}

CK_KERNEL_VARIANTS(StaticLanesKernel, V::kReference, V::kSse2);

// Splits `frames` frames into runs of awkward lengths and calls run(first, length) for each, so
// groups of four start anywhere and odd tails are left over.
template <typename Run>
void inRuns(size_t frames, int shift, Run&& run)
{
    int32_t first = 0;
    for (int r = 0; first < static_cast<int32_t>(frames); ++r) {
        const int32_t length =
            std::min<int32_t>(static_cast<int32_t>(frames) - first, kRuns[(r + shift) % std::size(kRuns)]);
        run(first, length);
        first += length;
    }
}

// Uniform values in [low, high) with awkward ones planted at `at`: NaN, infinities, signed zeros,
// tiny values, the edges of clamps.
std::vector<float> withAwkwardValues(std::mt19937& rng, size_t frames, float low, float high, size_t at)
{
    std::uniform_real_distribution<float> u(low, high);
    std::vector<float> v(frames);
    for (auto& x : v)
        x = u(rng);
    const float awkward[] = {NAN, -NAN, INFINITY, -INFINITY, 0.0f, -0.0f, 1.0e-31f, -1.0e-31f, 1.0e-20f,
                             1.0f, -1.0f, 4.0f, -4.0f, 18.0f, -18.0f, 17.999998f, -18.000002f};
    for (size_t k = 0; k < std::size(awkward) && at + k < frames; ++k)
        v[at + k] = awkward[k];
    return v;
}

// ---- dB to level: 2^(dB / 6) from the shared tables. ----

class DbToLevelKernel : public KernelVariantTest {
};

TEST_P(DbToLevelKernel, MatchesTheReference)
{
    std::mt19937 rng(7);
    const auto& tables = CK_DSP_dB_to_Level::tables();
    auto x = withAwkwardValues(rng, 3001, -25.0f, 25.0f, 0);
    // Every step of the fraction table.
    for (int j = 0; j < 512; ++j)
        x[100 + static_cast<size_t>(j)] = -18.0f + static_cast<float>(j) * (36.0f / 512.0f);
    std::vector<float> expected(x.size()), got(x.size());
    ck_db_to_level::reference(tables, x.data(), expected.data(), static_cast<int32_t>(x.size()));
    inRuns(x.size(), 0, [&](int32_t first, int32_t length) {
        ck_db_to_level::sse2(tables, x.data() + first, got.data() + first, length);
    });
    EXPECT_EQ(firstDifference(expected, got), -1);
}

CK_KERNEL_VARIANTS(DbToLevelKernel, V::kSse2);

// ---- Gain law: both knee shapes around threshold and full scale, NaN, extreme ratios. ----

class KneeGainKernel : public KernelVariantTest {
};

TEST_P(KneeGainKernel, MatchesTheReferenceForBothKneeShapes)
{
    std::mt19937 rng(5);
    const auto x = withAwkwardValues(rng, 2003, -6.0f, 3.0f, 10);
    const ck_knee_gain::Law laws[] = {
        {-2.0f, 0.0f, 3.0f, 4.0f, 1.0f},   {-0.003f, 1.0f, 3.0f, 800.0f, 1.0f}, {-3.0f, 0.5f, 6.0f, 0.5f, 0.5f},
        {-1.0f, 0.8f, 10.68f, 0.1f, 0.1f}, {-4.0f, 0.3f, 4.08f, 20.0f, 1.0f},
    };
    for (const auto& law : laws)
        for (const bool bowed : {false, true}) {
            std::vector<float> expected(x.size()), got(x.size());
            const auto count = static_cast<int32_t>(x.size());
            (bowed ? &ck_knee_gain::reference<true> : &ck_knee_gain::reference<false>)(x.data(), expected.data(),
                                                                                       count, law);
            const auto fast = bowed ? &ck_knee_gain::sse2<true> : &ck_knee_gain::sse2<false>;
            inRuns(x.size(), 1, [&](int32_t first, int32_t length) {
                fast(x.data() + first, got.data() + first, length, law);
            });
            EXPECT_EQ(firstDifference(expected, got), -1) << "threshold " << law.t << " bowed " << bowed;
        }
}

CK_KERNEL_VARIANTS(KneeGainKernel, V::kSse2);

// ---- Detector: the window peak's update without a branch. ----

class PeakRiseKernel : public KernelVariantTest {
};

TEST_P(PeakRiseKernel, MatchesTheBranch)
{
    const float values[] = {0.0f, -0.0f, 1.0e-38f, 0.25f, 0.5f, 0.50000006f, 1.0f, 7.0f, INFINITY, NAN};
    for (float level : values)
        for (float previous : values)
            for (float peak : values)
                EXPECT_EQ(bitsOf(ck_peak_rise::reference(level, previous, peak)),
                          bitsOf(ck_peak_rise::sse2(level, previous, peak)))
                    << level << " " << previous << " " << peak;
}

CK_KERNEL_VARIANTS(PeakRiseKernel, V::kSse2);

// ---- Level detector: up to four peak detectors side by side. ----

class DetectorKernel : public KernelVariantTest {
};

// Detectors with their own settings and histories over noise with loud bursts and silence, runs
// of every length up to a module buffer; holds short enough to end within runs.
template <int32_t M, bool Linked>
void expectDetectorsMatch(std::mt19937& rng, int n)
{
    using ck_detector::State;
    constexpr int32_t kRun = ck_detector::kMaxFrames;
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    State expected[4], got[4];
    State* expectedStates[4];
    State* gotStates[4];
    std::vector<float> a[4], b[4], expectedOut[4], gotOut[4];
    for (int k = 0; k < n; ++k) {
        const float held = u(rng);
        expected[k] = State{held, 0.5f * held, u(rng), u(rng), 0.01f * u(rng), 1 + k * 7, 0, 0.0, 0.5f * u(rng),
                            0.999f * u(rng), 1.0e-4f * u(rng), 5 + 13 * k, 1, 1, nullptr};
        got[k] = expected[k];
        expectedStates[k] = &expected[k];
        gotStates[k] = &got[k];
        expectedOut[k].assign(kRun, 0.0f);
        gotOut[k].assign(kRun, 0.0f);
    }
    for (int run = 0; run < 40; ++run) {
        const int32_t count = kRuns[run % std::size(kRuns)] % kRun + 1;
        const float loudness = run % 7 == 3 ? 0.0f : (run % 5 == 1 ? 4.0f : 0.5f);
        const float* ap[4];
        const float* bp[4];
        float* ep[4];
        float* gp[4];
        for (int k = 0; k < n; ++k) {
            a[k] = withAwkwardValues(rng, static_cast<size_t>(kRun), -loudness, loudness, 1000);
            b[k] = withAwkwardValues(rng, static_cast<size_t>(kRun), -loudness, loudness, 1000);
            ap[k] = a[k].data();
            bp[k] = b[k].data();
            ep[k] = expectedOut[k].data();
            gp[k] = gotOut[k].data();
        }
        ck_detector::reference<M, Linked>(expectedStates, n, ap, bp, ep, count);
        ck_detector::sse2<M, Linked>(gotStates, n, ap, bp, gp, count);
        for (int k = 0; k < n; ++k) {
            ASSERT_EQ(firstDifference(expectedOut[k], gotOut[k]), -1) << "mode " << M << " detector " << k;
            const State& e = expected[k];
            const State& g = got[k];
            ASSERT_EQ(std::vector<uint32_t>({bitsOf(e.held), bitsOf(e.windowPeak), bitsOf(e.previous), bitsOf(e.env),
                                             bitsOf(e.accel), static_cast<uint32_t>(e.holdCount)}),
                      std::vector<uint32_t>({bitsOf(g.held), bitsOf(g.windowPeak), bitsOf(g.previous), bitsOf(g.env),
                                             bitsOf(g.accel), static_cast<uint32_t>(g.holdCount)}))
                << "mode " << M << " detector " << k;
        }
    }
}

TEST_P(DetectorKernel, MatchesTheReferenceInEveryModeForOneToFourDetectors)
{
    std::mt19937 rng(11);
    for (int n = 1; n <= 4; ++n) {
        expectDetectorsMatch<ck_detector::kAccelerating, false>(rng, n);
        expectDetectorsMatch<ck_detector::kExponential, true>(rng, n);
        expectDetectorsMatch<ck_detector::kLinear, false>(rng, n);
        expectDetectorsMatch<ck_detector::kAccelerating, true>(rng, n);
    }
}

CK_KERNEL_VARIANTS(DetectorKernel, V::kSse2);

// ---- Enhancer and synthetic harmonics: main, band, envelope and amount per frame. ----

// Six inputs in the order of both kernels' Inputs: main A/B and band A/B over a wide range, then
// two control signals that also leave 0..1; awkward values in each.
std::vector<std::vector<float>> enhancerInputs(std::mt19937& rng, size_t frames)
{
    std::vector<std::vector<float>> in;
    for (int k = 0; k < 6; ++k)
        in.push_back(k < 4 ? withAwkwardValues(rng, frames, -3.0f, 3.0f, 10 + 30 * static_cast<size_t>(k))
                           : withAwkwardValues(rng, frames, -0.2f, 1.3f, 10 + 30 * static_cast<size_t>(k)));
    std::fill(in[2].begin() + 500, in[2].begin() + 700, 0.0f); // a silent band
    return in;
}

template <typename Inputs, typename Run>
void expectSameAsReference(const std::vector<std::vector<float>>& in, bool stereo, Run reference, Run fast,
                           const char* what)
{
    const size_t frames = in[0].size();
    const Inputs inputs{in[0].data(), in[1].data(), in[2].data(), in[3].data(), in[4].data(), in[5].data()};
    std::vector<float> expectedA(frames), expectedB(frames), gotA(frames + 4), gotB(frames + 4);
    reference(inputs, expectedA.data(), expectedB.data(), 0, static_cast<int32_t>(frames));
    inRuns(frames, 2, [&](int32_t first, int32_t length) { fast(inputs, gotA.data(), gotB.data(), first, length); });
    gotA.resize(frames);
    gotB.resize(frames);
    EXPECT_EQ(firstDifference(expectedA, gotA), -1) << what;
    if (stereo)
        EXPECT_EQ(firstDifference(expectedB, gotB), -1) << what;
    else
        EXPECT_TRUE(std::all_of(gotB.begin(), gotB.end(), [](float v) { return v == 0.0f; })) << what;
}

class HarmonicsKernel : public KernelVariantTest {
};

template <int ShapeType, bool Dynamic, bool WithMain, bool Stereo>
void expectHarmonicsMatch(const std::vector<std::vector<float>>& in)
{
    namespace h = ck_harmonics;
    expectSameAsReference<h::Inputs>(in, Stereo, &h::reference<ShapeType, Dynamic, WithMain, Stereo>,
                                     &h::sse2<ShapeType, Dynamic, WithMain, Stereo>,
                                     ::testing::PrintToString(std::make_tuple(ShapeType, Dynamic, WithMain, Stereo))
                                         .c_str());
}

TEST_P(HarmonicsKernel, MatchesTheReferenceInEveryRoutine)
{
    std::mt19937 rng(3);
    const auto in = enhancerInputs(rng, 1001);
    expectHarmonicsMatch<ck_harmonics::kSoft, false, true, true>(in);
    expectHarmonicsMatch<ck_harmonics::kSoft, true, true, true>(in);
    expectHarmonicsMatch<ck_harmonics::kHard, false, true, true>(in);
    expectHarmonicsMatch<ck_harmonics::kHard, true, false, true>(in);
    expectHarmonicsMatch<ck_harmonics::kSoft, true, false, false>(in);
    expectHarmonicsMatch<ck_harmonics::kHard, true, true, false>(in);
}

CK_KERNEL_VARIANTS(HarmonicsKernel, V::kSse2);

class EnhancerKernel : public KernelVariantTest {
};

template <int Mode, bool Stereo>
void expectEnhancerMatch(const std::vector<std::vector<float>>& in)
{
    namespace e = ck_enhancer;
    expectSameAsReference<e::Inputs>(in, Stereo, &e::reference<Mode, Stereo>, &e::sse2<Mode, Stereo>,
                                     Stereo ? "stereo" : "mono");
}

TEST_P(EnhancerKernel, MatchesTheReferenceInEveryMode)
{
    std::mt19937 rng(21);
    const auto in = enhancerInputs(rng, 999);
    expectEnhancerMatch<0, true>(in);
    expectEnhancerMatch<1, true>(in);
    expectEnhancerMatch<2, true>(in);
    expectEnhancerMatch<0, false>(in);
    expectEnhancerMatch<2, false>(in);
}

CK_KERNEL_VARIANTS(EnhancerKernel, V::kSse2);

} // namespace
