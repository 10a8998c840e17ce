#include "dsp/dynamics/CK_DSP_Metering2.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

constexpr float kMinTime = 0.001f;    // shortest time the exponential forms accept, volts
constexpr float kLift = 1.0e-12f;     // keeps the envelope of silence tiny but normal
constexpr float kFlush = 1.0e-18f;    // adding and subtracting it flushes vanishing values to zero

} // namespace

CK_DSP_Metering2::CK_DSP_Metering2(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
}

void CK_DSP_Metering2::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if (pin == 1 && source)
        linked_ = true;
}

int32_t CK_DSP_Metering2::samplesFor(float volts) const
{
    // int(u x time + 1), kept between 1 and a billion samples whatever the time.
    const float samples = u_ * volts + 1.0f;
    if (!(samples >= 1.0f))
        return 1;
    return samples < 1.0e9f ? static_cast<int32_t>(samples) : 1000000000;
}

void CK_DSP_Metering2::prepare()
{
    sampleRate_ = owner->sampleRateHz;
    u_ = static_cast<float>(sampleRate_) / 100.0f;
    displayInterval_ = static_cast<int32_t>(u_ * 1.4285715f);
    if (!ring_) {
        ringCapacity_ = samplesFor(kMaxWindowVolts);
        ring_.reset(new (std::nothrow) float[static_cast<size_t>(ringCapacity_)]);
        if (!ring_)
            ringCapacity_ = 0;
    }
    if (ring_)
        std::memset(ring_.get(), 0, sizeof(float) * static_cast<size_t>(ringCapacity_));

    enable0_ = 1;
    enable1_ = 0;
    mode_ = kAccelerating;
    rms_ = 0;
    attack_ = 0.0f;
    release_ = 5.0f;
    dirty_ = true;
    held_ = windowPeak_ = previous_ = envelope_ = accel_ = 0.0f;
    holdLength_ = samplesFor(5.0f);
    holdCount_ = 1;
    ringLength_ = 0;
    setWindow(samplesFor(20.0f));
    nextDisplay_ = 0;
    announced_ = wanted_ = -1;
    idleCountdown_ = blockSize;
    selectDetector(kExponential, false);
}

void CK_DSP_Metering2::clearState()
{
    nextDisplay_ = 0;
}

bool CK_DSP_Metering2::setWindow(int32_t length)
{
    if (length > ringCapacity_)
        length = ringCapacity_;
    if (length < 1)
        length = 1;
    window_ = length;
    divisor_ = length / 2 > 0 ? length / 2 : 1;
    if (length == ringLength_)
        return false;
    ringLength_ = length;
    ringIndex_ = 0;
    sum_ = 0.0;
    if (ring_)
        std::memset(ring_.get(), 0, sizeof(float) * static_cast<size_t>(length));
    return true;
}

void CK_DSP_Metering2::handleEvent(const CK_Event& event, int32_t)
{
    idleCountdown_ = blockSize;
    const float v = event.floatValue;
    switch (event.pin) {
    case 2:
        attack_ = v;
        dirty_ = true;
        break;
    case 3:
        holdLength_ = samplesFor(v);
        break;
    case 4:
        release_ = v;
        dirty_ = true;
        break;
    case 7:
        setWindow(samplesFor(v));
        break;
    case 8: {
        // The sensitivity frequency sets hold, release and RMS window to its period; frequencies
        // below 2 Hz (and nonsense) take the longest period the ring holds.
        const float period = v > 10.0f / kMaxWindowVolts ? 10.0f / v : kMaxWindowVolts;
        release_ = period;
        holdLength_ = samplesFor(period);
        if (setWindow(samplesFor(period)))
            sendEvent(clock, 1, 0, roundedValue(period), period);
        dirty_ = true;
        break;
    }
    case 5:
        if (event.intValue >= kAccelerating && event.intValue <= kLinear)
            mode_ = event.intValue;
        setEnabledState();
        break;
    case 6:
        rms_ = event.intValue;
        setEnabledState();
        break;
    case 9:
        enable0_ = event.intValue;
        setEnabledState();
        break;
    case 10:
        enable1_ = event.intValue;
        setEnabledState();
        break;
    default:
        return;
    }
    if (enable0_ + enable1_ != 0) {
        wanted_ = 1;
        selectDetector(mode_, rms_ != 0);
    }
}

void CK_DSP_Metering2::setEnabledState()
{
    if (enable0_ + enable1_ != 0) {
        dirty_ = true;
        wanted_ = 1;
    } else {
        useRoutine<&CK_DSP_Metering2::silent>();
        wanted_ = 0;
        display(0, displayOption[0], 0.0f);
    }
    if (announced_ == 0)
        announced_ = -1;
}

template <int32_t M, bool Rms>
void CK_DSP_Metering2::useDetector()
{
    if (linked_)
        useRoutine<&CK_DSP_Metering2::detect<M, Rms, true>>();
    else
        useRoutine<&CK_DSP_Metering2::detect<M, Rms, false>>();
}

