#include "dsp/dynamics/CK_DSP_FdB_to_VLevel.h"

#include <cmath>

CK_DSP_FdB_to_VLevel::CK_DSP_FdB_to_VLevel(CK_ModuleOwner* moduleOwner) : CK_RampedConverter(moduleOwner, kRampMs) {}

// volts x 10 / 6 = dB / 6
float CK_DSP_FdB_to_VLevel::convert(float volts) const
{
    return static_cast<float>(std::exp2(static_cast<double>(volts) * (10.0 / 6.0)));
}
