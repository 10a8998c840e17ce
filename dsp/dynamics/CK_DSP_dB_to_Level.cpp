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
    if (e.pin != kIn)
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

    ck_db_to_level::sse2(*tables_, signalOrSilence(inputs[0]) + firstFrame, outputs[0] + firstFrame, count);
}
