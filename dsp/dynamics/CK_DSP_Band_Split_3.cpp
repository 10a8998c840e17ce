#include "dsp/dynamics/CK_DSP_Band_Split_3.h"

CK_DSP_Band_Split_3::CK_DSP_Band_Split_3(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    for (int pin = 0; pin < 6; ++pin)
        allocateOutput(pin);
}

void CK_DSP_Band_Split_3::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if (pin == kInB && source)
        stereoB_ = true;
}

void CK_DSP_Band_Split_3::prepare()
{
    lowHz_ = 200.0f;
    highHz_ = 3000.0f;
    sampleRate_ = static_cast<float>(owner->sampleRateHz);
    dirty_ = true;
    lowGliding_ = highGliding_ = false;
    clearState();
    selectRoutine();
    for (int pin = 0; pin < 6; ++pin)
        sendEvent(clock, pin, 1, 0, 0.0f);
}

void CK_DSP_Band_Split_3::clearState()
{
    bands_.clear();
}

void CK_DSP_Band_Split_3::handleEvent(const CK_Event& event, int32_t)
{
    if (event.pin == kInLowFrequency)
        lowGliding_ = event.kind != 0;
    else if (event.pin == kInHighFrequency)
        highGliding_ = event.kind != 0;
    else
        return;
    dirty_ = true;
    selectRoutine();
}

void CK_DSP_Band_Split_3::selectRoutine()
{
    if (!inputs[0]) {
        rest();
        return;
    }
    const bool gliding = lowGliding_ || highGliding_;
    if (stereoB_) {
        if (!dirty_)
            useRoutine<&CK_DSP_Band_Split_3::steady<true>>();
        else if (gliding)
            useRoutine<&CK_DSP_Band_Split_3::glide<true>>();
        else
            useRoutine<&CK_DSP_Band_Split_3::redesignOnce<true>>();
    } else {
        if (!dirty_)
            useRoutine<&CK_DSP_Band_Split_3::steady<false>>();
        else if (gliding)
            useRoutine<&CK_DSP_Band_Split_3::glide<false>>();
        else
            useRoutine<&CK_DSP_Band_Split_3::redesignOnce<false>>();
    }
}

double CK_DSP_Band_Split_3::limited(double hz) const
{
    const double top = kMaxFrequencyRatio * sampleRate_;
    if (!(hz >= kMinFrequencyHz)) // also catches NaN
        return kMinFrequencyHz;
    return hz > top ? top : hz;
}

void CK_DSP_Band_Split_3::designAt(int32_t frame)
{
    if (inputs[2])
        lowHz_ = inputs[2][frame] * 10.0f;
    if (inputs[3])
        highHz_ = inputs[3][frame] * 10.0f;
    CrossoverDesign low, high;
    low.design(limited(lowHz_), sampleRate_);
    high.design(limited(highHz_), sampleRate_);
    bands_.setDesign(low, high);
}

template <bool StereoB>
void CK_DSP_Band_Split_3::steady(int32_t first, int32_t count)
{
    float* const bandsA[3] = {outputs[0] + first, outputs[1] + first, outputs[2] + first};
    if constexpr (StereoB) {
        float* const bandsB[3] = {outputs[3] + first, outputs[4] + first, outputs[5] + first};
        bands_.splitStereo(inputs[0] + first, inputs[1] + first, bandsA, bandsB, count);
    } else {
        bands_.splitMono(inputs[0] + first, bandsA[0], bandsA[1], bandsA[2], count);
    }
}

template <bool StereoB>
void CK_DSP_Band_Split_3::redesignOnce(int32_t firstFrame, int32_t count)
{
    designAt(firstFrame);
    dirty_ = false;
    useRoutine<&CK_DSP_Band_Split_3::steady<StereoB>>();
    steady<StereoB>(firstFrame, count);
}

template <bool StereoB>
void CK_DSP_Band_Split_3::glide(int32_t firstFrame, int32_t count)
{
    for (int32_t i = firstFrame; i < firstFrame + count; ++i) {
        designAt(i);
        steady<StereoB>(i, 1);
    }
}
