#include "dsp/dynamics/CK_DSP_ST_Level.h"

#include <algorithm>
#include <cstring>

CK_DSP_ST_Level::CK_DSP_ST_Level(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
    allocateOutput(1);
}

void CK_DSP_ST_Level::prepare()
{
    rest(); // nothing to do until the first event
    state.reset();
    left = right = level = 0.0f;
    levelChanging = 0;
    square = 0;
}

void CK_DSP_ST_Level::handleEvent(const CK_Event& e, int32_t firstFrame)
{
    state.idleCountdown = blockSize;
    const bool changing = e.kind != 0;
    switch (e.pin) {
    case kInLeft:
    case kInRight: {
        const float value = changing ? 1.0f : signalOrSilence(inputs[e.pin])[firstFrame];
        (e.pin == kInLeft ? left : right) = value;
        break;
    }
    case kInLevel:
        levelChanging = changing ? 1 : 0;
        level = changing ? kChangingLevel : signalOrSilence(inputs[kInLevel])[firstFrame];
        break;
    case kInSquare:
        square = e.intValue;
        break;
    default:
        break;
    }

    if (level * left == 0.0f && level * right == 0.0f) {
        state.want(0);
        useRoutine<&CK_DSP_ST_Level::silent>();
        return;
    }
    state.want(1);
    if (level == 1.0f)
        useRoutine<&CK_DSP_ST_Level::copy>();
    else if (square)
        useRoutine<&CK_DSP_ST_Level::gainSquared>();
    else
        useRoutine<&CK_DSP_ST_Level::gain>();
}

void CK_DSP_ST_Level::copy(int32_t firstFrame, int32_t count)
{
    state.announce(*this, state.wanted, 2);
    const auto bytes = sizeof(float) * static_cast<size_t>(count);
    std::memcpy(outputs[0] + firstFrame, signalOrSilence(inputs[0]) + firstFrame, bytes);
    std::memcpy(outputs[1] + firstFrame, signalOrSilence(inputs[1]) + firstFrame, bytes);
}

void CK_DSP_ST_Level::gain(int32_t firstFrame, int32_t count)
{
    state.announce(*this, state.wanted, 2);
    const float* a = signalOrSilence(inputs[0]) + firstFrame;
    const float* b = signalOrSilence(inputs[1]) + firstFrame;
    const float* g = signalOrSilence(inputs[2]) + firstFrame;
    float* outA = outputs[0] + firstFrame;
    float* outB = outputs[1] + firstFrame;
    for (int32_t i = 0; i < count; ++i) {
        outA[i] = a[i] * g[i];
        outB[i] = b[i] * g[i];
    }
}

void CK_DSP_ST_Level::gainSquared(int32_t firstFrame, int32_t count)
{
    state.announce(*this, state.wanted, 2);
    const float* a = signalOrSilence(inputs[0]) + firstFrame;
    const float* b = signalOrSilence(inputs[1]) + firstFrame;
    const float* g = signalOrSilence(inputs[2]) + firstFrame;
    float* outA = outputs[0] + firstFrame;
    float* outB = outputs[1] + firstFrame;
    for (int32_t i = 0; i < count; ++i) {
        const float g2 = g[i] * g[i];
        outA[i] = a[i] * g2;
        outB[i] = b[i] * g2;
    }
}

void CK_DSP_ST_Level::silent(int32_t firstFrame, int32_t count)
{
    state.announce(*this, 0, 2);
    if (state.idleAfter(count))
        rest();
    std::fill(outputs[0] + firstFrame, outputs[0] + firstFrame + count, 0.0f);
    std::fill(outputs[1] + firstFrame, outputs[1] + firstFrame + count, 0.0f);
}
