// The graph's audio source: two buffers (left on pin 0, right on pin 1) that the effect object fills
// with the host's input frames before each sub-block. It computes nothing itself.
#pragma once

#include "modules/CK_ModuleBase.h"

class CK_DSP_Host_AudioIn : public CK_ModuleStd {
public:
    enum Pin : int { kOutLeft = 0, kOutRight = 1 };

    explicit CK_DSP_Host_AudioIn(CK_ModuleOwner* owner);
    ~CK_DSP_Host_AudioIn() override;

    // Rests and tells every reader that its audio input is live (kind 1).
    void prepare() override;
};
