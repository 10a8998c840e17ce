#include "dsp/spatial/CK_DSP_Spatial.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "dsp/kernels/SpatialBandSumKernel.h"
#include "dsp/kernels/SpatialHeadphoneKernel.h"
#include "dsp/kernels/SpatialSpeakerKernel.h"

using ck_spatial::echoMix;
using ck_spatial::EchoMix;
using ck_spatial::kMidCancel;
using ck_spatial::speakerLR;
using ck_spatial::SpeakerLR;

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
            if (variant_ == CK_KernelVariant::kReference)
                useSum3<CK_KernelVariant::kReference>();
            else
                useSum3<CK_KernelVariant::kSse2>();
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
    if (variant_ == CK_KernelVariant::kReference)
        selectThreeBand<CK_KernelVariant::kReference>();
    else
        selectThreeBand<CK_KernelVariant::kSse2>();
}

template <CK_KernelVariant V>
void CK_DSP_Spatial::selectThreeBand()
{
    if (midSide_)
        selectThreeBandFor<true, V>();
    else
        selectThreeBandFor<false, V>();
}

template <CK_KernelVariant V>
void CK_DSP_Spatial::useSum3()
{
    if (midSide_)
        useRoutine<&CK_DSP_Spatial::sum3<true, V>>();
    else
        useRoutine<&CK_DSP_Spatial::sum3<false, V>>();
}

template <bool MidSide, CK_KernelVariant V>
void CK_DSP_Spatial::selectThreeBandFor()
{
    if (bandMode_ < 0 || bandMode_ > 2)
        return; // unknown band modes keep the current routine
    if (!headphone_)
        clearDelay_ = 1;
    switch (bandMode_) {
    case 0:
        if (headphone_)
            useRoutine<&CK_DSP_Spatial::headphone3<0, MidSide, V>>();
        else
            useRoutine<&CK_DSP_Spatial::speaker3<0, MidSide, V>>();
        break;
    case 1:
        if (headphone_)
            useRoutine<&CK_DSP_Spatial::headphone3<1, MidSide, V>>();
        else
            useRoutine<&CK_DSP_Spatial::speaker3<1, MidSide, V>>();
        break;
    default:
        if (headphone_)
            useRoutine<&CK_DSP_Spatial::headphone3<2, MidSide, V>>();
        else
            useRoutine<&CK_DSP_Spatial::speaker3<2, MidSide, V>>();
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

ck_spatial::Bands CK_DSP_Spatial::bands() const
{
    return {in_[kLowA], in_[kLowB], in_[kLowGain], in_[kMidA], in_[kMidB],
            in_[kMidGain], in_[kHighA], in_[kHighB], in_[kHighGain]};
}

bool CK_DSP_Spatial::useKernelVariant(CK_KernelVariant variant)
{
    if (variant != CK_KernelVariant::kReference && variant != CK_KernelVariant::kSse2)
        return false;
    variant_ = variant;
    return true;
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

template <bool MidSide, CK_KernelVariant V>
void CK_DSP_Spatial::sum3(int32_t firstFrame, int32_t count)
{
    report(count);
    ck_spatial::band_sum::run<V, MidSide>(bands(), outputs[0], outputs[1], firstFrame, count);
}

template <int BandMode, bool MidSide, CK_KernelVariant V>
void CK_DSP_Spatial::speaker3(int32_t firstFrame, int32_t count)
{
    report(count);
    ck_spatial::speaker::run<V, BandMode, MidSide>(bands(), in_[kAmount][firstFrame], outputs[0], outputs[1],
                                                   firstFrame, count);
}

template <int BandMode, bool MidSide, CK_KernelVariant V>
void CK_DSP_Spatial::headphone3(int32_t firstFrame, int32_t count)
{
    reportWithEcho(count);
    clearDelayIfAsked();
    ck_spatial::DelayLines lines{delayA_.data(), delayB_.data(), delayMask_, shift_, writePos_};
    ck_spatial::headphone::run<V, BandMode, MidSide>(bands(), 2.0f * in_[kAmount][firstFrame], lines, outputs[0],
                                                     outputs[1], firstFrame, count);
    writePos_ = lines.writePos;
}
