#include "modules/CK_DSP_Float_to_Volt.h"

#include <algorithm>

CK_DSP_Float_to_Volt::CK_DSP_Float_to_Volt(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
}

void CK_DSP_Float_to_Volt::outputConnected(int outputPin)
{
    if (outputPin == kOutNonZero)
        output1Wired = -1;
}

void CK_DSP_Float_to_Volt::prepare()
{
    useRoutine<&CK_DSP_Float_to_Volt::write>();
    out = 0.0f;
    countdown = blockSize;
    dirty = -1;
}

void CK_DSP_Float_to_Volt::handleEvent(const CK_Event& e, int32_t)
{
    countdown = blockSize;
    switch (e.pin) {
    case kInValue:
        input = e.floatValue;
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
    out = scale * input + offset;
    dirty = -1;
    useRoutine<&CK_DSP_Float_to_Volt::write>();
}

void CK_DSP_Float_to_Volt::write(int32_t firstFrame, int32_t count)
{
    if (dirty) {
        dirty = 0;
        sendEvent(clock, 0, 0, static_cast<int32_t>(out), out);
        const int32_t state = out != 0.0f ? 1 : 0;
        if (output1Wired && state != output1State) {
            output1State = state;
            sendEvent(clock, 1, 0, state, static_cast<float>(state));
        }
    }
    countdown -= count;
    if (countdown <= 0)
        rest();
    std::fill(outputs[0] + firstFrame, outputs[0] + firstFrame + count, out);
}
