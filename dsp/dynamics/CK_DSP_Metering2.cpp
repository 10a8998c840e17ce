#include "dsp/dynamics/CK_DSP_Metering2.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "modules/CK_ModuleGroup.h"

namespace {

constexpr float kMinTime = 0.001f;    // shortest time the exponential forms accept, volts
constexpr float kLift = 1.0e-12f;     // keeps the envelope of silence tiny but normal
constexpr float kFlush = 1.0e-18f;    // adding and subtracting it flushes vanishing values to zero

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

template <int32_t M, bool Rms, bool Linked>
inline float CK_DSP_Metering2::step(Lane& s, float a, float b)
{
    if (--s.holdCount == 0) {
        if constexpr (M == kAccelerating) {
            // A release that has nearly arrived starts its next acceleration gently.
            if ((s.env - s.held) * s.accel < 0.05f)
                s.accel *= 0.1f;
        }
        s.held = s.windowPeak;
        s.windowPeak = 0.0f;
        s.holdCount = s.holdLength;
    }

    float level = std::fabs(a);
    if constexpr (Linked)
        level = std::max(level, std::fabs(b));
    if constexpr (Rms) {
        const float square = level * level;
        s.sum = s.sum - s.ring[s.ringIndex] + square;
        s.ring[s.ringIndex] = square;
        if (--s.ringIndex < 0)
            s.ringIndex = s.window - 1;
        // Half the window as divisor: a steady sine reads its peak value. The running sum can
        // drift a hair below zero after loud passages; the square root must not see that.
        level = static_cast<float>(std::sqrt(std::max(s.sum, 0.0) / s.divisor));
    }

    if (level >= s.held) {
        s.held = level;
        s.windowPeak = 0.0f;
        s.holdCount = s.holdLength;
    } else {
        s.windowPeak = raisedPeak(level, s.previous, s.windowPeak);
    }
    s.previous = level;

    float env = s.env;
    if constexpr (M == kExponential) {
        const float d = env - s.held;
        env = s.held + d * (d < 0.0f ? s.attackCoef : s.releaseCoef);
        env = (env + kFlush) - kFlush;
    } else if constexpr (M == kLinear) {
        if (env < s.held) {
            const float g = env + s.attackCoef + kLift;
            env = g < s.held ? g : s.held;
        } else {
            const float g = env - s.releaseCoef + kLift;
            env = g > s.held ? g : s.held;
        }
    } else {
        const float d = env - s.held;
        if (d <= 0.0f) {
            env = env - d * s.attackCoef + kLift;
            s.accel = 0.0f;
        } else {
            // The release starts slowly and speeds up the longer it lasts.
            s.accel += s.accelStep;
            env = env - s.accel * d + kLift;
        }
    }
    s.env = env;
    return env;
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
            out[k][i] = step<M, Rms, Linked>(s[k], a[k][i], b[k][i]);
    for (int k = 0; k < N; ++k)
        d[k]->finish(s[k]);
}

template <int32_t M, bool Rms, bool Linked>
void CK_DSP_Metering2::detect(int32_t firstFrame, int32_t count)
{
    CK_ModuleBase* self = this;
    detectSideBySide<1, M, Rms, Linked>(&self, firstFrame, count);
}

#if defined(__SSE2__)
namespace {

inline __m128 select(__m128 mask, __m128 a, __m128 b)
{
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}

} // namespace

template <int32_t M, bool Linked>
void CK_DSP_Metering2::detectInLanes(CK_ModuleBase* const* modules, int n, int32_t firstFrame, int32_t count)
{
    // Up to four peak detectors, one per SSE lane. Every branch of the step becomes a lane mask;
    // each lane computes exactly the step's operations on its own values. Unused lanes run on
    // silence and are never written back.
    CK_DSP_Metering2* d[4] = {};
    Lane lanes[4];
    alignas(16) float held[4] = {}, windowPeak[4] = {}, previous[4] = {}, env[4] = {}, accel[4] = {};
    alignas(16) float attack[4] = {}, release[4] = {}, accelStep[4] = {};
    // Unused lanes hold forever, so their hold never ends within a run.
    constexpr int32_t kForever = 0x7fffffff;
    alignas(16) int32_t holdCount[4] = {kForever, kForever, kForever, kForever};
    alignas(16) int32_t holdLength[4] = {kForever, kForever, kForever, kForever};
    const float* a[4];
    const float* b[4];
    float* out[4];
    static const float kSilence[CK_ModuleOwner::kMaxBlockSize] = {};
    float scratch[CK_ModuleOwner::kMaxBlockSize];
    for (int k = 0; k < 4; ++k) {
        if (k < n) {
            d[k] = static_cast<CK_DSP_Metering2*>(modules[k]);
            lanes[k] = d[k]->template begin<M>();
            const Lane& l = lanes[k];
            held[k] = l.held;
            windowPeak[k] = l.windowPeak;
            previous[k] = l.previous;
            env[k] = l.env;
            accel[k] = l.accel;
            holdCount[k] = l.holdCount;
            attack[k] = l.attackCoef;
            release[k] = l.releaseCoef;
            accelStep[k] = l.accelStep;
            holdLength[k] = l.holdLength;
            a[k] = d[k]->inputs[0] + firstFrame;
            b[k] = Linked ? d[k]->inputs[1] + firstFrame : a[k];
            out[k] = d[k]->outputs[0] + firstFrame;
        } else {
            a[k] = b[k] = kSilence;
            out[k] = scratch;
        }
    }
    __m128 vHeld = _mm_load_ps(held), vPeak = _mm_load_ps(windowPeak), vPrevious = _mm_load_ps(previous);
    __m128 vEnv = _mm_load_ps(env), vAccel = _mm_load_ps(accel);
    const __m128 vAttack = _mm_load_ps(attack), vRelease = _mm_load_ps(release), vStep = _mm_load_ps(accelStep);
    __m128i vCount = _mm_load_si128(reinterpret_cast<const __m128i*>(holdCount));
    const __m128i vLength = _mm_load_si128(reinterpret_cast<const __m128i*>(holdLength));
    const __m128 zero = _mm_setzero_ps(), lift = _mm_set1_ps(kLift), flush = _mm_set1_ps(kFlush);
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128i one = _mm_set1_epi32(1);

    for (int32_t i = 0; i < count; ++i) {
        // The hold window ends: its peak becomes the held level. That happens once per hold
        // length, so it stays out of the per-frame chain of operations.
        vCount = _mm_sub_epi32(vCount, one);
        const __m128 ends = _mm_castsi128_ps(_mm_cmpeq_epi32(vCount, _mm_setzero_si128()));
        if (_mm_movemask_ps(ends) != 0) {
            if constexpr (M == kAccelerating) {
                const __m128 gentle = _mm_and_ps(
                    ends, _mm_cmplt_ps(_mm_mul_ps(_mm_sub_ps(vEnv, vHeld), vAccel), _mm_set1_ps(0.05f)));
                vAccel = select(gentle, _mm_mul_ps(vAccel, _mm_set1_ps(0.1f)), vAccel);
            }
            vHeld = select(ends, vPeak, vHeld);
            vPeak = _mm_andnot_ps(ends, vPeak);
            vCount = _mm_castps_si128(select(ends, _mm_castsi128_ps(vLength), _mm_castsi128_ps(vCount)));
        }

        __m128 level = _mm_and_ps(_mm_setr_ps(a[0][i], a[1][i], a[2][i], a[3][i]), magnitude);
        if constexpr (Linked)
            level = _mm_max_ps(_mm_and_ps(_mm_setr_ps(b[0][i], b[1][i], b[2][i], b[3][i]), magnitude), level);

        const __m128 tops = _mm_cmpge_ps(level, vHeld);
        const __m128 rises = _mm_cmpgt_ps(level, vPrevious);
        const __m128 raised = select(rises, _mm_max_ps(level, vPeak), vPeak);
        vHeld = select(tops, level, vHeld);
        vPeak = _mm_andnot_ps(tops, raised);
        vCount = _mm_castps_si128(select(tops, _mm_castsi128_ps(vLength), _mm_castsi128_ps(vCount)));
        vPrevious = level;

        if constexpr (M == kExponential) {
            const __m128 diff = _mm_sub_ps(vEnv, vHeld);
            const __m128 coef = select(_mm_cmplt_ps(diff, zero), vAttack, vRelease);
            vEnv = _mm_add_ps(vHeld, _mm_mul_ps(diff, coef));
            vEnv = _mm_sub_ps(_mm_add_ps(vEnv, flush), flush);
        } else if constexpr (M == kLinear) {
            const __m128 below = _mm_cmplt_ps(vEnv, vHeld);
            const __m128 up = _mm_add_ps(_mm_add_ps(vEnv, vAttack), lift);
            const __m128 down = _mm_add_ps(_mm_sub_ps(vEnv, vRelease), lift);
            const __m128 rising = select(_mm_cmplt_ps(up, vHeld), up, vHeld);
            const __m128 falling = select(_mm_cmpgt_ps(down, vHeld), down, vHeld);
            vEnv = select(below, rising, falling);
        } else {
            const __m128 diff = _mm_sub_ps(vEnv, vHeld);
            const __m128 attacking = _mm_cmple_ps(diff, zero);
            const __m128 attacked = _mm_add_ps(_mm_sub_ps(vEnv, _mm_mul_ps(diff, vAttack)), lift);
            const __m128 sped = _mm_add_ps(vAccel, vStep);
            const __m128 released = _mm_add_ps(_mm_sub_ps(vEnv, _mm_mul_ps(sped, diff)), lift);
            vEnv = select(attacking, attacked, released);
            vAccel = _mm_andnot_ps(attacking, sped);
        }

        alignas(16) float e[4];
        _mm_store_ps(e, vEnv);
        out[0][i] = e[0];
        out[1][i] = e[1];
        out[2][i] = e[2];
        out[3][i] = e[3];
    }

    _mm_store_ps(held, vHeld);
    _mm_store_ps(windowPeak, vPeak);
    _mm_store_ps(previous, vPrevious);
    _mm_store_ps(env, vEnv);
    _mm_store_ps(accel, vAccel);
    _mm_store_si128(reinterpret_cast<__m128i*>(holdCount), vCount);
    for (int k = 0; k < n; ++k) {
        Lane& l = lanes[k];
        l.held = held[k];
        l.windowPeak = windowPeak[k];
        l.previous = previous[k];
        l.env = env[k];
        l.accel = accel[k];
        l.holdCount = holdCount[k];
        d[k]->finish(l);
    }
}
#endif

template <int32_t M, bool Rms, bool Linked>
void CK_DSP_Metering2::detectTogether(CK_ModuleBase* const* modules, int moduleCount, int32_t firstFrame,
                                      int32_t count)
{
#if defined(__SSE2__)
    if constexpr (!Rms) {
        for (; moduleCount > 0; modules += 4, moduleCount -= 4)
            detectInLanes<M, Linked>(modules, moduleCount < 4 ? moduleCount : 4, firstFrame, count);
        return;
    }
#endif
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
