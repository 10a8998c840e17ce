// Second-order filter shapes designed from the shared tangent, cotangent, sine and cosine tables,
// shared by the equaliser's coefficient module and the static filter. Coefficients follow
// y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] - a1 y[n-1] - a2 y[n-2].
#pragma once

#include <cmath>
#include <cstdint>

#include "modules/CK_LookupTables.h"

struct CK_BiQuad {
    float b0, b1, b2, a1, a2;
};

namespace ck_biquad {

// Table entries per unit of the exponential-axis pitch value (2048 entries over 2.3 units).
constexpr float kExpIndexScale = 890.43475f;
constexpr int32_t kLastInterval = CK_LookupTables::kAngleEntries - 2; // entries i and i + 1 exist
// The linear tables end at the Nyquist frequency itself, where the tangent has its pole and every
// shape degenerates; positions stop at the entry below it (0.4998 fs), the last usable design point.
constexpr float kLinearTop = static_cast<float>(kLastInterval);
// The exponential tables already hold at most 0.99 fs/2, so their whole range is usable.
constexpr float kExponentialTop = static_cast<float>(kLastInterval + 1);

// Resonance range tables, indexed 0..7.
constexpr float kResA[8] = {0.985f, 0.902f, 0.812f, 0.7415f, 0.687f, 0.645f, 0.6115f, 0.5845f};
constexpr float kResB[8] = {1.0f, 0.48f, 0.34f, 0.275f, 0.237f, 0.213f, 0.196f, 0.184f};
constexpr float kResC3[8] = {0.85f, 0.61f, 0.5195f, 0.4715f, 0.4413f, 0.4203f, 0.405f, 0.3931f};
constexpr float kResE[8] = {1.0f, 0.488f, 0.344f, 0.277f, 0.228f, 0.213f, 0.199f, 0.182f};
constexpr float kResF[8] = {0.85f, 0.612f, 0.5215f, 0.473f, 0.44f, 0.4204f, 0.4057f, 0.3937f};

inline int32_t clampResonanceIndex(int32_t s)
{
    return s < 0 ? 0 : (s > 7 ? 7 : s);
}

// A position on a table: entry i and the fraction towards entry i + 1.
struct Position {
    int32_t i;
    float frac;
};

// Keeps every lookup inside the table: negative positions (and NaN) go to 0, positions past the
// top go to the top; inside that range the interpolation is unchanged.
inline Position clampedPosition(float x, float top)
{
    if (!(x > 0.0f))
        x = 0.0f;
    if (x > top)
        x = top;
    int32_t i = static_cast<int32_t>(x);
    if (i > kLastInterval)
        i = kLastInterval;
    return {i, x - static_cast<float>(i)};
}

inline float lookup(const float* table, Position p)
{
    return table[p.i] + (table[p.i + 1] - table[p.i]) * p.frac;
}

// The four tables of one frequency axis and how a frequency input value becomes a position on it.
struct Axis {
    const float* tan;
    const float* cot;
    const float* sin;
    const float* cos;
    float scale;  // linear axis: table entries per input unit
    float offset; // exponential axis: added to the input before scaling
    float top;

    Position position(float v) const { return clampedPosition((v + offset) * scale, top); }

