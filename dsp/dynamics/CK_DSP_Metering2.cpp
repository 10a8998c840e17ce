#include "dsp/dynamics/CK_DSP_Metering2.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "modules/CK_ModuleGroup.h"

namespace {

constexpr float kMinTime = 0.001f; // shortest time the exponential forms accept, volts

// The envelope as the editor control of the display output receives it: a value under the
// output's registered id.
CK_LinkMessage levelMessage(int8_t id, float envelope)
{
    CK_LinkMessage message;
    message.id = id;
    message.value = envelope;
    message.payload = id;
    return message;
}

} // namespace

CK_DSP_Metering2::CK_DSP_Metering2(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
}

void CK_DSP_Metering2::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if (pin == kInB && source)
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
    case kInAttack:
        attack_ = v;
        dirty_ = true;
        break;
    case kInHold:
        holdLength_ = samplesFor(v);
        break;
    case kInRelease:
        release_ = v;
        dirty_ = true;
        break;
    case kInWindow:
        setWindow(samplesFor(v));
        break;
    case kInSensitivity: {
        // The sensitivity frequency sets hold, release and RMS window to its period; frequencies
        // below 2 Hz (and nonsense) take the longest period the ring holds.
        const float period = v > 10.0f / kMaxWindowVolts ? 10.0f / v : kMaxWindowVolts;
        release_ = period;
        holdLength_ = samplesFor(period);
        if (setWindow(samplesFor(period)))
            sendEvent(clock, kOutPeriod, 0, roundedValue(period), period);
        dirty_ = true;
        break;
    }
    case kInMode:
        if (event.intValue >= kAccelerating && event.intValue <= kLinear)
            mode_ = event.intValue;
        setEnabledState();
        break;
    case kInRms:
        rms_ = event.intValue;
        setEnabledState();
        break;
    case kInEnable0:
        enable0_ = event.intValue;
        setEnabledState();
        break;
    case kInEnable1:
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
        display(0, levelMessage(displayOption[0], 0.0f));
    }
    if (announced_ == 0)
        announced_ = -1;
}

template <int32_t M, bool Rms>
void CK_DSP_Metering2::useDetector()
{
    if (linked_)
        useRoutine<&CK_DSP_Metering2::detect<M, Rms, true>, &CK_DSP_Metering2::detectTogether<M, Rms, true>>();
    else
        useRoutine<&CK_DSP_Metering2::detect<M, Rms, false>, &CK_DSP_Metering2::detectTogether<M, Rms, false>>();
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

template <int32_t M>
CK_DSP_Metering2::Lane CK_DSP_Metering2::begin()
{
    if (wanted_ != announced_) {
        sendEvent(clock, 0, wanted_, 0, 0.0f);
        announced_ = wanted_;
    }
    updateCoefficients<M>();
    return Lane{held_,       windowPeak_,  previous_,  envelope_, accel_,      holdCount_,
                ringIndex_,  sum_,         attackCoef_, releaseCoef_, accelStep_, holdLength_,
                window_,     divisor_,     ring_.get()};
}

void CK_DSP_Metering2::finish(const Lane& s)
{
    held_ = s.held;
    windowPeak_ = s.windowPeak;
    previous_ = s.previous;
    envelope_ = s.env;
    accel_ = s.accel;
    holdCount_ = s.holdCount;
    ringIndex_ = s.ringIndex;
    sum_ = s.sum;

    if (displayTarget[0] != 0 && frameBefore(nextDisplay_, clock)) {
        nextDisplay_ = clock + static_cast<uint32_t>(displayInterval_);
        display(0, levelMessage(displayOption[0], s.env));
    }
}

template <int N, int32_t M, bool Rms, bool Linked>
void CK_DSP_Metering2::detectSideBySide(CK_ModuleBase* const* modules, int32_t firstFrame, int32_t count)
{
    CK_DSP_Metering2* d[N];
    Lane s[N];
    const float* a[N];
    const float* b[N];
    float* out[N];
    for (int k = 0; k < N; ++k) {
        d[k] = static_cast<CK_DSP_Metering2*>(modules[k]);
        s[k] = d[k]->template begin<M>();
        a[k] = d[k]->inputs[0] + firstFrame;
        b[k] = Linked ? d[k]->inputs[1] + firstFrame : a[k];
        out[k] = d[k]->outputs[0] + firstFrame;
    }
    for (int32_t i = 0; i < count; ++i)
        for (int k = 0; k < N; ++k)
            out[k][i] = ck_detector::step<M, Rms, Linked>(s[k], a[k][i], b[k][i]);
    for (int k = 0; k < N; ++k)
        d[k]->finish(s[k]);
}

template <int32_t M, bool Rms, bool Linked>
void CK_DSP_Metering2::detect(int32_t firstFrame, int32_t count)
{
    CK_ModuleBase* self = this;
    detectSideBySide<1, M, Rms, Linked>(&self, firstFrame, count);
}

template <int32_t M, bool Linked>
void CK_DSP_Metering2::detectInLanes(CK_ModuleBase* const* modules, int n, int32_t firstFrame, int32_t count)
{
    CK_DSP_Metering2* d[4] = {};
    Lane lanes[4];
    Lane* states[4] = {};
    const float* a[4] = {};
    const float* b[4] = {};
    float* out[4] = {};
    for (int k = 0; k < n; ++k) {
        d[k] = static_cast<CK_DSP_Metering2*>(modules[k]);
        lanes[k] = d[k]->template begin<M>();
        states[k] = &lanes[k];
        a[k] = d[k]->inputs[0] + firstFrame;
        b[k] = Linked ? d[k]->inputs[1] + firstFrame : a[k];
        out[k] = d[k]->outputs[0] + firstFrame;
    }
    ck_detector::sse2<M, Linked>(states, n, a, b, out, count);
    for (int k = 0; k < n; ++k)
        d[k]->finish(lanes[k]);
}

template <int32_t M, bool Rms, bool Linked>
void CK_DSP_Metering2::detectTogether(CK_ModuleBase* const* modules, int moduleCount, int32_t firstFrame,
                                      int32_t count)
{
    if constexpr (!Rms) {
        for (; moduleCount > 0; modules += 4, moduleCount -= 4)
            detectInLanes<M, Linked>(modules, moduleCount < 4 ? moduleCount : 4, firstFrame, count);
        return;
    }
    ck_inThreesAndTwos(modules, moduleCount, [&](auto size, CK_ModuleBase* const* batch) {
        detectSideBySide<decltype(size)::value, M, Rms, Linked>(batch, firstFrame, count);
    });
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
