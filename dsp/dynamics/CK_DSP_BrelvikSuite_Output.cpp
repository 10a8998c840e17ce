#include "dsp/dynamics/CK_DSP_BrelvikSuite_Output.h"

#include <cstring>

#include "dsp/dynamics/StageSupport.h"

CK_DSP_BrelvikSuite_Output::CK_DSP_BrelvikSuite_Output(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
    allocateOutput(1);
}

void CK_DSP_BrelvikSuite_Output::prepare()
{
    bypass = 1;
    useRoutine<&CK_DSP_BrelvikSuite_Output::bypassed>();
    sendEvent(clock, 0, 1, 0, 0.0f);
    sendEvent(clock, 1, 1, 0, 0.0f);
}

void CK_DSP_BrelvikSuite_Output::handleEvent(const CK_Event& e, int32_t)
{
    if (e.pin == kInCompMode)
        mode = e.intValue;
    else if (e.pin == kInBypass)
        bypass = e.intValue;
    else
        return; // the audio inputs carry nothing to act on
    if (bypass != 0 || mode > 2)
        useRoutine<&CK_DSP_BrelvikSuite_Output::bypassed>();
    else
        useRoutine<&CK_DSP_BrelvikSuite_Output::pass>();
}

void CK_DSP_BrelvikSuite_Output::pass(int32_t firstFrame, int32_t count)
{
    copy(0, firstFrame, count);
}

void CK_DSP_BrelvikSuite_Output::bypassed(int32_t firstFrame, int32_t count)
{
    copy(2, firstFrame, count);
}

void CK_DSP_BrelvikSuite_Output::copy(int firstInput, int32_t firstFrame, int32_t count)
{
    const auto bytes = sizeof(float) * static_cast<size_t>(count);
    std::memcpy(outputs[0] + firstFrame, signalOrSilence(inputs[firstInput]) + firstFrame, bytes);
    std::memcpy(outputs[1] + firstFrame, signalOrSilence(inputs[firstInput + 1]) + firstFrame, bytes);
}
