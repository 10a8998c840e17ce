// Decibels (volts, dB / 10) to a linear level, frame by frame: 2^(dB / 6) from two shared tables,
// with the input limited to +-180 dB (2^-30 .. 2^30). Feeds the band envelopes with the gain curve's
// output. Rests while its input is static.
// Input: 0 dB / 10 per frame. Output: 0 level per frame.
#pragma once

#include "dsp/dynamics/StageSupport.h"
#include "dsp/kernels/DbToLevelKernel.h"
#include "modules/CK_ModuleBase.h"

class CK_DSP_dB_to_Level : public CK_ModuleStd {
public:
    enum Pin : int { kIn = 0, kOut = 0 };

    using Tables = ck_db_to_level::Tables;
    // Built once per process on first use, by the first constructor: never on the audio thread.
    static const Tables& tables();

    explicit CK_DSP_dB_to_Level(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;

    int32_t inputChanging = 0;
    CK_OutputState state;

private:
    void convert(int32_t firstFrame, int32_t count);

    const Tables* tables_;
};
