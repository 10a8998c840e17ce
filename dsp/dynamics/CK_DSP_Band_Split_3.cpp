#include "dsp/dynamics/CK_DSP_Band_Split_3.h"

CK_DSP_Band_Split_3::CK_DSP_Band_Split_3(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    for (int pin = 0; pin < 6; ++pin)
        allocateOutput(pin);
}

void CK_DSP_Band_Split_3::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if (pin == 1 && source)
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
    for (CrossoverSection4& s : a_)
        s.clear();
    if (stereoB_)
        for (CrossoverSection4& s : b_)
            s.clear();
}

void CK_DSP_Band_Split_3::handleEvent(const CK_Event& event, int32_t)
{
    if (event.pin == 2)
        lowGliding_ = event.kind != 0;
    else if (event.pin == 3)
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
    const double low = limited(lowHz_);
    const double high = limited(highHz_);
    a_[kLow].design(low, sampleRate_);
    a_[kHigh].design(high, sampleRate_);
    a_[kAllpass].copyDesign(a_[kHigh]);
    if (stereoB_) {
        b_[kLow].copyDesign(a_[kLow]);
        b_[kHigh].copyDesign(a_[kHigh]);
        b_[kAllpass].copyDesign(a_[kHigh]);
    }
}

void CK_DSP_Band_Split_3::runChannel(CrossoverSection4* s, const float* in, int outPin, int32_t first,
                                     int32_t count)
{
    float* low = outputs[outPin] + first;
    float* mid = outputs[outPin + 1] + first;
    float* high = outputs[outPin + 2] + first;
    s[kLow].split(in + first, low, high, count);
    s[kHigh].split(high, mid, high, count);
    // The low band takes the phase of the high crossover, like the other two bands.
    s[kAllpass].allpass(low, low, count);
}

template <bool StereoB>
void CK_DSP_Band_Split_3::steady(int32_t firstFrame, int32_t count)
{
    runChannel(a_, inputs[0], 0, firstFrame, count);
    if constexpr (StereoB)
        runChannel(b_, inputs[1], 3, firstFrame, count);
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
        runChannel(a_, inputs[0], 0, i, 1);
        if constexpr (StereoB)
            runChannel(b_, inputs[1], 3, i, 1);
    }
}
