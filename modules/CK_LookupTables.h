// Sample-rate-dependent tables that filter and level modules read instead of calling
// transcendental functions per sample or per event. Values are computed in double precision and
// stored as floats.
#pragma once

#include <cstdint>

class CK_LookupTables {
public:
    static constexpr int kAngleEntries = 2049; // indices 0..2048
    static constexpr int kLogEntries = 2401;   // indices 0..2400
    // One step of the frequency axis is 23/2048 octave, from 13.75/1024 Hz at index 0.
    static constexpr double kStepsPerOctave = 2048.0 / 23.0;
    static constexpr double kAxisBaseHz = 13.75;

    // Recomputes the frequency-axis tables for a sample rate; the others never change.
    void compute(int32_t sampleRateHz);

    // Unit-angle axis: a = max(i, 1) / 4096.
    float unitTan[kAngleEntries];    // tan(pi a)
    float unitCot[kAngleEntries];    // 1 / tan(pi a)
    float unitSin[kAngleEntries];    // sin(2 pi a)
    float unitCos[kAngleEntries];    // cos(2 pi a)
    // Exponential frequency axis: f = 13.75 * 2^(i / (2048/23) - 10) Hz, limited to 0.99 * sr/2
    // from sr/2 on; a = pi f / sr.
    float warpTan[kAngleEntries];    // tan(a)
    float warpCot[kAngleEntries];    // 1 / tan(a)
    float warpSin[kAngleEntries];    // sin(2a)
    float warpCos[kAngleEntries];    // cos(2a)
    // 2 * log10(i / 160 + 1)
    float log[kLogEntries];

    int32_t sampleRateHz = 0;

    // Frequency in Hz of index i on the exponential axis before the Nyquist limit.
    static double axisFrequency(double index);
};
