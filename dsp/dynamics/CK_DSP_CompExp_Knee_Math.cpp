#include "dsp/dynamics/CK_DSP_CompExp_Knee_Math.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float kMinRatio = 0.1f;

} // namespace

CK_DSP_CompExp_Knee_Math::CK_DSP_CompExp_Knee_Math(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
}

void CK_DSP_CompExp_Knee_Math::prepare()
{
    inputChanging_ = 1;
    idleCountdown_ = blockSize;
    announced_ = -1;
    threshold_ = -0.003f;
    bowed_ = false;
    knee_ = 1.0f;
    bow_ = 3.0f;
    setRatio(800.0f);
    active_ = 1;
    selectRoutine();
}

void CK_DSP_CompExp_Knee_Math::handleEvent(const CK_Event& event, int32_t)
{
    idleCountdown_ = blockSize;
    switch (event.pin) {
    case kInLevel:
        inputChanging_ = event.kind;
        break;
    case kInThreshold:
        // Never exactly 0, so that the level / threshold quotient stays finite.
        threshold_ = event.floatValue - 0.0001f;
        break;
    case kInKnee:
        setKnee(event.floatValue);
        selectRoutine();
        break;
    case kInRatio:
        setRatio(event.floatValue * 10.0f);
        break;
    case kInActive:
        active_ = event.intValue;
        if (!active_)
            announced_ = -1;
        selectRoutine();
        break;
    default:
        break;
    }
    // A static input: announce the output as static again so that readers take the new value.
    if (inputChanging_ == 0)
        announced_ = -1;
}

void CK_DSP_CompExp_Knee_Math::setKnee(float volts)
{
    const float a = volts * 0.1f;
    if (a <= 0.5f) {
        bowed_ = false;
        knee_ = 2.0f * a;
    } else {
        bowed_ = true;
        knee_ = 2.0f * (a - 0.5f);
        bow_ = 12.0f * knee_ * knee_ + 3.0f;
    }
}

void CK_DSP_CompExp_Knee_Math::setRatio(float ratio)
{
    ratio_ = ratio;
    // Between the threshold and full scale the divisor always lies between 1 and R. Above full
    // scale the knee formulas run on past that range and could reach 0 (an infinite gain);
    // holding the divisor at the smaller of 1 and R there keeps the gain finite. The floor never
    // goes below the smallest ratio of the parameter range.
    minDivisor_ = std::max(std::min(ratio, 1.0f), kMinRatio);
}

void CK_DSP_CompExp_Knee_Math::selectRoutine()
{
    if (!active_ || !inputs[0])
        useRoutine<&CK_DSP_CompExp_Knee_Math::silent>();
    else if (bowed_)
        useRoutine<&CK_DSP_CompExp_Knee_Math::compute<true>>();
    else
        useRoutine<&CK_DSP_CompExp_Knee_Math::compute<false>>();
}

template <bool Bowed>
void CK_DSP_CompExp_Knee_Math::compute(int32_t firstFrame, int32_t count)
{
    if (inputChanging_ != announced_) {
        sendEvent(clock, 0, inputChanging_, 0, 0.0f);
        announced_ = inputChanging_;
    }
    if (announced_ == 0) {
        idleCountdown_ -= count;
        if (idleCountdown_ < 0)
            flags |= kFlagResting;
    }
    ck_knee_gain::sse2<Bowed>(inputs[0] + firstFrame, outputs[0] + firstFrame, count,
                              ck_knee_gain::Law{threshold_, knee_, bow_, ratio_, minDivisor_});
}

void CK_DSP_CompExp_Knee_Math::silent(int32_t firstFrame, int32_t count)
{
    if (announced_ != 0) {
        sendEvent(clock, 0, 0, 0, 0.0f);
        announced_ = 0;
    }
    idleCountdown_ -= count;
    if (idleCountdown_ < 0)
        rest();
    std::memset(outputs[0] + firstFrame, 0, sizeof(float) * static_cast<size_t>(count));
}
