#include "dsp/dynamics/CK_DSP_Level_to_dB.h"

#include <cfloat>

namespace {

// dB / 10 of the factors the level is normalised by.
constexpr float kVolts16 = 2.40824f;    // x 16
constexpr float kVolts256 = 4.81648f;   // x 256
constexpr float kVolts65536 = 9.63296f; // x 65536
constexpr float kTwoPow30 = 1.0f / (1 << 30);
constexpr float kTwoPow16 = 1.0f / (1 << 16);
constexpr float kTwoPow8 = 1.0f / (1 << 8);

} // namespace

CK_DSP_Level_to_dB::CK_DSP_Level_to_dB(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
}

void CK_DSP_Level_to_dB::prepare()
{
    rest(); // sleeps until the first event
    state.reset();
    inputChanging = 0;
    previousInput = -10000.0f;
    previousResult = kFloorVolts;
}

void CK_DSP_Level_to_dB::handleEvent(const CK_Event& e, int32_t)
{
    if (e.pin != kIn)
        return;
    inputChanging = e.kind != 0 ? 1 : 0;
    state.want(inputChanging);
    state.idleCountdown = blockSize;
    useRoutine<&CK_DSP_Level_to_dB::convert>();
}

float CK_DSP_Level_to_dB::toVolts(float b, const float* log)
{
    if (!(b > kTwoPow30))
        return kFloorVolts;
    if (b > FLT_MAX)
        b = FLT_MAX; // +inf: keeps the normalising loop finite

    float d = 0.0f;
    if (b >= 1.0f) {
        while (b > 16.0f) {
            b *= 0.0625f;
            d += kVolts16;
        }
    } else {
        if (b < kTwoPow16) {
            b *= 65536.0f;
            d = -kVolts65536;
        }
        if (b < kTwoPow8) {
            b *= 256.0f;
            d -= kVolts256;
        }
        while (b < 1.0f) {
            b *= 16.0f;
            d -= kVolts16;
        }
    }

    const float e = (b - 1.0f) * 160.0f;
    const auto j = static_cast<int32_t>(e);
    if (j >= 2400)
        return log[2400] + d;
    return log[j] + (log[j + 1] - log[j]) * (e - static_cast<float>(j)) + d;
}

void CK_DSP_Level_to_dB::convert(int32_t firstFrame, int32_t count)
{
    state.announce(*this, state.wanted, 1);
    if (!inputChanging && state.idleAfter(count))
        rest();

    const float* in = signalOrSilence(inputs[0]) + firstFrame;
    float* out = outputs[0] + firstFrame;
    const float* log = owner->tables.log;
    for (int32_t i = 0; i < count; ++i) {
        // Detector levels often repeat (held peaks, silence): reuse the last result.
        if (in[i] != previousInput) {
            previousInput = in[i];
            previousResult = toVolts(in[i], log);
        }
        out[i] = previousResult;
    }
}
