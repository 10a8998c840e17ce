// Attack-hold-release envelope of a band compressor: smooths the band's static gain (linear) with
// attack, hold and release, and multiplies it by the band's make-up gain.
//
// Pins: input 0 static gain (linear, per sample), 1 make-up gain (linear, per sample), 2 attack
// and 3 hold (ms/10, from events), 4 release (ms/10, per sample, read at the first frame of each
// block), 9 enable and 10 disable (integers: the envelope runs while enable is non-zero and
// disable is 0); output 0 the band gain (exactly 1.0 while the band is off).
#pragma once

#include "modules/CK_ModuleBase.h"

class CK_DSP_Compressor_AHR : public CK_ModuleStd {
public:
    enum Pin : int {
        kInGain = 0, kInMakeup = 1, kInAttack = 2, kInHold = 3, kInRelease = 4, kInEnable = 9, kInDisable = 10,
        kOut = 0,
    };

    explicit CK_DSP_Compressor_AHR(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;

private:
    // What the envelope carries from one frame to the next, with the settings its step reads.
    struct Lane {
        float target, env;
        int32_t holdCount;
        float attackCoef, releaseCoef;
        int32_t holdLength;
    };

    static float step(Lane& s, float gain);
    Lane begin(int32_t firstFrame);
    void finish(const Lane& s);
    void envelope(int32_t firstFrame, int32_t count);
    // The envelope routine for several envelopes at once, one loop carrying all of them.
    static void envelopeTogether(CK_ModuleBase* const* modules, int moduleCount, int32_t firstFrame, int32_t count);
    template <int N>
    static void envelopeSideBySide(CK_ModuleBase* const* modules, int32_t firstFrame, int32_t count);
    void unity(int32_t firstFrame, int32_t count);

    void updateCoefficients(int32_t firstFrame);
    bool running() const { return enable_ != 0 && disable_ == 0; }
    int32_t samplesFor(float volts) const;

    float fs_ = 44100.0f;
    float u_ = 441.0f; // samples per volt of time (10 ms)
    float attack_ = 0.0375f;
    bool attackDirty_ = true;
    float attackCoef_ = 0.0f;
    float lastRelease_ = -1000.0f;
    float releaseCoef_ = 0.0f;
    float target_ = 1.0f;
    float envelope_ = 1.0f;
    int32_t holdLength_ = 1;
    int32_t holdCount_ = 1;
    int32_t enable_ = 1;
    int32_t disable_ = 0;
    int32_t wanted_ = -1;
    int32_t announced_ = -1;
    int32_t idleCountdown_ = 0;
};
