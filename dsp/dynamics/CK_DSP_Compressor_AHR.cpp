#include "dsp/dynamics/CK_DSP_Compressor_AHR.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "modules/CK_ModuleGroup.h"

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
    case kInMakeup:
    case kInRelease:
        return; // read as signals
    case kInAttack:
        attack_ = 0.9375f * event.floatValue;
        attackDirty_ = true;
        break;
    case kInHold:
        holdLength_ = samplesFor(event.floatValue);
        break;
    case kInEnable:
    case kInDisable:
        (event.pin == kInEnable ? enable_ : disable_) = event.intValue;
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
    if (running() && inputs[kInGain] && inputs[kInMakeup]) {
        wanted_ = 1;
        useRoutine<&CK_DSP_Compressor_AHR::envelope, &CK_DSP_Compressor_AHR::envelopeTogether>();
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

CK_DSP_Compressor_AHR::Lane CK_DSP_Compressor_AHR::begin(int32_t firstFrame)
{
    if (wanted_ != announced_) {
        sendEvent(clock, 0, wanted_, 0, 0.0f);
        announced_ = wanted_;
    }
    updateCoefficients(firstFrame);
    return Lane{target_, envelope_, holdCount_, attackCoef_, releaseCoef_, holdLength_};
}

void CK_DSP_Compressor_AHR::finish(const Lane& s)
{
    target_ = s.target;
    envelope_ = s.env;
    holdCount_ = s.holdCount;
}

inline float CK_DSP_Compressor_AHR::step(Lane& s, float g)
{
    float env = s.env;
    if (g <= 1.0f) {
        // The deepest gain of the hold window is held for the hold length, then the target
        // returns to the current gain.
        if (g <= s.target) {
            s.target = g;
            s.holdCount = s.holdLength;
        }
        float d = env - s.target;
        d *= d > 0.0f ? s.attackCoef : s.releaseCoef;
        env = s.target + d;
        if (s.holdCount > 0 && --s.holdCount == 0)
            s.target = 1.0f;
    } else {
        // A gain above unity (ratio below 1) is followed without hold.
        float d = env - g;
        d *= d > 0.0f ? s.attackCoef : s.releaseCoef;
        env = g + d;
        s.holdCount = 0;
        s.target = 1.0f;
    }
    s.env = env;
    return env;
}

template <int N>
void CK_DSP_Compressor_AHR::envelopeSideBySide(CK_ModuleBase* const* modules, int32_t firstFrame, int32_t count)
{
    CK_DSP_Compressor_AHR* e[N];
    Lane s[N];
    const float* gain[N];
    const float* makeUp[N];
    float* out[N];
    for (int k = 0; k < N; ++k) {
        e[k] = static_cast<CK_DSP_Compressor_AHR*>(modules[k]);
        s[k] = e[k]->begin(firstFrame);
        gain[k] = e[k]->inputs[0] + firstFrame;
        makeUp[k] = e[k]->inputs[1] + firstFrame;
        out[k] = e[k]->outputs[0] + firstFrame;
    }
    for (int32_t i = 0; i < count; ++i)
        for (int k = 0; k < N; ++k)
            out[k][i] = makeUp[k][i] * step(s[k], gain[k][i]);
    for (int k = 0; k < N; ++k)
        e[k]->finish(s[k]);
}

void CK_DSP_Compressor_AHR::envelope(int32_t firstFrame, int32_t count)
{
    CK_ModuleBase* self = this;
    envelopeSideBySide<1>(&self, firstFrame, count);
}

void CK_DSP_Compressor_AHR::envelopeTogether(CK_ModuleBase* const* modules, int moduleCount, int32_t firstFrame,
                                             int32_t count)
{
    ck_inThreesAndTwos(modules, moduleCount, [&](auto size, CK_ModuleBase* const* batch) {
        envelopeSideBySide<decltype(size)::value>(batch, firstFrame, count);
    });
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
