#include "dsp/enhance/CK_EnhancerBase.h"

CK_EnhancerBase::CK_EnhancerBase(CK_ModuleOwner* moduleOwner, int lastInput)
    : CK_ModuleStd(moduleOwner),
      lastInput_(std::min(lastInput, kMaxInputs - 1)),
      zeros_(static_cast<size_t>(moduleOwner->cappedBlockSize) + 4, 0.0f)
{
    allocateOutput(0);
    allocateOutput(1);
    resolveInputs();
}

void CK_EnhancerBase::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if ((pin == kMainB || pin == kBandB) && source)
        stereo_ = true;
    resolveInputs();
}

void CK_EnhancerBase::resolveInputs()
{
    for (int pin = 0; pin <= lastInput_; ++pin)
        in_[pin] = inputs[pin] ? inputs[pin] : zeros_.data();
    if (!inputs[kMainB])
        in_[kMainB] = in_[kMainA];
    if (!inputs[kBandB])
        in_[kBandB] = in_[kBandA];
}

void CK_EnhancerBase::startQuiet()
{
    rest();
    announced_ = -1;
    mainChanging_[0] = mainChanging_[1] = 0;
    countdown_ = blockSize;
}

void CK_EnhancerBase::announce(int32_t state)
{
    if (announced_ == state)
        return;
    announced_ = state;
    sendEvent(clock, 0, state, 0, 0.0f);
    if (stereo_)
        sendEvent(clock, 1, state, 0, 0.0f);
}
