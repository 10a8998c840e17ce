#include "dsp/enhance/CK_DSP_Enhancer_Ctrl.h"

#include <algorithm>

#include "dsp/enhance/CK_Enhancer_Kernel.h"

CK_DSP_Enhancer_Ctrl::CK_DSP_Enhancer_Ctrl(CK_ModuleOwner* moduleOwner)
    : CK_ModuleStd(moduleOwner), zeros_(static_cast<size_t>(moduleOwner->cappedBlockSize) + 4, 0.0f)
{
    allocateOutput(0);
    allocateOutput(1);
    resolveInputs();
}

void CK_DSP_Enhancer_Ctrl::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if ((pin == kMainB || pin == kBandB) && source)
        stereo_ = true;
    resolveInputs();
}

void CK_DSP_Enhancer_Ctrl::resolveInputs()
{
    for (int pin = 0; pin <= kAmount; ++pin)
        in_[pin] = inputs[pin] ? inputs[pin] : zeros_.data();
    if (!inputs[kMainB])
        in_[kMainB] = in_[kMainA];
    if (!inputs[kBandB])
        in_[kBandB] = in_[kBandA];
}

void CK_DSP_Enhancer_Ctrl::prepare()
{
    rest();
    announced_ = -1;
    mainChanging_[0] = mainChanging_[1] = 0;
    enable_ = 1;
    mode_ = 0;
    countdown_ = blockSize;
}

void CK_DSP_Enhancer_Ctrl::handleEvent(const CK_Event& e, int32_t)
{
    countdown_ = blockSize;
    switch (e.pin) {
    case kMainA: mainChanging_[0] = e.kind; break;
    case kMainB: mainChanging_[1] = e.kind; break;
    case kMode: mode_ = e.intValue; break;
    case kEnable: enable_ = e.intValue; break;
    default: break;
    }
    if (stereo_)
        select<true>();
    else
        select<false>();
}

template <bool Stereo>
void CK_DSP_Enhancer_Ctrl::select()
{
    if (!enable_) {
        if (mainChanging_[0] || mainChanging_[1]) {
            useRoutine<&CK_DSP_Enhancer_Ctrl::pass<Stereo>>();
        } else {
            announced_ = -1;
            useRoutine<&CK_DSP_Enhancer_Ctrl::silent<Stereo>>();
        }
        return;
    }
    switch (mode_) {
    case 0: useRoutine<&CK_DSP_Enhancer_Ctrl::enhance<0, Stereo>>(); break;
    case 1: useRoutine<&CK_DSP_Enhancer_Ctrl::enhance<1, Stereo>>(); break;
    case 2: useRoutine<&CK_DSP_Enhancer_Ctrl::enhance<2, Stereo>>(); break;
    default: break; // unknown modes keep the current routine
    }
}

void CK_DSP_Enhancer_Ctrl::announce(int32_t state)
{
    if (announced_ == state)
        return;
    announced_ = state;
    sendEvent(clock, 0, state, 0, 0.0f);
    if (stereo_)
        sendEvent(clock, 1, state, 0, 0.0f);
}

template <bool Stereo>
void CK_DSP_Enhancer_Ctrl::silent(int32_t firstFrame, int32_t count)
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
void CK_DSP_Enhancer_Ctrl::pass(int32_t firstFrame, int32_t count)
{
    announce(1);
    std::copy_n(in_[kMainA] + firstFrame, count, outputs[0] + firstFrame);
    if constexpr (Stereo)
        std::copy_n(in_[kMainB] + firstFrame, count, outputs[1] + firstFrame);
}

template <int Mode, bool Stereo>
void CK_DSP_Enhancer_Ctrl::enhance(int32_t firstFrame, int32_t count)
{
    announce(1);
    const ck_enhancer::Inputs in{in_[kMainA], in_[kMainB], in_[kBandA], in_[kBandB], in_[kEnvelope], in_[kAmount]};
    ck_enhancer::run<Mode, Stereo>(in, outputs[0], outputs[1], firstFrame, count);
}
