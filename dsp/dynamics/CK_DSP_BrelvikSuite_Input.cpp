#include "dsp/dynamics/CK_DSP_BrelvikSuite_Input.h"

#include <cstring>

#include "dsp/dynamics/StageSupport.h"

CK_DSP_BrelvikSuite_Input::CK_DSP_BrelvikSuite_Input(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
    allocateOutput(1);
}

void CK_DSP_BrelvikSuite_Input::prepare()
{
    useRoutine<&CK_DSP_BrelvikSuite_Input::stereo>();
    sendEvent(clock, 0, 1, 0, 0.0f);
    sendEvent(clock, 1, 1, 0, 0.0f);
}

void CK_DSP_BrelvikSuite_Input::handleEvent(const CK_Event& e, int32_t)
{
    if (e.pin == kInCompMode) {
        switch (e.intValue) {
        case 0:
            useRoutine<&CK_DSP_BrelvikSuite_Input::stereo>();
            enableEngines(1, 1);
            break;
        case 1: // the equaliser works on the mid channel only
            useRoutine<&CK_DSP_BrelvikSuite_Input::midSide>();
            enableEngines(1, 0);
            break;
        case 2: // the equaliser works on the side channel only
            useRoutine<&CK_DSP_BrelvikSuite_Input::midSide>();
            enableEngines(0, 1);
            break;
        default:
            break;
        }
    } else if (e.pin == kInHighFilter) {
        // Values travel as volts: a code of 7 is 0.7 volts, a bandwidth of 0.7 volts is 7.
        const int32_t type = e.intValue != 0 ? kBandPassType : kHighPassType;
        const float width = e.intValue != 0 ? kBandPassWidth : 0.0f;
        sendEvent(clock, kOutFilterType, 0, type, static_cast<float>(type) * 0.1f);
        sendEvent(clock, kOutBandwidth, 0, roundedValue(width), width);
    }
}

void CK_DSP_BrelvikSuite_Input::enableEngines(int32_t first, int32_t second)
{
    sendEvent(clock, kOutFirstEngine, 0, first, 0.0f);
    sendEvent(clock, kOutSecondEngine, 0, second, 0.0f);
}

void CK_DSP_BrelvikSuite_Input::stereo(int32_t firstFrame, int32_t count)
{
    const auto bytes = sizeof(float) * static_cast<size_t>(count);
    std::memcpy(outputs[0] + firstFrame, signalOrSilence(inputs[0]) + firstFrame, bytes);
    std::memcpy(outputs[1] + firstFrame, signalOrSilence(inputs[1]) + firstFrame, bytes);
}

void CK_DSP_BrelvikSuite_Input::midSide(int32_t firstFrame, int32_t count)
{
    const float* left = signalOrSilence(inputs[0]) + firstFrame;
    const float* right = signalOrSilence(inputs[1]) + firstFrame;
    float* mid = outputs[0] + firstFrame;
    float* side = outputs[1] + firstFrame;
    for (int32_t i = 0; i < count; ++i) {
        mid[i] = (left[i] + right[i]) * 0.5f;
        side[i] = (left[i] - right[i]) * 0.5f;
    }
}
