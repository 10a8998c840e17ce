#include "modules/CK_DSP_GUItoV_Glide.h"

#include <algorithm>

CK_DSP_GUItoV_Glide::CK_DSP_GUItoV_Glide(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
}

void CK_DSP_GUItoV_Glide::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if (pin == kInWidthMode)
        widthMode = -1;
}

void CK_DSP_GUItoV_Glide::outputConnected(int outputPin)
{
    if (outputPin == kOutNonZero)
        output1Wired = -1;
}

void CK_DSP_GUItoV_Glide::prepare()
{
    useRoutine<&CK_DSP_GUItoV_Glide::hold>();
    framesPerMs = static_cast<float>(owner->sampleRateHz) / 1000.0f;
    rampFrames = static_cast<int32_t>(framesPerMs * kDefaultGlideMs);
    holdFrames = static_cast<int32_t>(framesPerMs * kHoldMs);
    value = step = step4 = target = 0.0f;
    lastTarget = -1000000.0f;
    remaining = 0;
    changing = 0;
    restTime = 0;
    countdown = blockSize;
}

void CK_DSP_GUItoV_Glide::handleEvent(const CK_Event& e, int32_t)
{
    countdown = blockSize;
    switch (e.pin) {
    case kInValue:
        input = e.floatValue;
        break;
    case kInGlideTime:
        lastTarget = -1.0e8f;
        rampFrames = static_cast<int32_t>(e.floatValue * 10.0f * framesPerMs);
        break;
    case kInScale:
        scale = e.floatValue * 10.0f;
        break;
    case kInOffset:
        offset = e.floatValue * 10.0f;
        break;
    default:
        return;
    }
    target = widthMode ? 1.0f - (input - 1.0f) / 9.0f : scale * input + offset;
    if (target == lastTarget)
        return;
    lastTarget = target;

    if (output1Wired) {
        const int32_t state = target != 0.0f ? 1 : 0;
        if (state != output1State) {
            output1State = state;
            sendEvent(clock, kOutNonZero, 0, state, static_cast<float>(state));
        }
    }

    if (owner->graphRebuilt || owner->programChanged) {
        // Right after a build or a program change the value jumps: nothing to glide from.
        sendEvent(clock, 0, 0, static_cast<int32_t>(target), target);
        changing = 0;
        restTime = clock + static_cast<uint32_t>(blockSize);
        value = target;
        useRoutine<&CK_DSP_GUItoV_Glide::hold>();
    } else if (rampFrames > 0) {
        remaining = rampFrames;
        step = static_cast<float>((static_cast<double>(target) - value) / rampFrames);
        step4 = 4.0f * step;
        if (step == 0.0f)
            return;
        if (changing != 1) {
            changing = 1;
            sendEvent(clock, 0, 1, static_cast<int32_t>(value), value);
        }
        restTime = clock + static_cast<uint32_t>(holdFrames + remaining);
        if (step > 0.0f)
            useRoutine<&CK_DSP_GUItoV_Glide::rampUp>();
        else
            useRoutine<&CK_DSP_GUItoV_Glide::rampDown>();
    } else {
        if (changing != 1) {
            changing = 1;
            sendEvent(clock, 0, 1, static_cast<int32_t>(target), target);
        }
        restTime = clock + static_cast<uint32_t>(holdFrames);
        value = target;
        useRoutine<&CK_DSP_GUItoV_Glide::hold>();
    }
}

// Frame i of the call receives value + (i + 1) x step, never past the target; the ramp's last frame
// and every frame after it hold the target exactly.
void CK_DSP_GUItoV_Glide::rampUp(int32_t firstFrame, int32_t count)
{
    float* out = outputs[0] + firstFrame;
    const int32_t ramped = std::min(count, remaining - 1);
    for (int32_t i = 0; i < ramped; ++i)
        out[i] = std::min(value + static_cast<float>(i + 1) * step, target);
    finishRamp(out, ramped, count);
}

void CK_DSP_GUItoV_Glide::rampDown(int32_t firstFrame, int32_t count)
{
    float* out = outputs[0] + firstFrame;
    const int32_t ramped = std::min(count, remaining - 1);
    for (int32_t i = 0; i < ramped; ++i)
        out[i] = std::max(value + static_cast<float>(i + 1) * step, target);
    finishRamp(out, ramped, count);
}

void CK_DSP_GUItoV_Glide::finishRamp(float* out, int32_t ramped, int32_t count)
{
    std::fill(out + std::max(ramped, 0), out + count, target);
    value += static_cast<float>(count) * step;
    remaining -= count;
    if (remaining <= 0) {
        value = target;
        useRoutine<&CK_DSP_GUItoV_Glide::hold>();
    }
}

void CK_DSP_GUItoV_Glide::hold(int32_t firstFrame, int32_t count)
{
    countdown -= count;
    if (countdown <= 0)
        useRoutine<&CK_DSP_GUItoV_Glide::settleCheck>();
    std::fill(outputs[0] + firstFrame, outputs[0] + firstFrame + count, target);
}

// Every buffer position already holds the target (hold ran for a whole block); wait for the hold
// time to pass, announce the settled value and rest.
void CK_DSP_GUItoV_Glide::settleCheck(int32_t, int32_t)
{
    if (!frameBefore(restTime, clock))
        return;
    if (changing) {
        changing = 0;
        sendEvent(clock, 0, 0, 0, 0.0f);
    }
    rest();
}
