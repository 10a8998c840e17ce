// Cascades of biquad sections run sample by sample through every section at once, rather than
// section by section over the whole run. Each section's recursion is a long chain of dependent
// operations; interleaving the sections lets the processor overlap those chains. Every section
// computes exactly the same expression in the same order as a section run on its own, so the output
// is identical bit for bit.
#pragma once

#include <cstdint>

#include "dsp/eq/CK_BiQuad_Shapes.h"

namespace ck_cascade {

// A band of the multi-band equaliser: float input history, double output history and coefficients.
struct EqState {
    float x1, x2;
    double y1, y2;
};
struct EqCoefficients {
    double b0, b1, b2, a1, a2;
};
constexpr double kEqDenormalGuard = 1.0e-18;
constexpr int kMaxEqBands = 5;

// Runs `bands` (1..5) bands in series over frames [first, end) of x into y (in place when x == y).
void runEqCascade(EqState* const* states, const EqCoefficients* coefficients, int bands, const float* x, float* y,
                  int32_t first, int32_t end);
// The same for two channels with equally many bands, each with its own coefficients: the
// fastest form of the stereo kernel this processor runs, chosen once at start-up.
void runEqCascadeStereo(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
                        const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb, float* ya,
                        float* yb, int32_t first, int32_t end);

// A section of the static filter: float throughout, one coefficient set for every section.
struct StaticSection {
    float x1, x2, y1, y2;
};
constexpr float kStaticDenormalGuard = 1.0e-18f;
constexpr int kMaxStaticSections = 8;

// Runs `sections` (1..8) sections of one channel in series over frames [first, end).
void runStaticCascade(StaticSection* sections, int count, const CK_BiQuad& c, const float* x, float* y,
                      int32_t first, int32_t end);
// The same for two channels with their own sections, sharing the arithmetic.
void runStaticCascadeStereo(StaticSection* a, StaticSection* b, int count, const CK_BiQuad& c, const float* xa,
                            const float* xb, float* ya, float* yb, int32_t first, int32_t end);

// One channel of a single-section static filter, for running several filters side by side.
struct StaticLane {
    StaticSection* section;
    const CK_BiQuad* coefficients;
    const float* x;
    float* y;
};
constexpr int kStaticLanes = 4;

// Runs up to four single-section channels, each with its own coefficients, over frames
// [first, end), sharing the lanes of one register.
void runStaticSectionsInLanes(const StaticLane* lanes, int count, int32_t first, int32_t end);

} // namespace ck_cascade