void CK_DSP_Metering2::selectDetector(int32_t mode, bool rms)
{
    if (!inputs[0]) {
        useRoutine<&CK_DSP_Metering2::silent>();
        return;
    }
    rms = rms && ring_;
    switch (mode) {
    case kAccelerating:
        rms ? useDetector<kAccelerating, true>() : useDetector<kAccelerating, false>();
        break;
    case kExponential:
        rms ? useDetector<kExponential, true>() : useDetector<kExponential, false>();
        break;
    case kLinear:
        rms ? useDetector<kLinear, true>() : useDetector<kLinear, false>();
        break;
    default:
        break;
    }
}

template <int32_t M>
void CK_DSP_Metering2::updateCoefficients()
{
    if (!dirty_)
        return;
    dirty_ = false;
    const double fs = sampleRate_;
    const double attack = std::max(attack_, kMinTime);
    const double release = std::max(release_, kMinTime);
    if constexpr (M == kExponential) {
        attackCoef_ = static_cast<float>(std::exp(-600.0 / (fs * attack)));
        releaseCoef_ = static_cast<float>(std::exp(-600.0 / (fs * release)));
    } else if constexpr (M == kLinear) {
        // Full scale per set time.
        attackCoef_ = 1.0f / (u_ * std::max(attack_, 0.0f) + 1.0f);
        releaseCoef_ = 1.0f / (u_ * std::max(release_, 0.0f) + 1.0f);
    } else {
        attackCoef_ = static_cast<float>(1.0 - std::exp(-600.0 / (fs * attack)));
        const double r = 1.0 - std::exp(-600.0 / (fs * release));
        accelStep_ = static_cast<float>(r / (release * 200.0));
    }
}

template <int32_t M, bool Rms, bool Linked>
void CK_DSP_Metering2::detect(int32_t firstFrame, int32_t count)
{
    if (wanted_ != announced_) {
        sendEvent(clock, 0, wanted_, 0, 0.0f);
        announced_ = wanted_;
    }
    updateCoefficients<M>();

    const float* a = inputs[0] + firstFrame;
    const float* b = Linked ? inputs[1] + firstFrame : nullptr;
    float* out = outputs[0] + firstFrame;
    float* ring = ring_.get();
    const float attackCoef = attackCoef_, releaseCoef = releaseCoef_, accelStep = accelStep_;
    float held = held_, windowPeak = windowPeak_, previous = previous_, env = envelope_, accel = accel_;
    int32_t holdCount = holdCount_, ringIndex = ringIndex_;
    double sum = sum_;

    for (int32_t i = 0; i < count; ++i) {
        if (--holdCount == 0) {
            if constexpr (M == kAccelerating) {
                // A release that has nearly arrived starts its next acceleration gently.
                if ((env - held) * accel < 0.05f)
                    accel *= 0.1f;
            }
            held = windowPeak;
            windowPeak = 0.0f;
            holdCount = holdLength_;
        }

        float level = std::fabs(a[i]);
        if constexpr (Linked)
            level = std::max(level, std::fabs(b[i]));
        if constexpr (Rms) {
            const float square = level * level;
            sum = sum - ring[ringIndex] + square;
            ring[ringIndex] = square;
            if (--ringIndex < 0)
                ringIndex = window_ - 1;
            // Half the window as divisor: a steady sine reads its peak value. The running sum can
            // drift a hair below zero after loud passages; the square root must not see that.
            level = static_cast<float>(std::sqrt(std::max(sum, 0.0) / divisor_));
        }

        if (level >= held) {
            held = level;
            windowPeak = 0.0f;
            holdCount = holdLength_;
        } else {
            windowPeak = raisedPeak(level, previous, windowPeak);
        }
        previous = level;

        if constexpr (M == kExponential) {
            const float d = env - held;
            env = held + d * (d < 0.0f ? attackCoef : releaseCoef);
            env = (env + kFlush) - kFlush;
        } else if constexpr (M == kLinear) {
            if (env < held) {
                const float g = env + attackCoef + kLift;
                env = g < held ? g : held;
            } else {
                const float g = env - releaseCoef + kLift;
                env = g > held ? g : held;
            }
        } else {
            const float d = env - held;
            if (d <= 0.0f) {
                env = env - d * attackCoef + kLift;
                accel = 0.0f;
            } else {
                // The release starts slowly and speeds up the longer it lasts.
                accel += accelStep;
                env = env - accel * d + kLift;
            }
        }
        out[i] = env;
    }

    held_ = held;
    windowPeak_ = windowPeak;
    previous_ = previous;
    envelope_ = env;
    accel_ = accel;
    holdCount_ = holdCount;
    ringIndex_ = ringIndex;
    sum_ = sum;

    if (displayTarget[0] != 0 && frameBefore(nextDisplay_, clock)) {
        nextDisplay_ = clock + static_cast<uint32_t>(displayInterval_);
        display(0, displayOption[0], env);
    }
}

void CK_DSP_Metering2::silent(int32_t firstFrame, int32_t count)
{
    if (announced_ != 0) {
        sendEvent(clock, 0, 0, 0, 0.0f);
        announced_ = 0;
    }
    std::memset(outputs[0] + firstFrame, 0, sizeof(float) * static_cast<size_t>(count));
    idleCountdown_ -= count;
    if (idleCountdown_ < 0)
        rest();
}
