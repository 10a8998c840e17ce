// Shared behaviour of the converters that turn a decibel parameter into a smoothed control signal:
// each new value ramps linearly from the current one to the converted target over a fixed time;
// the module announces kind 1 on output 0 when the ramp starts, and kind 0 once the value has been
// still for the settle time, then rests. After a program change or a graph build values jump.
// Input: 0 value in volts (dB / 10); an event on 1 restarts the move to the current target.
// Output: 0 the control signal, one value per frame.
#pragma once

#include "modules/CK_ModuleBase.h"

class CK_RampedConverter : public CK_ModuleStd {
public:
    enum Pin : int { kInValue = 0, kInRestart = 1, kOut = 0 };

    static constexpr int32_t kSettleMs = 100;

    CK_RampedConverter(CK_ModuleOwner* owner, int32_t rampMs);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;

    // The control value for a parameter value in volts.
    virtual float convert(float volts) const = 0;

    float target = 0.0f;
    float lastTarget = -1000000.0f; // forces the first value through
    float current = 0.0f;
    float step = 0.0f;
    int32_t remaining = 0;
    int32_t rampFrames = 0;
    int32_t settleFrames = 0;
    uint32_t settleDeadline = 0;
    int32_t blockCountdown = 0;
    int32_t changingAnnounced = 0;

private:
    void moveToTarget();

    void constant(int32_t firstFrame, int32_t count);
    void rampUp(int32_t firstFrame, int32_t count);
    void rampDown(int32_t firstFrame, int32_t count);
    void finishRamp(int32_t count);
    void settle(int32_t firstFrame, int32_t count);

    int32_t rampMs_;
};