    // Linear axis: the input is tens of hertz; 2048 entries span 0..fs/2.
    static Axis linear(const CK_LookupTables& t, float linearIndexScale)
    {
        return {t.unitTan, t.unitCot, t.unitSin, t.unitCos, linearIndexScale, 0.0f, kLinearTop};
    }
    // Exponential axis: the input is a pitch value v with f = 13.75 * 2^(10 v) Hz.
    static Axis exponential(const CK_LookupTables& t)
    {
        return {t.warpTan, t.warpCot, t.warpSin, t.warpCos, kExpIndexScale, 1.0f, kExponentialTop};
    }
};

// 2048 / (0.05 fs): the 0.05 is taken as a float, the division in double.
inline float linearIndexScale(int32_t sampleRateHz)
{
    return static_cast<float>(2048.0 / (static_cast<double>(0.05f) * sampleRateHz));
}

// Per-design values of the shapes that read the resonance once per design.
inline float dampingV(float tableValue, float r)
{
    return static_cast<float>(1.5 * (1.01 - static_cast<double>(tableValue) * r));
}
inline float qFactor(float tableValue, float r)
{
    const float q = tableValue * r + 0.9f;
    const float q2 = q * q;
    return q2 * q2;
}
inline float alphaFactor(float tableValue, float r)
{
    return std::pow(tableValue * r + 1.0f, -8.0f);
}
inline float resonatorRadius(float r)
{
    const float d = 1.0f - r;
    return 1.0f - d * d;
}
inline float notchFactor(float r)
{
    const float t = 2.0f * r;
    const float t2 = t * t;
    return 1.0f / (t2 * t2 * t2 + 0.001f);
}

// Type 1: low-pass from the cotangent and a damping V.
inline CK_BiQuad lowPassV(float ct, float v)
{
    const float ct2 = ct * ct;
    const float d = 1.0f / (ct2 + v * ct + 1.0f);
    return {d, 2.0f * d, d, 2.0f * (1.0f - ct2) * d, (ct2 - v * ct + 1.0f) * d};
}

// Type 2: low-pass from the tangent and Q.
inline CK_BiQuad lowPassQ(float k, float q)
{
    const float k2 = k * k;
    const float kq = k / q;
    const float d = 1.0f / (k2 + kq + 1.0f);
    const float b = k2 * d;
    return {b, 2.0f * b, b, 2.0f * (k2 - 1.0f) * d, (k2 - kq + 1.0f) * d};
}

// Type 3: low-pass from sine and cosine; m = (C3 r + 1)^-8.
inline CK_BiQuad lowPassSC(float s, float co, float m)
{
    const float alpha = s * m;
    const float n = 1.0f / (1.0f + alpha);
    const float b = (1.0f - co) * n;
    return {0.5f * b, b, 0.5f * b, -2.0f * co * n, (1.0f - alpha) * n};
}

// Type 4: high-pass from the tangent and a damping V.
inline CK_BiQuad highPassV(float k, float v)
{
    const float k2 = k * k;
    const float d = 1.0f / (k2 + v * k + 1.0f);
    return {d, -2.0f * d, d, 2.0f * (k2 - 1.0f) * d, (k2 - v * k + 1.0f) * d};
}

// Type 5: high-pass from the cotangent and Q.
inline CK_BiQuad highPassQ(float ct, float q)
{
    const float ct2 = ct * ct;
    const float cq = ct / q;
    const float d = 1.0f / (ct2 + cq + 1.0f);
    const float b = ct2 * d;
    return {b, -2.0f * b, b, 2.0f * (1.0f - ct2) * d, (ct2 - cq + 1.0f) * d};
}

// Type 6: high-pass with inverted polarity from sine and cosine; m = (F r + 1)^-8.
inline CK_BiQuad highPassInvertedSC(float s, float co, float m)
{
    const float alpha = s * m;
    const float n = 1.0f / (1.0f + alpha);
    const float b = (1.0f + co) * n;
    return {-0.5f * b, b, -0.5f * b, -2.0f * co * n, (1.0f - alpha) * n};
}

// Type 7: two-pole resonator of radius rho.
inline CK_BiQuad resonator(float co, float rho)
{
    return {1.0f - rho, 0.0f, -rho * (1.0f - rho), -2.0f * rho * co, rho * rho};
}

// Type 8: notch; g = 1 / ((2r)^6 + 0.001).
inline CK_BiQuad notch(float s, float co, float g)
{
    const float alpha = s * g;
    const float n = 1.0f / (1.0f + alpha);
    const float b1 = -2.0f * co * n;
    return {n, b1, n, b1, (1.0f - alpha) * n};
}

// Type 9: peaking band. g' = g + 0.5 sets the centre gain g' / (1.001 - g'); w narrows the band.
inline CK_BiQuad peaking(float k, float w, float g)
{
    const float gp = g + 0.5f;
    const float w2 = w * w;
    const float c = k / (10.0f * (w2 * w2 + 0.001f));
    const float k2p1 = 1.0f + k * k;
    const float cut = (1.001f - gp) * c;
    const float boost = gp * c;
    const float d = 1.0f / (k2p1 + cut);
    const float b1 = 2.0f * (k * k - 1.0f) * d;
    return {(k2p1 + boost) * d, b1, (k2p1 - boost) * d, b1, (k2p1 - cut) * d};
}

// Type 12: Butterworth low-pass.
inline CK_BiQuad butterworthLowPass(float ct)
{
    const double c = ct;
    const double e = 1.0 + std::sqrt(2.0) * c + c * c;
    const auto b = static_cast<float>(1.0 / e);
    return {b, 2.0f * b, b, static_cast<float>((2.0 - 2.0 * c * c) / e),
            static_cast<float>((1.0 - std::sqrt(2.0) * c + c * c) / e)};
}

// Type 13: Butterworth high-pass with inverted polarity.
inline CK_BiQuad butterworthHighPassInverted(float ct)
{
    const double c = ct;
    const double e = 1.0 + std::sqrt(2.0) * c + c * c;
    const auto b = static_cast<float>(c * c / e);
    return {-b, 2.0f * b, -b, static_cast<float>((2.0 - 2.0 * c * c) / e),
            static_cast<float>((1.0 - std::sqrt(2.0) * c + c * c) / e)};
}

} // namespace ck_biquad
