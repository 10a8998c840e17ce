// "Gain dB" parameter to a smoothed linear level, 2^(dB / 6) (6 dB is exactly a factor of 2),
// ramping over 20 ms. Feeds the band make-up gains and the master gain.
#pragma once

#include "dsp/dynamics/CK_RampedConverter.h"

class CK_DSP_FdB_to_VLevel : public CK_RampedConverter {
public:
    static constexpr int32_t kRampMs = 20;

    explicit CK_DSP_FdB_to_VLevel(CK_ModuleOwner* owner);

    float convert(float volts) const override;
};
