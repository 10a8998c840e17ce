// The master input stage. Passes the host's left and right input on unchanged (stereo) or as mid
// and side (M/S), tells the two equaliser engines which of them works in the selected mode, and
// derives the treble enhancer filter's type and bandwidth from "High Filter".
// Inputs: 0, 1 host audio; 2 compression mode (0 stereo; 1 M/S, equaliser on the mid channel;
// 2 M/S, equaliser on the side channel); 9 high filter (0 high pass, otherwise band pass).
// Outputs: 0, 1 audio; 9 filter type and 10 bandwidth, 14 and 15 the enables of the first and second
// equaliser engine (events only, no buffers).
#pragma once

#include "modules/CK_ModuleBase.h"

class CK_DSP_BrelvikSuite_Input : public CK_ModuleStd {
public:
    enum Pin : int {
        kInLeft = 0, kInRight = 1, kInCompMode = 2, kInHighFilter = 9,
        kOutLeft = 0, kOutRight = 1, kOutFilterType = 9, kOutBandwidth = 10, kOutFirstEngine = 14, kOutSecondEngine = 15,
    };
    static constexpr int32_t kHighPassType = 4;
    static constexpr int32_t kBandPassType = 7;
    static constexpr float kBandPassWidth = 0.7f;

    explicit CK_DSP_BrelvikSuite_Input(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;

private:
    void stereo(int32_t firstFrame, int32_t count);
    void midSide(int32_t firstFrame, int32_t count);
    void enableEngines(int32_t first, int32_t second);
};
