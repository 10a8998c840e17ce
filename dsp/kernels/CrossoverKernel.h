// The three-band crossover split, frame by frame, all sections of one or two channels in one
// pass (the stage order and arithmetic are CrossoverBands3's). The reference splits one channel
// after the other in plain doubles, the SSE2 form carries the two channels in the two lanes of a
// register, the wide form (AVX-512) pairs stages in 256-bit registers; all give the same bits.
#pragma once

#include <cstdint>

#include "dsp/kernels/KernelVariant.h"

namespace ck_crossover {

// Coefficients of one crossover frequency, as in CrossoverDesign.
struct Coefficients {
    double k, k2, a1, a2, a3;
};

// Stages in state order: the low crossover's first stage and its two squaring stages, the same
// for the high crossover, then the low band's all-pass.
constexpr int kStages = 7;

// states[stage][0: s1, 1: s2][channel], 16-byte aligned. No output may alias another output or
// an input.
using Routine = void (*)(double (*states)[2][2], const Coefficients& low, const Coefficients& high,
                         const float* inA, const float* inB, float* const bandsA[3], float* const bandsB[3],
                         int32_t count);

void reference(double (*states)[2][2], const Coefficients& low, const Coefficients& high, const float* inA,
               const float* inB, float* const bandsA[3], float* const bandsB[3], int32_t count);
void sse2(double (*states)[2][2], const Coefficients& low, const Coefficients& high, const float* inA,
          const float* inB, float* const bandsA[3], float* const bandsB[3], int32_t count);
// Only in builds with the wide kernels, for processors that run them.
void wide(double (*states)[2][2], const Coefficients& low, const Coefficients& high, const float* inA,
          const float* inB, float* const bandsA[3], float* const bandsB[3], int32_t count);

// Every form this build carries.
const CK_KernelForms<Routine>& forms();

// One channel (0 or 1) of the states, in plain doubles.
void mono(double (*states)[2][2], int channel, const Coefficients& low, const Coefficients& high, const float* in,
          float* bandLow, float* bandMid, float* bandHigh, int32_t count);

} // namespace ck_crossover
