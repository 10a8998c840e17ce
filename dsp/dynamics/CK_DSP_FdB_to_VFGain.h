// "Eq Gain dB" parameter to the smoothed gain value that the equaliser coefficient design reads,
// ramping over 30 ms. The map is odd and 0 dB gives exactly 0.
#pragma once

#include "dsp/dynamics/CK_RampedConverter.h"

class CK_DSP_FdB_to_VFGain : public CK_RampedConverter {
public:
    static constexpr int32_t kRampMs = 30;

    explicit CK_DSP_FdB_to_VFGain(CK_ModuleOwner* owner);

    float convert(float volts) const override;
};
