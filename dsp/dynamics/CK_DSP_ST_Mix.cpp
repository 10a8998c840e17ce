#include "dsp/dynamics/CK_DSP_ST_Mix.h"

#include <algorithm>
#include <cstring>

CK_DSP_ST_Mix::CK_DSP_ST_Mix(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
    allocateOutput(1);
}

void CK_DSP_ST_Mix::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if (source && pin >= kFirstBandInput && pin < kFirstBandInput + kBandInputs)
        bandDry = 1;
}

void CK_DSP_ST_Mix::prepare()
{
    useRoutine<&CK_DSP_ST_Mix::mix>();
    state.reset();
    wetChanging = dryChanging = mixChanging = gainChanging = 1;
    enable = 1;
    wetOnly = 0;
}

void CK_DSP_ST_Mix::handleEvent(const CK_Event& e, int32_t)
{
    state.idleCountdown = blockSize;
    if (e.pin > kInWetOnly)
        return; // the dry bands are read as signals
    const int32_t changing = e.kind != 0 ? 1 : 0;
    switch (e.pin) {
    case kInDryA:
    case kInDryB:
        dryChanging = changing;
        break;
    case kInMix:
        mixChanging = changing;
        break;
    case kInGain:
        gainChanging = changing;
        break;
    case kInDecode:
        decode = e.intValue;
        break;
    case kInEnable:
        enable = changing;
        break;
    case kInWetOnly:
        wetOnly = e.intValue;
        break;
    case kInWetA:
    case kInWetB:
        wetChanging = changing;
        break;
    }
    selectProcess();
}

void CK_DSP_ST_Mix::selectProcess()
{
    if (!enable) {
        useRoutine<&CK_DSP_ST_Mix::silent>();
        return;
    }
    if (wetOnly) {
        state.want(wetChanging);
        useRoutine<&CK_DSP_ST_Mix::wetCopy>();
        return;
    }
    state.want(wetChanging | dryChanging | mixChanging | gainChanging);
    if (bandDry) {
        if (decode)
            useRoutine<&CK_DSP_ST_Mix::bandMixDecode>();
        else
            useRoutine<&CK_DSP_ST_Mix::bandMix>();
    } else if (decode) {
        useRoutine<&CK_DSP_ST_Mix::mixDecode>();
    } else {
        useRoutine<&CK_DSP_ST_Mix::mix>();
    }
}

// Tells the readers what the outputs do now; once everything is static for longer than a block
// (so every buffer position holds the final values), the module rests after this run.
void CK_DSP_ST_Mix::beginRun(int32_t count)
{
    state.announce(*this, state.wanted, 2);
    if (state.wanted == 0 && state.idleAfter(count))
        rest();
}

void CK_DSP_ST_Mix::silent(int32_t firstFrame, int32_t count)
{
    state.announce(*this, 0, 2);
    if (state.idleAfter(count))
        rest();
    std::fill(outputs[0] + firstFrame, outputs[0] + firstFrame + count, 0.0f);
    std::fill(outputs[1] + firstFrame, outputs[1] + firstFrame + count, 0.0f);
}

void CK_DSP_ST_Mix::wetCopy(int32_t firstFrame, int32_t count)
{
    beginRun(count);
    const auto bytes = sizeof(float) * static_cast<size_t>(count);
    std::memcpy(outputs[0] + firstFrame, signalOrSilence(inputs[0]) + firstFrame, bytes);
    std::memcpy(outputs[1] + firstFrame, signalOrSilence(inputs[1]) + firstFrame, bytes);
}

CK_DSP_ST_Mix::RunSignals CK_DSP_ST_Mix::signalsAt(int32_t firstFrame) const
{
    auto at = [this, firstFrame](int pin) { return signalOrSilence(inputs[pin]) + firstFrame; };
    return {at(0), at(1), at(2), at(3), at(4), at(5), at(19), at(20), at(21), at(22), at(23), at(24)};
}

void CK_DSP_ST_Mix::mix(int32_t firstFrame, int32_t count)
{
    beginRun(count);
    const RunSignals in = signalsAt(firstFrame);
    float* outA = outputs[0] + firstFrame;
    float* outB = outputs[1] + firstFrame;
    for (int32_t i = 0; i < count; ++i) {
        const float dryGain = in.g[i] * in.h[i];
        const float wetGain = (1.0f - in.g[i]) * in.h[i];
        outA[i] = in.dryA[i] * dryGain + in.wetA[i] * wetGain;
        outB[i] = in.dryB[i] * dryGain + in.wetB[i] * wetGain;
    }
}

// Only the wet part is mid and side here; the dry signal is already left and right.
void CK_DSP_ST_Mix::mixDecode(int32_t firstFrame, int32_t count)
{
    beginRun(count);
    const RunSignals in = signalsAt(firstFrame);
    float* outA = outputs[0] + firstFrame;
    float* outB = outputs[1] + firstFrame;
    for (int32_t i = 0; i < count; ++i) {
        const float dryGain = in.g[i] * in.h[i];
        const float wetGain = (1.0f - in.g[i]) * in.h[i];
        outA[i] = in.dryA[i] * dryGain + (in.wetA[i] + in.wetB[i]) * wetGain;
        outB[i] = in.dryB[i] * dryGain + (in.wetA[i] - in.wetB[i]) * wetGain;
    }
}

void CK_DSP_ST_Mix::bandMix(int32_t firstFrame, int32_t count)
{
    beginRun(count);
    const RunSignals in = signalsAt(firstFrame);
    float* outA = outputs[0] + firstFrame;
    float* outB = outputs[1] + firstFrame;
    for (int32_t i = 0; i < count; ++i) {
        const float dryGain = in.g[i] * in.h[i];
        const float wetGain = (1.0f - in.g[i]) * in.h[i];
        outA[i] = (in.lowA[i] + in.midA[i] + in.highA[i]) * dryGain + in.wetA[i] * wetGain;
        outB[i] = (in.lowB[i] + in.midB[i] + in.highB[i]) * dryGain + in.wetB[i] * wetGain;
    }
}

// Both the bands and the wet signal are mid and side: mix first, then decode.
void CK_DSP_ST_Mix::bandMixDecode(int32_t firstFrame, int32_t count)
{
    beginRun(count);
    const RunSignals in = signalsAt(firstFrame);
    float* outA = outputs[0] + firstFrame;
    float* outB = outputs[1] + firstFrame;
    for (int32_t i = 0; i < count; ++i) {
        const float dryGain = in.g[i] * in.h[i];
        const float wetGain = (1.0f - in.g[i]) * in.h[i];
        const float m = (in.lowA[i] + in.midA[i] + in.highA[i]) * dryGain + in.wetA[i] * wetGain;
        const float s = (in.lowB[i] + in.midB[i] + in.highB[i]) * dryGain + in.wetB[i] * wetGain;
        outA[i] = m + s;
        outB[i] = m - s;
    }
}
