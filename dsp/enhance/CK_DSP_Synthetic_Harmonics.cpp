#include "dsp/enhance/CK_DSP_Synthetic_Harmonics.h"

CK_DSP_Synthetic_Harmonics::CK_DSP_Synthetic_Harmonics(CK_ModuleOwner* moduleOwner)
    : CK_EnhancerBase(moduleOwner, kEnvelope)
{
    for (std::vector<float>& added : added_)
        added.assign(static_cast<size_t>(moduleOwner->cappedBlockSize) + 4, 0.0f);
}

void CK_DSP_Synthetic_Harmonics::setInput(int pin, const float* source)
{
    CK_EnhancerBase::setInput(pin, source);
    if (pin == kMainA)
        mainConnected_ = source != nullptr;
}

void CK_DSP_Synthetic_Harmonics::prepare()
{
    startQuiet();
    enable_ = 1;
    type_ = kOff;
    dynamic_ = 0;
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

template <int ShapeType, bool Dynamic, bool WithMain, bool Stereo>
void CK_DSP_Synthetic_Harmonics::harmonics(int32_t firstFrame, int32_t count)
{
    announce(1);
    const ck_harmonics::Inputs in{in_[kMainA], in_[kMainB], in_[kBandA], in_[kBandB], in_[kAmount], in_[kEnvelope]};
    float* addedA = WithMain ? added_[0].data() : outputs[0];
    float* addedB = WithMain ? added_[1].data() : outputs[1];
    ck_harmonics::sse2<ShapeType, Dynamic, false, Stereo>(in, addedA, addedB, firstFrame, count);
    const int32_t f = firstFrame;
    if constexpr (WithMain && Stereo)
        CK_DcBlocker::addPairTo(dcBlockers_[0], addedA + f, in_[kMainA] + f, outputs[0] + f, dcBlockers_[1],
                                addedB + f, in_[kMainB] + f, outputs[1] + f, count);
    else if constexpr (WithMain)
        dcBlockers_[0].addTo(addedA + f, in_[kMainA] + f, outputs[0] + f, count);
    else if constexpr (Stereo)
        CK_DcBlocker::processPair(dcBlockers_[0], addedA + f, dcBlockers_[1], addedB + f, count);
    else
        dcBlockers_[0].process(addedA + f, count);
}
