// Shapes the compressor's attack, hold and release times: each knob position (as a fraction of its
// range) goes through a contour curve, is scaled by constant A and offset by constant B, and the
// result is sent to the band envelopes as an event.
//
// Pins (ms/10): inputs 0-3 attack time, constant A, constant B, contour; 4-7 the same for hold;
// 8-11 for release. Contours (integers): 0 "Lin", 1 "Exp", 2 "Exp2", 3 "IExp", 4 "SCrv",
// 5 "SCrv2", 6 "ISCrv"; any other value acts as "Lin". Outputs 0, 1, 2 (events only): the shaped
// attack, hold and release times.
#pragma once

#include "modules/CK_ModuleBase.h"

class CK_DSP_Brelvik_ParamAdj : public CK_ModuleStd {
public:
    // Four inputs per time, in the same order for attack, hold and release.
    enum Pin : int {
        kInAttack = 0, kInAttackConstA = 1, kInAttackConstB = 2, kInAttackContour = 3,
        kInHold = 4, kInHoldConstA = 5, kInHoldConstB = 6, kInHoldContour = 7,
        kInRelease = 8, kInReleaseConstA = 9, kInReleaseConstB = 10, kInReleaseContour = 11,
        kOutAttack = 0, kOutHold = 1, kOutRelease = 2,
    };
    static constexpr int kPinsPerTime = kInHold - kInAttack;
    static_assert(kInAttack == 0 && kInRelease == 2 * kPinsPerTime, "three groups of pins from 0 on");

    enum Contour : int32_t { kLin, kExp, kExp2, kIExp, kSCrv, kSCrv2, kISCrv };
    enum Time { kAttack, kHold, kRelease };

    explicit CK_DSP_Brelvik_ParamAdj(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;

    // The contour curve at x (0..1 maps onto 0..1 for every contour).
    static float shape(float x, int32_t contour);

private:
    void compute(int32_t firstFrame, int32_t count);

    float time_[3] = {0.0f, 0.0f, 0.0f};
    float constA_[3] = {1.0f, 1.0f, 1.0f};
    float constB_[3] = {0.0f, 0.0f, 0.0f};
    int32_t contour_[3] = {kLin, kLin, kLin};
};
