#include "editor/displays/CK_SpectrumAnalyser.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr float kFloor = 1.0e-11f;
constexpr float kBinReference = 120.0f, kBandReference = 10.0f;
constexpr float kCompressBelowDb = -60.0f;
constexpr float kHalfBandOctaves = 1.0f / 96.0f;

// Below -60 dB the scale is compressed to a third; the display follows new values a quarter at a time.
float displayDb(float old, float magnitude, float reference)
{
    float db = 20.0f * std::log10(std::max(magnitude, kFloor) / reference);
    if (db < kCompressBelowDb)
        db = (db - kCompressBelowDb) / 3.0f + kCompressBelowDb;
    return (3.0f * old + db) / 4.0f;
}

} // namespace

CK_SpectrumAnalyser::CK_SpectrumAnalyser()
    : window_(kSize), work_(kSize), twiddle_(kSize / 2), magnitude_(kBins + 1), binDb_(kBins, -100.0f),
      bandDb_(kBands, -100.0f)
{
    for (int j = 0; j < kSize; ++j) {
        const double s = std::sin(kPi * j / kSize);
        window_[static_cast<size_t>(j)] = static_cast<float>(s * s);
    }
    for (int k = 0; k < kSize / 2; ++k)
        twiddle_[static_cast<size_t>(k)] = std::polar(1.0f, static_cast<float>(-2.0 * kPi * k / kSize));
}

// In-place radix-2 decimation in time.
void CK_SpectrumAnalyser::transform()
{
    for (int i = 1, j = 0; i < kSize; ++i) {
        int bit = kSize >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(work_[static_cast<size_t>(i)], work_[static_cast<size_t>(j)]);
    }
    for (int length = 2; length <= kSize; length <<= 1) {
        const int half = length / 2, stride = kSize / length;
        for (int start = 0; start < kSize; start += length)
            for (int k = 0; k < half; ++k) {
                auto& a = work_[static_cast<size_t>(start + k)];
                auto& b = work_[static_cast<size_t>(start + k + half)];
                const std::complex<float> t = b * twiddle_[static_cast<size_t>(k * stride)];
                b = a - t;
                a += t;
            }
    }
}

// The area under the magnitudes between two bin positions, linear between bins.
float CK_SpectrumAnalyser::integrate(float from, float to) const
{
    auto at = [this](float x) {
        const int i = std::min(static_cast<int>(x), kBins - 1);
        const float f = x - static_cast<float>(i);
        return magnitude_[static_cast<size_t>(i)] * (1.0f - f) + magnitude_[static_cast<size_t>(i + 1)] * f;
    };
    float area = 0.0f;
    for (float x = from; x < to;) {
        const float next = std::min(std::floor(x) + 1.0f, to);
        area += (at(x) + at(next)) * 0.5f * (next - x);
        x = next;
    }
    return area;
}

void CK_SpectrumAnalyser::analyse(const float* samples, float sampleRate, bool bands)
{
    for (int j = 0; j < kSize; ++j)
        work_[static_cast<size_t>(j)] = {samples[j] * window_[static_cast<size_t>(j)], 0.0f};
    transform();
    magnitude_[0] = std::abs(work_[0].real()) / 2.0f;
    for (int k = 1; k <= kBins; ++k)
        magnitude_[static_cast<size_t>(k)] = std::abs(work_[static_cast<size_t>(k)]);
    for (int k = 0; k < kBins; ++k)
        binDb_[static_cast<size_t>(k)]
            = displayDb(binDb_[static_cast<size_t>(k)], magnitude_[static_cast<size_t>(k)], kBinReference);
    if (!bands)
        return;
    const float binsPerHz = static_cast<float>(kSize) / sampleRate;
    for (int i = 0; i < kBands; ++i) {
        const float centre = kLowestHz * std::exp2(static_cast<float>(i) * kOctaves / kBands);
        const float from = std::min(centre * std::exp2(-kHalfBandOctaves) * binsPerHz, static_cast<float>(kBins));
        const float to = std::min(centre * std::exp2(kHalfBandOctaves) * binsPerHz, static_cast<float>(kBins));
        bandDb_[static_cast<size_t>(i)]
            = displayDb(bandDb_[static_cast<size_t>(i)], integrate(from, to), kBandReference);
    }
}
