#include "dsp/spatial/CK_DSP_Spatial.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Speaker matrix on a left/right pair: A' = direct * A + cross * B (and the same with A and B
// swapped). Positive x multiplies the side by 1 + x; negative x feeds x of the other channel in.
struct SpeakerLR {
    float direct;
    float cross;
};
SpeakerLR speakerLR(float x)
{
    if (x > 0.0f)
        return {1.0f + 0.5f * x, -0.5f * x};
    return {1.0f - 0.25f * x, 0.75f * x};
}

// Speaker treatment on a mid/side pair: positive x widens the side, negative x lowers the mid.
struct SpeakerMS {
    float mid;
    float side;
};
SpeakerMS speakerMS(float x)
{
    if (x > 0.0f)
        return {1.0f, 1.0f + x};
    return {1.0f + x, 1.0f};
}

// Headphone mix: a positive amount adds the delayed signal to its own channel, a negative amount
// to the opposite one.
struct EchoMix {
    float same;
    float opposite;
};
EchoMix echoMix(float e)
{
    if (e > 0.0f)
        return {e, 0.0f};
    return {0.0f, e};
}

constexpr float kMidCancel = 0.4f;

#if defined(__SSE2__)
// Four consecutive frames of the band sum, lane k = frame i + k, with the operations of frameAt.
struct Frames4 {
    __m128 pA, pB, uA, uB;
};

template <int BandMode, bool MidSide>
inline Frames4 framesAt(const float* const* in, int32_t i)
{
    using S = CK_DSP_Spatial;
    const __m128 gLow = _mm_loadu_ps(in[S::kLowGain] + i);
    const __m128 gMid = _mm_loadu_ps(in[S::kMidGain] + i);
    const __m128 gHigh = _mm_loadu_ps(in[S::kHighGain] + i);
    const __m128 lowA = _mm_mul_ps(_mm_loadu_ps(in[S::kLowA] + i), gLow);
    const __m128 midA = _mm_mul_ps(_mm_loadu_ps(in[S::kMidA] + i), gMid);
    const __m128 highA = _mm_mul_ps(_mm_loadu_ps(in[S::kHighA] + i), gHigh);
    const __m128 lowB = MidSide ? _mm_loadu_ps(in[S::kLowB] + i) : _mm_mul_ps(_mm_loadu_ps(in[S::kLowB] + i), gLow);
    const __m128 midB = MidSide ? _mm_loadu_ps(in[S::kMidB] + i) : _mm_mul_ps(_mm_loadu_ps(in[S::kMidB] + i), gMid);
    const __m128 highB =
        MidSide ? _mm_loadu_ps(in[S::kHighB] + i) : _mm_mul_ps(_mm_loadu_ps(in[S::kHighB] + i), gHigh);
    const __m128 zero = _mm_setzero_ps();
    if constexpr (BandMode == 0)
        return {_mm_add_ps(_mm_add_ps(lowA, midA), highA), _mm_add_ps(_mm_add_ps(lowB, midB), highB), zero, zero};
    else if constexpr (BandMode == 1)
        return {_mm_add_ps(midA, highA), _mm_add_ps(midB, highB), lowA, lowB};
    else
        return {highA, highB, _mm_add_ps(lowA, midA), _mm_add_ps(lowB, midB)};
}

// The delay lines run backwards: four consecutive frames occupy four adjacent slots, last frame first.
__m128 reversed(__m128 v)
{
    return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3));
}
#endif

} // namespace

CK_DSP_Spatial::CK_DSP_Spatial(CK_ModuleOwner* moduleOwner)
    : CK_ModuleStd(moduleOwner),
      zeros_(static_cast<size_t>(moduleOwner->cappedBlockSize) + 4, 0.0f),
      ones_(static_cast<size_t>(moduleOwner->cappedBlockSize) + 4, 1.0f)
{
    allocateOutput(0);
    allocateOutput(1);
    resolveInputs();
}

void CK_DSP_Spatial::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if (pin == kMidA)
        threeBand_ = source != nullptr;
    resolveInputs();
}

void CK_DSP_Spatial::resolveInputs()
{
    for (int pin = 0; pin <= kAmount; ++pin) {
        const bool gain = pin == kLowGain || pin == kMidGain || pin == kHighGain;
        in_[pin] = inputs[pin] ? inputs[pin] : (gain ? ones_.data() : zeros_.data());
    }
}

