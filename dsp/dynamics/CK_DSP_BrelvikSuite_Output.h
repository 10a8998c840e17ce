// The master bypass: passes the processed signal, or while "Bypass" is on the host's own input,
// undelayed.
// Inputs: 0, 1 processed audio; 2, 3 host audio; 5 compression mode; 9 bypass (non-zero = bypassed).
// Outputs: 0, 1 left and right.
#pragma once

#include "modules/CK_ModuleBase.h"

class CK_DSP_BrelvikSuite_Output : public CK_ModuleStd {
public:
    enum Pin : int {
        kInLeft = 0, kInRight = 1, kInHostLeft = 2, kInHostRight = 3, kInCompMode = 5, kInBypass = 9,
        kOutLeft = 0, kOutRight = 1,
    };

    explicit CK_DSP_BrelvikSuite_Output(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;

    int32_t mode = 0;
    int32_t bypass = 1; // bypassed until the "Bypass" parameter arrives

private:
    void pass(int32_t firstFrame, int32_t count);
    void bypassed(int32_t firstFrame, int32_t count);
    void copy(int firstInput, int32_t firstFrame, int32_t count);
};
