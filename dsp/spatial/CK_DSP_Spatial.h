// Recombines the three compressor bands with their gains and shapes the stereo image of the sum.
//
// Speaker treatment: a static mid/side matrix (positive amount widens the side, negative amount
// narrows towards a crossfeed). Headphone treatment: a delayed, partly mid-cancelled copy of the
// signal added to the same channel (positive amount) or to the opposite channel (negative amount).
// The treatment covers all bands, the mid and high bands, or the high band only; in mid/side
// operation the side of every band is summed without compressor gains.
//
// Inputs: 0/1 low band, 2 low gain, 3/4 mid band (connecting 3 selects three-band operation), 5 mid
// gain, 6/7 high band, 8 high gain, 9 amount x (-1..1, one value per frame); events: 10 headphone,
// 11 headphone shift (volts = ms / 10), 12 band mode (0 all, 1 mid and high, 2 high), 19 active,
// 20 inhibit (forces bypass), 21 mid/side. Outputs 0 and 1.
#pragma once

#include <cstdint>
#include <vector>

#include "dsp/kernels/KernelVariant.h"
#include "dsp/kernels/SpatialBandSumKernel.h"
#include "modules/CK_ModuleBase.h"

class CK_DSP_Spatial : public CK_ModuleStd {
public:
    enum Pin : int {
        kLowA = 0, kLowB = 1, kLowGain = 2,
        kMidA = 3, kMidB = 4, kMidGain = 5,
        kHighA = 6, kHighB = 7, kHighGain = 8,
        kAmount = 9, kHeadphone = 10, kShift = 11, kBandMode = 12,
        kActive = 19, kInhibit = 20, kMidSide = 21,
        kOutLeft = 0, kOutRight = 1,
    };
    // Delay-line length at 48 kHz and below; doubled above 48, 96 and 192 kHz so that the longest
    // shift (100 ms) always fits.
    static constexpr int32_t kBaseDelayLength = 8192;
    static constexpr float kDefaultShift = 2.6f; // volts: 26 ms

    explicit CK_DSP_Spatial(CK_ModuleOwner* owner);

    void prepare() override;
    void clearState() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;
    void setInput(int pin, const float* source) override;

    int32_t shift() const { return shift_; }
    int32_t delayLength() const { return static_cast<int32_t>(delayA_.size()); }
    // Makes the three-band routines use the given form of the spatial kernels (the SSE2 form
    // unless told otherwise) from the next event on; false, and no change, for a form they lack.
    bool useKernelVariant(CK_KernelVariant variant);

private:
    ck_spatial::Bands bands() const;

    // Process routines.
    void pass2(int32_t firstFrame, int32_t count);
    void speaker2(int32_t firstFrame, int32_t count);
    void headphone2(int32_t firstFrame, int32_t count);
    template <bool MidSide, CK_KernelVariant V>
    void sum3(int32_t firstFrame, int32_t count);
    template <int BandMode, bool MidSide, CK_KernelVariant V>
    void speaker3(int32_t firstFrame, int32_t count);
    template <int BandMode, bool MidSide, CK_KernelVariant V>
    void headphone3(int32_t firstFrame, int32_t count);

    void select();
    template <CK_KernelVariant V>
    void useSum3();
    template <CK_KernelVariant V>
    void selectThreeBand();
    template <bool MidSide, CK_KernelVariant V>
    void selectThreeBandFor();
    void resolveInputs();
    void announce(int32_t state);
    // Counts down towards rest while the announced state is static.
    void settle(int32_t count);
    void report(int32_t count);
    // As report, but the output keeps changing for `shift` frames after the inputs became static,
    // while the delay lines empty.
    void reportWithEcho(int32_t count);
    void clearDelayIfAsked();
    void setShift(float volts);

    float samplesPer10Ms_ = 441.0f;
    int32_t shift_ = 0;
    std::vector<float> delayA_;
    std::vector<float> delayB_;
    int32_t delayMask_ = 0;
    int32_t writePos_ = 0;
    int32_t clearDelay_ = 0;
    int32_t echoLeft_ = 0;

    int32_t audioChanging_[6] = {-1, -1, -1, -1, -1, -1}; // inputs 0, 1, 3, 4, 6, 7
    int32_t inputsChanging_ = 1;
    int32_t reportedChanging_ = -1;
    int32_t countdown_ = 0;
    float staticAmount_ = 1.0f;
    bool threeBand_ = false;
    int32_t active_ = 1;
    int32_t inhibit_ = 0;
    int32_t headphone_ = 0;
    int32_t bandMode_ = 0;
    int32_t midSide_ = 0;
    CK_KernelVariant variant_ = CK_KernelVariant::kSse2;

    // Inputs 0..9 as read by the routines: unconnected audio reads silence, unconnected gains unity.
    const float* in_[10] = {};
    std::vector<float> zeros_;
    std::vector<float> ones_;
};