void CK_DSP_Spatial::prepare()
{
    rest();
    std::fill(std::begin(audioChanging_), std::end(audioChanging_), -1);
    inputsChanging_ = 1;
    reportedChanging_ = -1;
    countdown_ = blockSize;
    clearDelay_ = 0;
    echoLeft_ = 0;
    bandMode_ = 0;
    headphone_ = 0;
    active_ = 1;
    inhibit_ = 0;
    midSide_ = 0;
    staticAmount_ = 1.0f;

    samplesPer10Ms_ = static_cast<float>(owner->sampleRateHz) / 100.0f;
    int32_t length = kBaseDelayLength;
    for (const int32_t above : {48000, 96000, 192000})
        if (owner->sampleRateHz > above)
            length *= 2;
    delayA_.assign(static_cast<size_t>(length), 0.0f);
    delayB_.assign(static_cast<size_t>(length), 0.0f);
    delayMask_ = length - 1;
    writePos_ = 0;
    setShift(kDefaultShift);
}

void CK_DSP_Spatial::clearState()
{
    std::fill(delayA_.begin(), delayA_.end(), 0.0f);
    std::fill(delayB_.begin(), delayB_.end(), 0.0f);
    echoLeft_ = 0;
}

// The shift must stay inside the delay line whatever the value: negative or non-finite values read
// the current frame, longer ones the oldest stored frame.
void CK_DSP_Spatial::setShift(float volts)
{
    const double frames = std::floor(static_cast<double>(samplesPer10Ms_ * volts));
    const double longest = static_cast<double>(delayMask_);
    shift_ = frames > 0.0 ? static_cast<int32_t>(std::min(frames, longest)) : 0;
}

void CK_DSP_Spatial::handleEvent(const CK_Event& e, int32_t firstFrame)
{
    countdown_ = blockSize;
    switch (e.pin) {
    case kLowA: audioChanging_[0] = e.kind; break;
    case kLowB: audioChanging_[1] = e.kind; break;
    case kMidA: audioChanging_[2] = e.kind; break;
    case kMidB: audioChanging_[3] = e.kind; break;
    case kHighA: audioChanging_[4] = e.kind; break;
    case kHighB: audioChanging_[5] = e.kind; break;
    case kLowGain:
    case kMidGain:
    case kHighGain:
    case kAmount:
        staticAmount_ = e.kind != 0 ? 1.0f : in_[kAmount][firstFrame];
        break;
    case kHeadphone: headphone_ = e.intValue; break;
    case kShift:
        setShift(e.floatValue);
        return;
    case kBandMode: bandMode_ = e.intValue; break;
    case kActive: active_ = e.intValue; break;
    case kInhibit: inhibit_ = e.intValue; break;
    case kMidSide: midSide_ = e.intValue; break;
    default: break;
    }
    select();
}

void CK_DSP_Spatial::select()
{
    const int32_t pairChanging = (audioChanging_[0] | audioChanging_[1]) != 0 ? 1 : 0;
    int32_t allChanging = 0;
    for (const int32_t c : audioChanging_)
        allChanging |= c != 0 ? 1 : 0;

    if (active_ == 0 || inhibit_ != 0 || staticAmount_ == 0.0f) {
        clearDelay_ = 1;
        if (reportedChanging_ == 0)
            reportedChanging_ = -1;
        if (threeBand_) {
            inputsChanging_ = allChanging;
            if (midSide_)
                useRoutine<&CK_DSP_Spatial::sum3<true>>();
            else
                useRoutine<&CK_DSP_Spatial::sum3<false>>();
        } else {
            inputsChanging_ = pairChanging;
            useRoutine<&CK_DSP_Spatial::pass2>();
        }
        return;
    }

    inputsChanging_ = threeBand_ ? allChanging : pairChanging;
    if (inputsChanging_ == 0)
        reportedChanging_ = -1;
    if (!threeBand_) {
        if (headphone_) {
            useRoutine<&CK_DSP_Spatial::headphone2>();
        } else {
            clearDelay_ = 1;
            useRoutine<&CK_DSP_Spatial::speaker2>();
        }
        return;
    }
    if (midSide_)
        selectThreeBand<true>();
    else
        selectThreeBand<false>();
}

