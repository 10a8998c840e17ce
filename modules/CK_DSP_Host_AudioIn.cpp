#include "modules/CK_DSP_Host_AudioIn.h"

CK_DSP_Host_AudioIn::CK_DSP_Host_AudioIn(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    owner->hostInput[0] = allocateOutput(0);
    owner->hostInput[1] = allocateOutput(1);
}

CK_DSP_Host_AudioIn::~CK_DSP_Host_AudioIn()
{
    // The owner must not copy into buffers that are about to be freed.
    for (int c = 0; c < 2; ++c)
        if (owner->hostInput[c] == outputs[c])
            owner->hostInput[c] = nullptr;
}

void CK_DSP_Host_AudioIn::prepare()
{
    rest();
    sendEvent(clock, 0, 1, 0, 0.0f);
    sendEvent(clock, 1, 1, 0, 0.0f);
}
