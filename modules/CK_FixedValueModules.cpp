#include "modules/CK_FixedValueModules.h"

#include <algorithm>

void CK_FixedValueModule::setInput(int pin, const float* source)
{
    if (pin < 0 || pin >= kMaxPins)
        return;
    CK_ModuleStd::setInput(pin, source);
    pinCount = std::max(pinCount, pin + 1);
}

void CK_FixedValueModule::prepare()
{
    rest();
    for (int pin = 0; pin < pinCount; ++pin)
        if (inputs[pin])
            sendEvent(clock, pin, 0, static_cast<int32_t>(*inputs[pin]), *inputs[pin] * 0.1f);
}

void CK_DSP_FixedValueToVolt::setInput(int pin, const float* source)
{
    CK_FixedValueModule::setInput(pin, source);
    if (pin < 0 || pin >= kMaxPins || !source)
        return;
    if (float* buffer = allocateOutput(pin))
        std::fill(buffer, buffer + blockSize + 4, *source * 0.1f);
}