template <bool MidSide>
void CK_DSP_Spatial::selectThreeBand()
{
    if (bandMode_ < 0 || bandMode_ > 2)
        return; // unknown band modes keep the current routine
    if (!headphone_)
        clearDelay_ = 1;
    switch (bandMode_) {
    case 0:
        if (headphone_)
            useRoutine<&CK_DSP_Spatial::headphone3<0, MidSide>>();
        else
            useRoutine<&CK_DSP_Spatial::speaker3<0, MidSide>>();
        break;
    case 1:
        if (headphone_)
            useRoutine<&CK_DSP_Spatial::headphone3<1, MidSide>>();
        else
            useRoutine<&CK_DSP_Spatial::speaker3<1, MidSide>>();
        break;
    default:
        if (headphone_)
            useRoutine<&CK_DSP_Spatial::headphone3<2, MidSide>>();
        else
            useRoutine<&CK_DSP_Spatial::speaker3<2, MidSide>>();
        break;
    }
}

void CK_DSP_Spatial::announce(int32_t state)
{
    if (state == reportedChanging_)
        return;
    reportedChanging_ = state;
    sendEvent(clock, 0, state, 0, 0.0f);
    sendEvent(clock, 1, state, 0, 0.0f);
}

void CK_DSP_Spatial::settle(int32_t count)
{
    if (reportedChanging_ != 0)
        return;
    countdown_ -= count;
    if (countdown_ < 0)
        rest();
}

void CK_DSP_Spatial::report(int32_t count)
{
    announce(inputsChanging_);
    settle(count);
}

void CK_DSP_Spatial::reportWithEcho(int32_t count)
{
    if (inputsChanging_) {
        echoLeft_ = shift_;
        announce(1);
    } else {
        announce(echoLeft_ > 0 ? 1 : 0);
        echoLeft_ = std::max(0, echoLeft_ - count);
    }
    settle(count);
}

void CK_DSP_Spatial::clearDelayIfAsked()
{
    if (!clearDelay_)
        return;
    clearDelay_ = 0;
    std::fill(delayA_.begin(), delayA_.end(), 0.0f);
    std::fill(delayB_.begin(), delayB_.end(), 0.0f);
    echoLeft_ = 0;
}

template <int BandMode, bool MidSide>
CK_DSP_Spatial::Frame CK_DSP_Spatial::frameAt(int32_t i) const
{
    const float gLow = in_[kLowGain][i];
    const float gMid = in_[kMidGain][i];
    const float gHigh = in_[kHighGain][i];
    const float lowA = in_[kLowA][i] * gLow;
    const float midA = in_[kMidA][i] * gMid;
    const float highA = in_[kHighA][i] * gHigh;
    // The side carries no compressor gain: the bands are compressed on their mid only.
    const float lowB = MidSide ? in_[kLowB][i] : in_[kLowB][i] * gLow;
    const float midB = MidSide ? in_[kMidB][i] : in_[kMidB][i] * gMid;
    const float highB = MidSide ? in_[kHighB][i] : in_[kHighB][i] * gHigh;
    if constexpr (BandMode == 0)
        return {lowA + midA + highA, lowB + midB + highB, 0.0f, 0.0f};
    else if constexpr (BandMode == 1)
        return {midA + highA, midB + highB, lowA, lowB};
    else
        return {highA, highB, lowA + midA, lowB + midB};
}

void CK_DSP_Spatial::pass2(int32_t firstFrame, int32_t count)
{
    report(count);
    std::copy_n(in_[kLowA] + firstFrame, count, outputs[0] + firstFrame);
    std::copy_n(in_[kLowB] + firstFrame, count, outputs[1] + firstFrame);
}

void CK_DSP_Spatial::speaker2(int32_t firstFrame, int32_t count)
{
    report(count);
    const SpeakerLR m = speakerLR(in_[kAmount][firstFrame]);
    const float* a = in_[kLowA];
    const float* b = in_[kLowB];
    float* outA = outputs[0];
    float* outB = outputs[1];
    for (int32_t i = firstFrame; i < firstFrame + count; ++i) {
        outA[i] = m.direct * a[i] + m.cross * b[i];
        outB[i] = m.direct * b[i] + m.cross * a[i];
    }
}

