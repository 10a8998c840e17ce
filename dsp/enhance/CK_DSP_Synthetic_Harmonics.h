// Psychoacoustic enhancer: drives a band-filtered copy of the signal through a fixed polynomial
// wave-shaper, which creates even and odd harmonics of the band, and adds them to the signal.
//
// Shaper: S(u) = 10 u (u + 0.5)^2 (1 - (u + 0.5)^2), about 1.875 u near zero, zero at u = +-0.5.
// Drive d (a = amount 0..1, e = band envelope): Hard d = a, Soft d = a / 2; with the dynamic
// switch on the drive rises with the band level, Hard from a/4 to 3a/4, Soft from a/4 to a/2.
// Output = main + S(d * band), one drive for both channels. The shaper's even harmonics include a
// DC term; a high-pass at a few hertz takes it out of the added harmonics, never out of the main
// signal.
//
// Inputs: 0/1 main signal (connecting 0 adds the harmonics to it; 1 or 3 make the module stereo),
// 2/3 band signal, 4 amount, 7 envelope; events: 5 type (1 Soft, 2 Hard, 0 off), 6 dynamic,
// 9 enable. Outputs 0 and 1.
#pragma once

#include <cstdint>

#include <vector>

#include "dsp/enhance/CK_DcBlocker.h"
#include "dsp/enhance/CK_EnhancerBase.h"
#include "dsp/kernels/HarmonicsKernel.h"

class CK_DSP_Synthetic_Harmonics : public CK_EnhancerBase {
public:
    enum Pin : int { kAmount = 4, kType = 5, kDynamic = 6, kEnvelope = 7, kEnable = 9 };
    enum Type : int { kOff = 0, kSoft = 1, kHard = 2 };

    explicit CK_DSP_Synthetic_Harmonics(CK_ModuleOwner* owner);

    void prepare() override;
    void clearState() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;
    void setInput(int pin, const float* source) override;

    // The polynomial grows with the fifth power outside full scale; the driven sample is held to
    // +-1 so that an over-driven band (the band compressors can add up to 180 dB) gives a bounded
    // result instead of overflowing to infinity. NaN drives give 0.
    static float shape(float u) { return ck_harmonics::shape(u); }

private:
    template <int ShapeType, bool Dynamic, bool WithMain, bool Stereo>
    void harmonics(int32_t firstFrame, int32_t count);

    void select();
    template <int ShapeType>
    void selectShape();
    template <int ShapeType, bool Dynamic>
    void selectShapeWith();
    template <int ShapeType, bool Dynamic, bool WithMain>
    void selectShapeFor();

    bool mainConnected_ = false;
    int32_t type_ = kOff;
    int32_t dynamic_ = 0;
    int32_t enable_ = 1;
    std::vector<float> added_[2]; // the harmonics of a run, before they join the main signal
    CK_DcBlocker dcBlockers_[2];
};
