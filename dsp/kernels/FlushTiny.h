// Keeps inaudible products out of the denormal range, where arithmetic becomes very slow.
#pragma once

#include <cmath>

// Values below 1e-30 (-600 dB) become exactly zero.
inline float ck_flushTiny(float value)
{
    return std::fabs(value) < 1.0e-30f ? 0.0f : value;
}
