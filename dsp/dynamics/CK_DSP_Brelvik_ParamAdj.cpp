#include "dsp/dynamics/CK_DSP_Brelvik_ParamAdj.h"

#include <cmath>

namespace {

// The top of each time knob's range in volts (500, 500 and 2000 ms): the knob becomes a fraction.
constexpr float kRange[3] = {50.0f, 50.0f, 200.0f};

} // namespace

CK_DSP_Brelvik_ParamAdj::CK_DSP_Brelvik_ParamAdj(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner) {}

void CK_DSP_Brelvik_ParamAdj::prepare()
{
    rest();
}

float CK_DSP_Brelvik_ParamAdj::shape(float x, int32_t contour)
{
    const float b = x - 0.5f;
    switch (contour) {
    case kExp:
        return x * x;
    case kExp2:
        return x * x * x * x;
    case kIExp:
        return 1.0f - (1.0f - x) * (1.0f - x);
    case kSCrv: // steep at both ends, flat in the middle
        return 2.0f * b * std::fabs(b) + 0.5f;
    case kSCrv2:
        return 4.0f * b * b * b + 0.5f;
    case kISCrv: // flat at both ends, steep in the middle
        return 2.0f * x - 0.5f - 2.0f * b * std::fabs(b);
    default:
        return x;
    }
}

void CK_DSP_Brelvik_ParamAdj::handleEvent(const CK_Event& event, int32_t)
{
    if (event.pin <= kInReleaseContour) {
        const int t = event.pin / kPinsPerTime;
        switch (event.pin - t * kPinsPerTime) { // the attack pins are the offsets in every group
        case kInAttack:
            time_[t] = event.floatValue;
            break;
        case kInAttackConstA:
            constA_[t] = event.floatValue;
            break;
        case kInAttackConstB:
            constB_[t] = event.floatValue;
            break;
        default:
            contour_[t] = event.intValue;
            break;
        }
    }
    useRoutine<&CK_DSP_Brelvik_ParamAdj::compute>();
}

void CK_DSP_Brelvik_ParamAdj::compute(int32_t, int32_t)
{
    for (int t = kAttack; t <= kRelease; ++t) {
        const float shaped = shape(time_[t] / kRange[t], contour_[t]) * constA_[t] + constB_[t];
        sendEvent(clock, t, 0, 0, shaped);
    }
    rest();
}
