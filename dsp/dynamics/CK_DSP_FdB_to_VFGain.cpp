#include "dsp/dynamics/CK_DSP_FdB_to_VFGain.h"

#include <cmath>

CK_DSP_FdB_to_VFGain::CK_DSP_FdB_to_VFGain(CK_ModuleOwner* moduleOwner) : CK_RampedConverter(moduleOwner, kRampMs) {}

// 0.5 sin((1 - (b / 4.25)^2 x 4.25 / 21.1) x b / pi) with b = 1.77 x volts: a gently compressed
// curve that stays odd in the parameter.
float CK_DSP_FdB_to_VFGain::convert(float volts) const
{
    constexpr double kPi = 3.14159265358979323846;
    const double b = 1.77 * static_cast<double>(volts);
    const double r = b / 4.25;
    return static_cast<float>(0.5 * std::sin((1.0 - r * r * (4.25 / 21.1)) * b / kPi));
}
