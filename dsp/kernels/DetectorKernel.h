// The level detector's per-frame step: hold, window peak, RMS window and the attack/release
// smoothing of the envelope, for peak detectors side by side. The reference steps each detector
// on its own; the SSE2 form carries up to four peak detectors in the lanes of its registers,
// every branch of the step a lane mask, each lane computing exactly the step's operations.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <emmintrin.h>

#include "dsp/kernels/KernelVariant.h"
#include "dsp/kernels/PeakRiseKernel.h"
#include "modules/CK_ModuleOwner.h"

namespace ck_detector {

// The longest run a kernel call takes: a module buffer.
constexpr int32_t kMaxFrames = CK_ModuleOwner::kMaxBlockSize;

enum Mode : int32_t { kAccelerating = 0, kExponential = 1, kLinear = 2 };

constexpr float kLift = 1.0e-12f;  // keeps the envelope of silence tiny but normal
constexpr float kFlush = 1.0e-18f; // adding and subtracting it flushes vanishing values to zero

// What a detector carries from one frame to the next, with the settings its step reads.
struct State {
    float held, windowPeak, previous, env, accel;
    int32_t holdCount, ringIndex;
    double sum;
    float attackCoef, releaseCoef, accelStep;
    int32_t holdLength, window, divisor;
    float* ring;
};

// The reference step of one detector on one frame.
template <int32_t M, bool Rms, bool Linked>
inline float step(State& s, float a, float b)
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
        s.windowPeak = ck_peak_rise::sse2(level, s.previous, s.windowPeak);
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

// The reference for n peak detectors: frames 0 .. count-1 of a[k] (and b[k] when linked) into
// out[k].
template <int32_t M, bool Linked>
void reference(State* const* states, int n, const float* const* a, const float* const* b, float* const* out,
               int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        for (int k = 0; k < n; ++k)
            out[k][i] = step<M, false, Linked>(*states[k], a[k][i], Linked ? b[k][i] : a[k][i]);
}

namespace simd {

inline __m128 select(__m128 mask, __m128 a, __m128 b)
{
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}

} // namespace simd

// Up to four peak detectors (1 <= n <= 4), one per lane. Unused lanes run on silence and are
// never written back.
template <int32_t M, bool Linked>
void sse2(State* const* states, int n, const float* const* inA, const float* const* inB, float* const* outs,
          int32_t count)
{
    using simd::select;
    alignas(16) float held[4] = {}, windowPeak[4] = {}, previous[4] = {}, env[4] = {}, accel[4] = {};
    alignas(16) float attack[4] = {}, release[4] = {}, accelStep[4] = {};
    // Unused lanes hold forever, so their hold never ends within a run.
    constexpr int32_t kForever = 0x7fffffff;
    alignas(16) int32_t holdCount[4] = {kForever, kForever, kForever, kForever};
    alignas(16) int32_t holdLength[4] = {kForever, kForever, kForever, kForever};
    const float* a[4];
    const float* b[4];
    float* out[4];
    static const float kSilence[kMaxFrames] = {};
    float scratch[kMaxFrames];
    for (int k = 0; k < 4; ++k) {
        if (k < n) {
            const State& l = *states[k];
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
            a[k] = inA[k];
            b[k] = Linked ? inB[k] : a[k];
            out[k] = outs[k];
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
        State& l = *states[k];
        l.held = held[k];
        l.windowPeak = windowPeak[k];
        l.previous = previous[k];
        l.env = env[k];
        l.accel = accel[k];
        l.holdCount = holdCount[k];
    }
}

} // namespace ck_detector