void CK_DSP_Spatial::headphone2(int32_t firstFrame, int32_t count)
{
    reportWithEcho(count);
    clearDelayIfAsked();
    const EchoMix mix = echoMix(in_[kAmount][firstFrame]);
    const float* a = in_[kLowA];
    const float* b = in_[kLowB];
    float* lineA = delayA_.data();
    float* lineB = delayB_.data();
    for (int32_t i = firstFrame; i < firstFrame + count; ++i) {
        writePos_ = (writePos_ - 1) & delayMask_;
        lineA[writePos_] = a[i];
        lineB[writePos_] = b[i];
        const int32_t read = (writePos_ + shift_) & delayMask_;
        const float k = kMidCancel * (lineA[read] + lineB[read]);
        const float sA = lineA[read] - k;
        const float sB = lineB[read] - k;
        outputs[0][i] = a[i] + mix.same * sA + mix.opposite * sB;
        outputs[1][i] = b[i] + mix.same * sB + mix.opposite * sA;
    }
}

int32_t CK_DSP_Spatial::groupsEnd(int32_t firstFrame, int32_t count) const
{
    return frameByFrame_ ? firstFrame : firstFrame + (count & ~3);
}

template <bool MidSide>
void CK_DSP_Spatial::sum3(int32_t firstFrame, int32_t count)
{
    report(count);
    int32_t i = firstFrame;
#if defined(__SSE2__)
    for (const int32_t end = groupsEnd(firstFrame, count); i < end; i += 4) {
        const Frames4 f = framesAt<0, MidSide>(in_, i);
        _mm_storeu_ps(outputs[0] + i, f.pA);
        _mm_storeu_ps(outputs[1] + i, f.pB);
    }
#endif
    for (; i < firstFrame + count; ++i) {
        const Frame f = frameAt<0, MidSide>(i);
        outputs[0][i] = f.pA;
        outputs[1][i] = f.pB;
    }
}

template <int BandMode, bool MidSide>
void CK_DSP_Spatial::speaker3(int32_t firstFrame, int32_t count)
{
    report(count);
    const float x = in_[kAmount][firstFrame];
    float* outA = outputs[0];
    float* outB = outputs[1];
    int32_t i = firstFrame;
    if constexpr (MidSide) {
        const SpeakerMS m = speakerMS(x);
#if defined(__SSE2__)
        const __m128 mid = _mm_set1_ps(m.mid);
        const __m128 side = _mm_set1_ps(m.side);
        for (const int32_t end = groupsEnd(firstFrame, count); i < end; i += 4) {
            const Frames4 f = framesAt<BandMode, true>(in_, i);
            _mm_storeu_ps(outA + i, _mm_add_ps(_mm_mul_ps(mid, f.pA), f.uA));
            _mm_storeu_ps(outB + i, _mm_add_ps(_mm_mul_ps(side, f.pB), f.uB));
        }
#endif
        for (; i < firstFrame + count; ++i) {
            const Frame f = frameAt<BandMode, true>(i);
            outA[i] = m.mid * f.pA + f.uA;
            outB[i] = m.side * f.pB + f.uB;
        }
    } else {
        const SpeakerLR m = speakerLR(x);
#if defined(__SSE2__)
        const __m128 direct = _mm_set1_ps(m.direct);
        const __m128 cross = _mm_set1_ps(m.cross);
        for (const int32_t end = groupsEnd(firstFrame, count); i < end; i += 4) {
            const Frames4 f = framesAt<BandMode, false>(in_, i);
            _mm_storeu_ps(outA + i,
                          _mm_add_ps(_mm_add_ps(_mm_mul_ps(direct, f.pA), _mm_mul_ps(cross, f.pB)), f.uA));
            _mm_storeu_ps(outB + i,
                          _mm_add_ps(_mm_add_ps(_mm_mul_ps(direct, f.pB), _mm_mul_ps(cross, f.pA)), f.uB));
        }
#endif
        for (; i < firstFrame + count; ++i) {
            const Frame f = frameAt<BandMode, false>(i);
            outA[i] = m.direct * f.pA + m.cross * f.pB + f.uA;
            outB[i] = m.direct * f.pB + m.cross * f.pA + f.uB;
        }
    }
}

