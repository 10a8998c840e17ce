#include "dsp/dynamics/CK_DSP_dB_to_Level.h"

#include <cmath>

namespace {

CK_DSP_dB_to_Level::Tables buildTables()
{
    CK_DSP_dB_to_Level::Tables t{};
    for (int j = 0; j <= 512; ++j)
        t.fraction[j] = static_cast<float>(std::exp2(j / 512.0));
    for (int k = 0; k <= 60; ++k)
        t.power[k] = static_cast<float>(std::exp2(k - 30.0));
    return t;
}

} // namespace

const CK_DSP_dB_to_Level::Tables& CK_DSP_dB_to_Level::tables()
{
    static const Tables shared = buildTables();
    return shared;
}

CK_DSP_dB_to_Level::CK_DSP_dB_to_Level(CK_ModuleOwner* moduleOwner)
    : CK_ModuleStd(moduleOwner), tables_(&tables())
{
    allocateOutput(0);
}

void CK_DSP_dB_to_Level::prepare()
{
    rest(); // sleeps until the first event
    state.reset();
    inputChanging = 0;
}

void CK_DSP_dB_to_Level::handleEvent(const CK_Event& e, int32_t)
{
    if (e.pin != 0)
        return;
    inputChanging = e.kind != 0 ? 1 : 0;
    state.want(inputChanging);
    state.idleCountdown = blockSize;
    useRoutine<&CK_DSP_dB_to_Level::convert>();
}

void CK_DSP_dB_to_Level::convert(int32_t firstFrame, int32_t count)
{
    state.announce(*this, state.wanted, 1);
    if (!inputChanging && state.idleAfter(count))
        rest();

    const float* in = signalOrSilence(inputs[0]) + firstFrame;
    float* out = outputs[0] + firstFrame;
    const float* fraction = tables_->fraction;
    const float* power = tables_->power;
    for (int32_t i = 0; i < count; ++i) {
        // Limit to +-18 volts; written so that NaN ends at the floor.
        float x = in[i] > -18.0f ? in[i] : -18.0f;
        x = x < 18.0f ? x : 18.0f;
        const auto y = static_cast<float>((static_cast<double>(x) + 18.0) * 853.3333333333334);
        const auto h = static_cast<int32_t>(y);
        const float f = y - static_cast<float>(h);
        const int32_t j = h & 511;
        out[i] = (fraction[j] + (fraction[j + 1] - fraction[j]) * f) * power[h >> 9];
    }
}
