#include "modules/CK_LookupTables.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
}

double CK_LookupTables::axisFrequency(double index)
{
    return kAxisBaseHz * std::pow(2.0, index / kStepsPerOctave - 10.0);
}

void CK_LookupTables::compute(int32_t rateHz)
{
    sampleRateHz = rateHz;
    const double sr = rateHz > 0 ? rateHz : 44100.0;
    for (int i = 0; i < kAngleEntries; ++i) {
        const double a = std::max(i, 1) / 4096.0;
        const double t = std::tan(kPi * a);
        unitTan[i] = static_cast<float>(t);
        unitCot[i] = static_cast<float>(1.0 / t);
        unitSin[i] = static_cast<float>(std::sin(2.0 * kPi * a));
        unitCos[i] = static_cast<float>(std::cos(2.0 * kPi * a));

        double f = axisFrequency(i);
        if (f >= sr / 2.0)
            f = 0.99 * sr / 2.0;
        const double w = kPi * f / sr;
        const double tw = std::tan(w);
        warpTan[i] = static_cast<float>(tw);
        warpCot[i] = static_cast<float>(1.0 / tw);
        warpSin[i] = static_cast<float>(std::sin(2.0 * w));
        warpCos[i] = static_cast<float>(std::cos(2.0 * w));
    }
    for (int i = 0; i < kLogEntries; ++i)
        log[i] = static_cast<float>(2.0 * std::log10(i / 160.0 + 1.0));
}
