#include "dsp/enhance/CK_DSP_Synthetic_Harmonics.h"

#include <algorithm>

#include "dsp/enhance/CK_Harmonics_Kernel.h"


CK_DSP_Synthetic_Harmonics::CK_DSP_Synthetic_Harmonics(CK_ModuleOwner* moduleOwner)
    : CK_ModuleStd(moduleOwner), zeros_(static_cast<size_t>(moduleOwner->cappedBlockSize) + 4, 0.0f)
{
    for (std::vector<float>& added : added_)
        added.assign(zeros_.size(), 0.0f);
    allocateOutput(0);
    allocateOutput(1);
    resolveInputs();
}

void CK_DSP_Synthetic_Harmonics::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if (pin == kMainA)
        mainConnected_ = source != nullptr;
    if ((pin == kMainB || pin == kBandB) && source)
        stereo_ = true;
    resolveInputs();
}

void CK_DSP_Synthetic_Harmonics::resolveInputs()
{
    for (int pin = 0; pin <= kEnvelope; ++pin)
        in_[pin] = inputs[pin] ? inputs[pin] : zeros_.data();
    if (!inputs[kMainB])
        in_[kMainB] = in_[kMainA];
    if (!inputs[kBandB])
        in_[kBandB] = in_[kBandA];
}

void CK_DSP_Synthetic_Harmonics::prepare()
{
    rest();
    announced_ = -1;
    enable_ = 1;
    type_ = kOff;
    dynamic_ = 0;
    mainChanging_[0] = mainChanging_[1] = 0;
    countdown_ = blockSize;
    for (CK_DcBlocker& blocker : dcBlockers_)
        blocker.setSampleRate(owner->sampleRateHz);
    clearState();
}

void CK_DSP_Synthetic_Harmonics::clearState()
{
    for (CK_DcBlocker& blocker : dcBlockers_)
        blocker.reset();
}

void CK_DSP_Synthetic_Harmonics::handleEvent(const CK_Event& e, int32_t)
{
    countdown_ = blockSize;
    switch (e.pin) {
    case kMainA: mainChanging_[0] = e.kind; break;
    case kMainB: mainChanging_[1] = e.kind; break;
    case kType: type_ = e.intValue; break;
    case kDynamic: dynamic_ = e.intValue; break;
    case kEnable: enable_ = e.intValue; break;
    default: break;
    }
    select();
}

void CK_DSP_Synthetic_Harmonics::select()
{
    if (enable_ && type_ != kOff) {
        if (type_ == kSoft)
            selectShape<kSoft>();
        else if (type_ == kHard)
            selectShape<kHard>();
        return; // other types keep the current routine
    }
    announced_ = -1;
    const bool changing = mainChanging_[0] || mainChanging_[1];
    if (stereo_) {
        if (changing)
            useRoutine<&CK_DSP_Synthetic_Harmonics::pass<true>>();
        else
            useRoutine<&CK_DSP_Synthetic_Harmonics::silent<true>>();
    } else {
        if (changing)
            useRoutine<&CK_DSP_Synthetic_Harmonics::pass<false>>();
        else
            useRoutine<&CK_DSP_Synthetic_Harmonics::silent<false>>();
    }
}

template <int ShapeType>
void CK_DSP_Synthetic_Harmonics::selectShape()
{
    if (dynamic_)
        selectShapeWith<ShapeType, true>();
    else
        selectShapeWith<ShapeType, false>();
}

template <int ShapeType, bool Dynamic>
void CK_DSP_Synthetic_Harmonics::selectShapeWith()
{
    if (mainConnected_)
        selectShapeFor<ShapeType, Dynamic, true>();
    else
        selectShapeFor<ShapeType, Dynamic, false>();
}

template <int ShapeType, bool Dynamic, bool WithMain>
void CK_DSP_Synthetic_Harmonics::selectShapeFor()
{
    if (stereo_)
        useRoutine<&CK_DSP_Synthetic_Harmonics::harmonics<ShapeType, Dynamic, WithMain, true>>();
    else
        useRoutine<&CK_DSP_Synthetic_Harmonics::harmonics<ShapeType, Dynamic, WithMain, false>>();
}

void CK_DSP_Synthetic_Harmonics::announce(int32_t state)
{
    if (announced_ == state)
        return;
    announced_ = state;
    sendEvent(clock, 0, state, 0, 0.0f);
    if (stereo_)
        sendEvent(clock, 1, state, 0, 0.0f);
}

template <bool Stereo>
void CK_DSP_Synthetic_Harmonics::silent(int32_t firstFrame, int32_t count)
{
    announce(0);
    countdown_ -= count;
    if (countdown_ < 0)
        rest();
    std::fill_n(outputs[0] + firstFrame, count, 0.0f);
    if constexpr (Stereo)
        std::fill_n(outputs[1] + firstFrame, count, 0.0f);
}

template <bool Stereo>
void CK_DSP_Synthetic_Harmonics::pass(int32_t firstFrame, int32_t count)
{
    announce(1);
    std::copy_n(in_[kMainA] + firstFrame, count, outputs[0] + firstFrame);
    if constexpr (Stereo)
        std::copy_n(in_[kMainB] + firstFrame, count, outputs[1] + firstFrame);
}

template <int ShapeType, bool Dynamic, bool WithMain, bool Stereo>
void CK_DSP_Synthetic_Harmonics::harmonics(int32_t firstFrame, int32_t count)
{
    announce(1);
    const ck_harmonics::Inputs in{in_[kMainA], in_[kMainB], in_[kBandA], in_[kBandB], in_[kAmount], in_[kEnvelope]};
    float* addedA = WithMain ? added_[0].data() : outputs[0];
    float* addedB = WithMain ? added_[1].data() : outputs[1];
    ck_harmonics::run<ShapeType, Dynamic, false, Stereo>(in, addedA, addedB, firstFrame, count);
    dcBlockers_[0].process(addedA + firstFrame, count);
    if constexpr (Stereo)
        dcBlockers_[1].process(addedB + firstFrame, count);
    if constexpr (WithMain) {
        for (int32_t i = firstFrame; i < firstFrame + count; ++i)
            outputs[0][i] = in_[kMainA][i] + addedA[i];
        if constexpr (Stereo)
            for (int32_t i = firstFrame; i < firstFrame + count; ++i)
                outputs[1][i] = in_[kMainB][i] + addedB[i];
    }
}
