// Level detector of the dynamics chain: turns one channel, or two channels linked by their larger
// absolute value, into an amplitude envelope (linear, 1.0 = full scale) with peak or RMS
// detection, a hold stage and attack/release smoothing, and shows the envelope on an editor
// control about 70 times per second.
//
// Pins (control values in volts, engineering value x 0.1): input 0 channel A, input 1 channel B
// (connecting it links the channels), 2 attack, 3 hold, 4 release, 7 RMS window (value x 10 = ms),
// 5 mode (0 accelerating, 1 exponential, 2 linear), 6 RMS select, 8 sensitivity (value x 10 = Hz),
// 9 and 10 enables (the detector runs while their sum is non-zero); output 0 the envelope,
// output 1 events only: the sensitivity period; display slot 0 the envelope.
#pragma once

#include <memory>

#include "dsp/kernels/DetectorKernel.h"
#include "modules/CK_ModuleBase.h"

class CK_DSP_Metering2 : public CK_ModuleStd {
public:
    enum Pin : int {
        kInA = 0, kInB = 1, kInAttack = 2, kInHold = 3, kInRelease = 4, kInMode = 5, kInRms = 6,
        kInWindow = 7, kInSensitivity = 8, kInEnable0 = 9, kInEnable1 = 10,
        kOut = 0, kOutPeriod = 1,
    };
    enum Slot : int { kSlotEnvelope = 0 };

    enum Mode : int32_t {
        kAccelerating = ck_detector::kAccelerating, kExponential = ck_detector::kExponential,
        kLinear = ck_detector::kLinear,
    };
    // The longest RMS window and sensitivity period, in volts (500 ms): what the ring holds.
    static constexpr float kMaxWindowVolts = 50.0f;

    explicit CK_DSP_Metering2(CK_ModuleOwner* owner);

    void prepare() override;
    void clearState() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;
    void setInput(int pin, const float* source) override;

private:
    using Lane = ck_detector::State;

    template <int32_t M, bool Rms, bool Linked>
    void detect(int32_t firstFrame, int32_t count);
    // The detect routine for several detectors at once, one loop carrying all of them.
    template <int32_t M, bool Rms, bool Linked>
    static void detectTogether(CK_ModuleBase* const* modules, int moduleCount, int32_t firstFrame,
                               int32_t count);
    // Up to four peak detectors through the detector kernel's SSE2 form.
    template <int32_t M, bool Linked>
    static void detectInLanes(CK_ModuleBase* const* modules, int n, int32_t firstFrame, int32_t count);
    template <int N, int32_t M, bool Rms, bool Linked>
    static void detectSideBySide(CK_ModuleBase* const* modules, int32_t firstFrame, int32_t count);
    template <int32_t M>
    Lane begin();
    void finish(const Lane& s);
    void silent(int32_t firstFrame, int32_t count);

    template <int32_t M>
    void updateCoefficients();
    template <int32_t M, bool Rms>
    void useDetector();
    void selectDetector(int32_t mode, bool rms);
    void setEnabledState();
    // Sets the RMS window (bounded by the ring); a new length restarts the ring from silence.
    // Answers whether the length changed.
    bool setWindow(int32_t length);
    int32_t samplesFor(float volts) const;

    std::unique_ptr<float[]> ring_;
    int32_t ringCapacity_ = 0;
    int32_t sampleRate_ = 44100;
    float u_ = 441.0f; // samples per volt of time (10 ms)

    float attack_ = 0, release_ = 5.0f;
    float attackCoef_ = 0, releaseCoef_ = 0, accelStep_ = 0, accel_ = 0;
    bool dirty_ = true;

    float held_ = 0, windowPeak_ = 0, previous_ = 0, envelope_ = 0;
    int32_t holdLength_ = 1, holdCount_ = 1;

    int32_t ringIndex_ = 0, window_ = 1, ringLength_ = 1, divisor_ = 1;
    double sum_ = 0;

    int32_t mode_ = kAccelerating, rms_ = 0, enable0_ = 1, enable1_ = 0;
    bool linked_ = false;
    int32_t announced_ = -1, wanted_ = -1;
    int32_t idleCountdown_ = 0;
    int32_t displayInterval_ = 630;
    uint32_t nextDisplay_ = 0;
};
