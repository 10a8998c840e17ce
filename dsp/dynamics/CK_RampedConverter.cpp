#include "dsp/dynamics/CK_RampedConverter.h"

#include <algorithm>

CK_RampedConverter::CK_RampedConverter(CK_ModuleOwner* moduleOwner, int32_t rampMs)
    : CK_ModuleStd(moduleOwner), rampMs_(rampMs)
{
    allocateOutput(0);
}

void CK_RampedConverter::prepare()
{
    useRoutine<&CK_RampedConverter::constant>();
    current = target = step = 0.0f;
    lastTarget = -1000000.0f;
    changingAnnounced = 0;
    remaining = 0;
    const int64_t rate = owner->sampleRateHz;
    rampFrames = std::max<int32_t>(1, static_cast<int32_t>(rate * rampMs_ / 1000));
    settleFrames = static_cast<int32_t>(rate * kSettleMs / 1000);
    blockCountdown = blockSize;
    settleDeadline = clock;
}

void CK_RampedConverter::handleEvent(const CK_Event& e, int32_t)
{
    blockCountdown = blockSize;
    if (e.pin == kInValue) {
        const float value = convert(e.floatValue);
        if (value == lastTarget)
            return;
        lastTarget = target = value;
    } else if (e.pin != kInRestart) {
        return;
    }
    moveToTarget();
}

void CK_RampedConverter::moveToTarget()
{
    if (owner->programChanged || owner->graphRebuilt) {
        // A new program or a new graph: nothing to glide from. The static announcement also ends
        // any earlier "changing", so a later ramp announces itself again.
        sendEvent(clock, 0, 0, static_cast<int32_t>(target), target);
        changingAnnounced = 0;
        settleDeadline = clock + static_cast<uint32_t>(blockSize);
        current = target;
        remaining = 0;
        useRoutine<&CK_RampedConverter::constant>();
        return;
    }
    remaining = rampFrames;
    step = static_cast<float>((static_cast<double>(target) - current) / rampFrames);
    if (step == 0.0f)
        return;
    if (!changingAnnounced) {
        changingAnnounced = 1;
        sendEvent(clock, 0, 1, static_cast<int32_t>(current), current);
    }
    settleDeadline = clock + static_cast<uint32_t>(rampFrames + settleFrames);
    if (step > 0.0f)
        useRoutine<&CK_RampedConverter::rampUp>();
    else
        useRoutine<&CK_RampedConverter::rampDown>();
}

// Frame i of the run receives current + (i + 1) x step, never past the target.
void CK_RampedConverter::rampUp(int32_t firstFrame, int32_t count)
{
    float* out = outputs[0] + firstFrame;
    for (int32_t i = 0; i < count; ++i)
        out[i] = std::min(current + static_cast<float>(i + 1) * step, target);
    finishRamp(count);
}

void CK_RampedConverter::rampDown(int32_t firstFrame, int32_t count)
{
    float* out = outputs[0] + firstFrame;
    for (int32_t i = 0; i < count; ++i)
        out[i] = std::max(current + static_cast<float>(i + 1) * step, target);
    finishRamp(count);
}

void CK_RampedConverter::finishRamp(int32_t count)
{
    current += static_cast<float>(count) * step;
    remaining -= count;
    if (remaining < 1) {
        current = target;
        useRoutine<&CK_RampedConverter::constant>();
    }
}

void CK_RampedConverter::constant(int32_t firstFrame, int32_t count)
{
    blockCountdown -= count;
    if (blockCountdown <= 0)
        useRoutine<&CK_RampedConverter::settle>();
    std::fill(outputs[0] + firstFrame, outputs[0] + firstFrame + count, target);
}

// The constant process has filled a whole block, so every buffer position holds the target.
void CK_RampedConverter::settle(int32_t, int32_t)
{
    if (!frameBefore(settleDeadline, clock))
        return;
    if (changingAnnounced) {
        changingAnnounced = 0;
        sendEvent(clock, 0, 0, static_cast<int32_t>(target), target);
    }
    rest();
}
