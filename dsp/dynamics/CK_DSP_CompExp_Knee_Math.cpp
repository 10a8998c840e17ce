#include "dsp/dynamics/CK_DSP_CompExp_Knee_Math.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr float kMinRatio = 0.1f;

} // namespace

CK_DSP_CompExp_Knee_Math::CK_DSP_CompExp_Knee_Math(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
}

void CK_DSP_CompExp_Knee_Math::prepare()
{
    inputChanging_ = 1;
    idleCountdown_ = blockSize;
    announced_ = -1;
    threshold_ = -0.003f;
    bowed_ = false;
    knee_ = 1.0f;
    bow_ = 3.0f;
    setRatio(800.0f);
    active_ = 1;
    selectRoutine();
}

void CK_DSP_CompExp_Knee_Math::handleEvent(const CK_Event& event, int32_t)
{
    idleCountdown_ = blockSize;
    switch (event.pin) {
    case 0:
        inputChanging_ = event.kind;
        break;
    case 1:
        // Never exactly 0, so that the level / threshold quotient stays finite.
        threshold_ = event.floatValue - 0.0001f;
        break;
    case 2:
        setKnee(event.floatValue);
        selectRoutine();
        break;
    case 3:
        setRatio(event.floatValue * 10.0f);
        break;
    case 19:
        active_ = event.intValue;
        if (!active_)
            announced_ = -1;
        selectRoutine();
        break;
    default:
        break;
    }
    // A static input: announce the output as static again so that readers take the new value.
    if (inputChanging_ == 0)
        announced_ = -1;
}

void CK_DSP_CompExp_Knee_Math::setKnee(float volts)
{
    const float a = volts * 0.1f;
    if (a <= 0.5f) {
        bowed_ = false;
        knee_ = 2.0f * a;
    } else {
        bowed_ = true;
        knee_ = 2.0f * (a - 0.5f);
        bow_ = 12.0f * knee_ * knee_ + 3.0f;
    }
}

void CK_DSP_CompExp_Knee_Math::setRatio(float ratio)
{
    ratio_ = ratio;
    // Between the threshold and full scale the divisor always lies between 1 and R. Above full
    // scale the knee formulas run on past that range and could reach 0 (an infinite gain);
    // holding the divisor at the smaller of 1 and R there keeps the gain finite. The floor never
    // goes below the smallest ratio of the parameter range.
    minDivisor_ = std::max(std::min(ratio, 1.0f), kMinRatio);
}

void CK_DSP_CompExp_Knee_Math::selectRoutine()
{
    if (!active_ || !inputs[0])
        useRoutine<&CK_DSP_CompExp_Knee_Math::silent>();
    else if (bowed_)
        useRoutine<&CK_DSP_CompExp_Knee_Math::compute<true>>();
    else
        useRoutine<&CK_DSP_CompExp_Knee_Math::compute<false>>();
}

template <bool Bowed>
inline float CK_DSP_CompExp_Knee_Math::gainLaw(float level, float t, float k, float h, float r,
                                               float minDivisor)
{
    // Written so that a NaN level counts as below the threshold.
    const float x = level > t ? level : t;
    const float q = x / t; // 1 at the threshold, 0 at full scale
    float d;
    if constexpr (Bowed)
        d = (q * k * h * r + r) * (1.0f - q) + q;
    else
        d = (1.0f - q * k) * r + q * k;
    d = std::max(d, minDivisor);
    const float change = (x - t) / d + t - x;
    return change < kMaxRise ? change : kMaxRise;
}

template <bool Bowed>
void CK_DSP_CompExp_Knee_Math::compute(int32_t firstFrame, int32_t count)
{
    if (inputChanging_ != announced_) {
        sendEvent(clock, 0, inputChanging_, 0, 0.0f);
        announced_ = inputChanging_;
    }
    if (announced_ == 0) {
        idleCountdown_ -= count;
        if (idleCountdown_ < 0)
            flags |= kFlagResting;
    }
    gainFrames<Bowed>(inputs[0] + firstFrame, outputs[0] + firstFrame, count,
                      Law{threshold_, knee_, bow_, ratio_, minDivisor_});
}

template <bool Bowed>
void CK_DSP_CompExp_Knee_Math::gainFrames(const float* in, float* out, int32_t count, const Law& law)
{
    const float t = law.t, k = law.k, h = law.h, r = law.r, minDivisor = law.minDivisor;
    int32_t i = 0;
#if defined(__SSE2__)
    // Four frames at a time; max keeps the operand order of the scalar law, so NaN is handled alike.
    const __m128 vt = _mm_set1_ps(t), vk = _mm_set1_ps(k), vh = _mm_set1_ps(h), vr = _mm_set1_ps(r);
    const __m128 vMin = _mm_set1_ps(minDivisor), one = _mm_set1_ps(1.0f), vMaxRise = _mm_set1_ps(kMaxRise);
    for (; i + 4 <= count; i += 4) {
        const __m128 x = _mm_max_ps(_mm_loadu_ps(in + i), vt);
        const __m128 q = _mm_div_ps(x, vt);
        __m128 d;
        if constexpr (Bowed)
            d = _mm_add_ps(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_mul_ps(_mm_mul_ps(q, vk), vh), vr), vr),
                                      _mm_sub_ps(one, q)),
                           q);
        else
            d = _mm_add_ps(_mm_mul_ps(_mm_sub_ps(one, _mm_mul_ps(q, vk)), vr), _mm_mul_ps(q, vk));
        d = _mm_max_ps(vMin, d);
        const __m128 change = _mm_sub_ps(_mm_add_ps(_mm_div_ps(_mm_sub_ps(x, vt), d), vt), x);
        _mm_storeu_ps(out + i, _mm_min_ps(change, vMaxRise));
    }
#endif
    for (; i < count; ++i)
        out[i] = gainLaw<Bowed>(in[i], t, k, h, r, minDivisor);
}

template void CK_DSP_CompExp_Knee_Math::gainFrames<false>(const float*, float*, int32_t, const Law&);
template void CK_DSP_CompExp_Knee_Math::gainFrames<true>(const float*, float*, int32_t, const Law&);

void CK_DSP_CompExp_Knee_Math::silent(int32_t firstFrame, int32_t count)
{
    if (announced_ != 0) {
        sendEvent(clock, 0, 0, 0, 0.0f);
        announced_ = 0;
    }
    idleCountdown_ -= count;
    if (idleCountdown_ < 0)
        rest();
    std::memset(outputs[0] + firstFrame, 0, sizeof(float) * static_cast<size_t>(count));
}
