// Three-band crossover: splits channel A (and channel B once input 1 is connected) into a low, a
// mid and a high band with fourth-order Linkwitz-Riley sections. Low + mid + high of a channel is
// the input through an all-pass, so the recombined bands have a flat magnitude response.
//
// Pins: input 0 channel A, input 1 channel B, inputs 2 and 3 low and high crossover frequency
// (per-sample control, value x 10 = Hz); outputs 0, 1, 2 channel A low, mid, high; outputs 3, 4, 5
// channel B low, mid, high (zero while input 1 is unconnected).
#pragma once

#include "dsp/dynamics/CrossoverSection4.h"
#include "modules/CK_ModuleBase.h"

class CK_DSP_Band_Split_3 : public CK_ModuleStd {
public:
    enum Pin : int {
        kInA = 0, kInB = 1, kInLowFrequency = 2, kInHighFrequency = 3,
        kOutLowA = 0, kOutMidA = 1, kOutHighA = 2, kOutLowB = 3, kOutMidB = 4, kOutHighB = 5,
    };

    explicit CK_DSP_Band_Split_3(CK_ModuleOwner* owner);

    void prepare() override;
    void clearState() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;
    void setInput(int pin, const float* source) override;

    // Highest crossover frequency as a fraction of the sample rate: the design needs a frequency
    // below half the sample rate, and this keeps the whole parameter range (up to 20480 Hz)
    // unchanged from 43.6 kHz upwards.
    static constexpr double kMaxFrequencyRatio = 0.47;
    static constexpr double kMinFrequencyHz = 1.0;

private:
    // Processes with the current coefficients.
    template <bool StereoB>
    void steady(int32_t firstFrame, int32_t count);
    // Redesigns once from the pin values at the first frame, then continues steady.
    template <bool StereoB>
    void redesignOnce(int32_t firstFrame, int32_t count);
    // Redesigns every sample while a frequency pin glides.
    template <bool StereoB>
    void glide(int32_t firstFrame, int32_t count);

    void selectRoutine();
    // Reads both frequency pins at a frame and designs the active sections.
    void designAt(int32_t frame);
    double limited(double hz) const;

    CrossoverBands3 bands_;
    float lowHz_ = 200.0f;
    float highHz_ = 3000.0f;
    float sampleRate_ = 44100.0f;
    bool stereoB_ = false;
    bool dirty_ = true;
    bool lowGliding_ = false;
    bool highGliding_ = false;
};
