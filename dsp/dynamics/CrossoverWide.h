// The three-band split of two channels with 256-bit registers, compiled for AVX-512 and used
// where the processor has it (ck_wideRegistersAvailable).
// Gives bit for bit what CrossoverBands3's two-lane form gives: the same double operations per
// value, four values to a register (two channels of two stages) instead of two.
#pragma once

#include <cstdint>

namespace ck_crossover_wide {

// Coefficients of one crossover frequency, as in CrossoverDesign.
struct Coefficients {
    double k, k2, a1, a2, a3;
};

// states[stage][0: s1, 1: s2][channel], the stages in CrossoverBands3's order.
void splitStereo(double (*states)[2][2], const Coefficients& low, const Coefficients& high, const float* inA,
                 const float* inB, float* const bandsA[3], float* const bandsB[3], int32_t count);

} // namespace ck_crossover_wide
