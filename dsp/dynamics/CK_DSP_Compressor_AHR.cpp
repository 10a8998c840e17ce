#include "dsp/dynamics/CK_DSP_Compressor_AHR.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr float kMinTime = 0.001f; // volts

// A coefficient that moves the envelope all but e^-6 of the way to its target in the set time.
float coefficientFor(float volts, float fs)
{
    return static_cast<float>(std::exp(-600.0 / (static_cast<double>(std::max(volts, kMinTime)) * fs)));
}

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

CK_DSP_Compressor_AHR::CK_DSP_Compressor_AHR(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
}

int32_t CK_DSP_Compressor_AHR::samplesFor(float volts) const
{
    // int(u x time + 1), kept between 1 and a billion samples whatever the time.
    const float samples = u_ * volts + 1.0f;
    if (!(samples >= 1.0f))
        return 1;
    return samples < 1.0e9f ? static_cast<int32_t>(samples) : 1000000000;
}

void CK_DSP_Compressor_AHR::prepare()
{
    fs_ = static_cast<float>(owner->sampleRateHz);
    u_ = fs_ / 100.0f;
    attack_ = 0.0375f;
    attackDirty_ = true;
    lastRelease_ = -1000.0f;
    releaseCoef_ = coefficientFor(0.0f, fs_);
    envelope_ = target_ = 1.0f;
    holdCount_ = 1;
    holdLength_ = samplesFor(0.02f);
    enable_ = 1;
    disable_ = 0;
    wanted_ = announced_ = -1;
    idleCountdown_ = blockSize;
    useRoutine<&CK_DSP_Compressor_AHR::unity>();
}

void CK_DSP_Compressor_AHR::handleEvent(const CK_Event& event, int32_t)
{
    idleCountdown_ = blockSize;
    switch (event.pin) {
    case 1:
    case 4:
        return; // read as signals
    case 2:
        attack_ = 0.9375f * event.floatValue;
        attackDirty_ = true;
        break;
    case 3:
        holdLength_ = samplesFor(event.floatValue);
        break;
    case 9:
    case 10:
        (event.pin == 9 ? enable_ : disable_) = event.intValue;
        if (running()) {
            wanted_ = 1;
            attackDirty_ = true;
        } else {
            useRoutine<&CK_DSP_Compressor_AHR::unity>();
            wanted_ = 0;
        }
        if (announced_ == 0)
            announced_ = -1;
        break;
    default:
        break;
    }
    if (running() && inputs[0] && inputs[1]) {
        wanted_ = 1;
        useRoutine<&CK_DSP_Compressor_AHR::envelope>();
    }
}

void CK_DSP_Compressor_AHR::updateCoefficients(int32_t firstFrame)
{
    if (attackDirty_) {
        attackDirty_ = false;
        attackCoef_ = coefficientFor(attack_, fs_);
    }
    // The release is sampled once per block, at its first frame.
    if (firstFrame == 0 && inputs[4] && !sameBits(inputs[4][0], lastRelease_)) {
        lastRelease_ = inputs[4][0];
        releaseCoef_ = coefficientFor(lastRelease_, fs_);
    }
}

void CK_DSP_Compressor_AHR::envelope(int32_t firstFrame, int32_t count)
{
    if (wanted_ != announced_) {
        sendEvent(clock, 0, wanted_, 0, 0.0f);
        announced_ = wanted_;
    }
    updateCoefficients(firstFrame);

    const float* gain = inputs[0] + firstFrame;
    const float* makeUp = inputs[1] + firstFrame;
    float* out = outputs[0] + firstFrame;
    const float attackCoef = attackCoef_, releaseCoef = releaseCoef_;
    const int32_t holdLength = holdLength_;
    float target = target_, env = envelope_;
    int32_t holdCount = holdCount_;

    for (int32_t i = 0; i < count; ++i) {
        const float g = gain[i];
        if (g <= 1.0f) {
            // The deepest gain of the hold window is held for the hold length, then the target
            // returns to the current gain.
            if (g <= target) {
                target = g;
                holdCount = holdLength;
            }
            float d = env - target;
            d *= d > 0.0f ? attackCoef : releaseCoef;
            env = target + d;
            out[i] = makeUp[i] * env;
            if (holdCount > 0 && --holdCount == 0)
                target = 1.0f;
        } else {
            // A gain above unity (ratio below 1) is followed without hold.
            float d = env - g;
            d *= d > 0.0f ? attackCoef : releaseCoef;
            env = g + d;
            out[i] = makeUp[i] * env;
            holdCount = 0;
            target = 1.0f;
        }
    }

    target_ = target;
    envelope_ = env;
    holdCount_ = holdCount;
}

void CK_DSP_Compressor_AHR::unity(int32_t firstFrame, int32_t count)
{
    if (announced_ != 0) {
        sendEvent(clock, 0, 0, 0, 0.0f);
        announced_ = 0;
    }
    idleCountdown_ -= count;
    if (idleCountdown_ < 0)
        rest();
    std::fill(outputs[0] + firstFrame, outputs[0] + firstFrame + count, 1.0f);
}
