// The spatial module's three-band routines in each variant of the spatial kernels against the same
// module on the kernels' references: identical samples, bit for bit, over runs of every length and
// start, every treatment, band mode and mid/side setting, delay-line shifts from 0 to the whole
// line and enough frames for the delay line to wrap many times.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dsp/spatial/CK_DSP_Spatial.h"
#include "support/KernelVariants.h"
#include "support/SignalBench.h"

namespace {

using S = CK_DSP_Spatial;

uint32_t bitsOf(float v)
{
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// Run lengths as the event splitting and the sub-block ring produce them.
const int32_t kRuns[] = {1, 2, 3, 5, 127, 128, 4, 7, 64, 1, 33, 2, 116, 3, 9};

// Two modules on the same inputs and events: `fast` in the variant under test, `plain` on the
// references.
struct Pair {
    CK_ModuleOwner owner;
    S* fast;
    S* plain;
    std::vector<float> in[S::kAmount + 1];
    int32_t position = 0;
    size_t run = 0;

    explicit Pair(CK_KernelVariant variant)
    {
        owner.sampleRateHz = 48000;
        owner.sampleRateKHz = 48.0f;
        owner.tables.compute(48000);
        fast = new S(&owner);
        plain = new S(&owner);
        EXPECT_TRUE(fast->useKernelVariant(variant));
        EXPECT_TRUE(plain->useKernelVariant(CK_KernelVariant::kReference));
        for (S* s : {fast, plain}) {
            owner.addModule(s);
            for (int pin = 0; pin <= S::kAmount; ++pin) {
                in[pin].assign(static_cast<size_t>(owner.cappedBlockSize) + 4, 0.0f);
                s->setInput(pin, in[pin].data());
            }
            s->prepare();
        }
        for (const int pin : {S::kLowA, S::kLowB, S::kMidA, S::kMidB, S::kHighA, S::kHighB, S::kAmount})
            event(0, pin, 1);
        event(0, S::kActive, 0, 10);
    }

    void event(uint32_t delay, int pin, int kind, int32_t intValue = 0, float floatValue = 0.0f)
    {
        for (S* s : {fast, plain})
            s->postEvent(owner.clock + delay, pin, kind, intValue, floatValue, nullptr);
    }
    // A shift of exactly `frames` frames at 48 kHz.
    void shiftFrames(uint32_t delay, int32_t frames)
    {
        event(delay, S::kShift, 0, 0, (static_cast<float>(frames) + 0.5f) / 480.0f);
    }

    // Band noise (silence of either sign and subnormals now and then), gains that move every frame
    // (zero included) and an amount sweeping -1..1 through zero.
    static float source(int pin, uint32_t f)
    {
        const float noise = benchNoise(pin, f);
        switch (pin) {
        case S::kLowGain:
        case S::kMidGain:
        case S::kHighGain:
            return f % 997 < 5 ? 0.0f : 1.0f + noise;
        case S::kAmount:
            return static_cast<float>(static_cast<int32_t>(f / 300 % 9) - 4) * 0.25f;
        default:
            switch (f / 50 % 40) {
            case 0: return 0.0f;
            case 1: return -0.0f;
            case 2: return noise * 1e-38f;
            default: return noise;
            }
        }
    }

    // Runs `frames` frames in the varying run lengths and compares both outputs of every frame.
    void runAndCompare(int32_t frames, const char* what)
    {
        while (frames > 0) {
            const int32_t n = std::min({frames, kRuns[run++ % std::size(kRuns)], owner.cappedBlockSize - position});
            for (int pin = 0; pin <= S::kAmount; ++pin)
                for (int32_t i = 0; i < n; ++i)
                    in[pin][static_cast<size_t>(position + i)] = source(pin, owner.clock + static_cast<uint32_t>(i));
            owner.runModules(position, n);
            for (int c = 0; c < 2; ++c)
                for (int32_t i = position; i < position + n; ++i)
                    ASSERT_EQ(bitsOf(fast->outputs[c][i]), bitsOf(plain->outputs[c][i]))
                        << what << ": channel " << c << " frame " << owner.clock + static_cast<uint32_t>(i - position)
                        << " shift " << fast->shift();
            owner.clock += static_cast<uint32_t>(n);
            position = (position + n) % owner.cappedBlockSize;
            frames -= n;
        }
    }
};

class SpatialKernels : public KernelVariantTest {
};

TEST_P(SpatialKernels, EveryTreatmentMatchesTheReferenceBitForBit)
{
    Pair p(variant());
    for (const int midSide : {0, 1})
        for (const int bandMode : {0, 1, 2})
            for (const int headphone : {0, 10}) {
                SCOPED_TRACE(testing::Message() << "mid/side " << midSide << " band mode " << bandMode
                                                << " headphone " << headphone);
                p.event(3, S::kMidSide, 0, midSide);
                p.event(3, S::kBandMode, 0, bandMode);
                p.event(3, S::kHeadphone, 0, headphone);
                p.shiftFrames(3, 1248);
                p.runAndCompare(20000, "treatment");
                ASSERT_FALSE(HasFatalFailure());
                // Bypassed: the plain band sum.
                p.event(1, S::kActive, 0, 0);
                p.runAndCompare(700, "bypassed");
                p.event(0, S::kActive, 0, 10);
                ASSERT_FALSE(HasFatalFailure());
            }
}

TEST_P(SpatialKernels, HeadphoneDelayLineMatchesAtEveryShiftThatGroupsOrSeparatesFrames)
{
    // Shifts under four read slots written by earlier frames of the same group of four, shifts
    // within three of the line's length slots a later frame of the group overwrites; both must keep
    // the frame-by-frame order.
    Pair p(variant());
    const int32_t last = p.fast->delayLength() - 1;
    for (const int midSide : {0, 1}) {
        p.event(0, S::kMidSide, 0, midSide);
        p.event(0, S::kBandMode, 0, 1);
        p.event(0, S::kHeadphone, 0, 10);
        for (const int32_t shift : {0, 1, 2, 3, 4, 5, 7, 48, last - 4, last - 3, last - 2, last - 1, last}) {
            p.shiftFrames(2, shift);
            p.runAndCompare(3, "before the shift");
            ASSERT_EQ(p.fast->shift(), shift);
            p.runAndCompare(2 * last + 300, "shift");
            ASSERT_FALSE(HasFatalFailure()) << "mid/side " << midSide << " shift " << shift;
        }
        // Shift changes every few frames while the echo is in the line.
        for (int32_t n = 0; n < 400; ++n) {
            p.shiftFrames(static_cast<uint32_t>(n % 5), (n * 37) % 70);
            p.runAndCompare(1 + n % 11, "moving shift");
            ASSERT_FALSE(HasFatalFailure()) << "mid/side " << midSide;
        }
    }
}

CK_KERNEL_VARIANTS(SpatialKernels, CK_KernelVariant::kSse2);

} // namespace