// Four frames go through the delay lines together: all four write, then all four read. Frame by
// frame, each frame reads its own slot (shift 0) or one written before it, and so it does in the
// group unless shift > length - 4, where a frame would read the slot a later frame of the group
// has just overwritten. Groups whose written or read slots wrap around the end of the line take
// the frame-by-frame step.
template <int BandMode, bool MidSide>
void CK_DSP_Spatial::headphone3(int32_t firstFrame, int32_t count)
{
    reportWithEcho(count);
    clearDelayIfAsked();
    const float e = 2.0f * in_[kAmount][firstFrame];
    float* lineA = delayA_.data();
    float* lineB = delayB_.data();
    float* outA = outputs[0];
    float* outB = outputs[1];
    int32_t i = firstFrame;
#if defined(__SSE2__)
    const int32_t end = shift_ <= delayMask_ - 3 ? groupsEnd(firstFrame, count) : firstFrame;
#endif
    if constexpr (MidSide) {
        // Only the side goes through a delay line; the mid passes unchanged.
        const float gain = std::fabs(e);
        auto step = [&](int32_t n) {
            const Frame f = frameAt<BandMode, true>(n);
            writePos_ = (writePos_ - 1) & delayMask_;
            lineB[writePos_] = f.pB;
            const float delayed = lineB[(writePos_ + shift_) & delayMask_];
            outA[n] = f.pA + f.uA;
            outB[n] = f.pB + gain * delayed + f.uB;
        };
#if defined(__SSE2__)
        const __m128 gains = _mm_set1_ps(gain);
        for (; i < end; i += 4) {
            const int32_t write = writePos_ - 4;
            const int32_t read = (write + shift_) & delayMask_;
            if (write < 0 || read > delayMask_ - 3) {
                for (int32_t n = i; n < i + 4; ++n)
                    step(n);
                continue;
            }
            const Frames4 f = framesAt<BandMode, true>(in_, i);
            _mm_storeu_ps(lineB + write, reversed(f.pB));
            writePos_ = write;
            const __m128 delayed = reversed(_mm_loadu_ps(lineB + read));
            _mm_storeu_ps(outA + i, _mm_add_ps(f.pA, f.uA));
            _mm_storeu_ps(outB + i, _mm_add_ps(_mm_add_ps(f.pB, _mm_mul_ps(gains, delayed)), f.uB));
        }
#endif
        for (; i < firstFrame + count; ++i)
            step(i);
    } else {
        const EchoMix mix = echoMix(e);
        auto step = [&](int32_t n) {
            const Frame f = frameAt<BandMode, false>(n);
            writePos_ = (writePos_ - 1) & delayMask_;
            lineA[writePos_] = f.pA;
            lineB[writePos_] = f.pB;
            const int32_t read = (writePos_ + shift_) & delayMask_;
            const float k = kMidCancel * (lineA[read] + lineB[read]);
            const float sA = lineA[read] - k;
            const float sB = lineB[read] - k;
            outA[n] = f.pA + mix.same * sA + mix.opposite * sB + f.uA;
            outB[n] = f.pB + mix.same * sB + mix.opposite * sA + f.uB;
        };
#if defined(__SSE2__)
        const __m128 same = _mm_set1_ps(mix.same);
        const __m128 opposite = _mm_set1_ps(mix.opposite);
        const __m128 midCancel = _mm_set1_ps(kMidCancel);
        for (; i < end; i += 4) {
            const int32_t write = writePos_ - 4;
            const int32_t read = (write + shift_) & delayMask_;
            if (write < 0 || read > delayMask_ - 3) {
                for (int32_t n = i; n < i + 4; ++n)
                    step(n);
                continue;
            }
            const Frames4 f = framesAt<BandMode, false>(in_, i);
            _mm_storeu_ps(lineA + write, reversed(f.pA));
            _mm_storeu_ps(lineB + write, reversed(f.pB));
            writePos_ = write;
            const __m128 dA = reversed(_mm_loadu_ps(lineA + read));
            const __m128 dB = reversed(_mm_loadu_ps(lineB + read));
            const __m128 k = _mm_mul_ps(midCancel, _mm_add_ps(dA, dB));
            const __m128 sA = _mm_sub_ps(dA, k);
            const __m128 sB = _mm_sub_ps(dB, k);
            _mm_storeu_ps(outA + i, _mm_add_ps(_mm_add_ps(_mm_add_ps(f.pA, _mm_mul_ps(same, sA)),
                                                          _mm_mul_ps(opposite, sB)), f.uA));
            _mm_storeu_ps(outB + i, _mm_add_ps(_mm_add_ps(_mm_add_ps(f.pB, _mm_mul_ps(same, sB)),
                                                          _mm_mul_ps(opposite, sA)), f.uB));
        }
#endif
        for (; i < firstFrame + count; ++i)
            step(i);
    }
}
