#include "tools/render/DemoMix.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace brelvik::render {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeat = 0.5; // 120 beats per minute
constexpr int kBars = 4;
constexpr double kPeak = 0.708; // -3 dBFS leaves the processor headroom to work with

double noteHz(int midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

// A fixed-seed white noise source, identical on every platform.
class Noise {
public:
    double next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_ / 2147483648.0 - 1.0;
    }

private:
    uint32_t state_ = 0x2545F491u;
};

class Mixer {
public:
    explicit Mixer(DemoMix& mix) : mix_(mix) {}

    // Adds a mono voice at `pan` (-1 left .. 1 right, equal power) starting at `start` seconds.
    template <typename Voice>
    void add(double start, double duration, double pan, Voice voice)
    {
        const double angle = (pan + 1.0) * kPi / 4.0;
        const double gainL = std::cos(angle), gainR = std::sin(angle);
        const auto first = static_cast<size_t>(start * DemoMix::kSampleRate);
        const auto count = static_cast<size_t>(duration * DemoMix::kSampleRate);
        for (size_t i = 0; i < count && first + i < mix_.left.size(); ++i) {
            double v = voice(static_cast<double>(i) / DemoMix::kSampleRate);
            mix_.left[first + i] += static_cast<float>(v * gainL);
            mix_.right[first + i] += static_cast<float>(v * gainR);
        }
    }

private:
    DemoMix& mix_;
};

void addKick(Mixer& mixer, double start)
{
    double phase = 0.0;
    mixer.add(start, 0.35, 0.0, [phase](double t) mutable {
        double hz = 45.0 + 110.0 * std::exp(-t * 35.0); // the pitch drop gives the thump
        phase += 2.0 * kPi * hz / DemoMix::kSampleRate;
        return 0.9 * std::min(1.0, t / 0.001) * std::exp(-t * 9.0) * std::sin(phase);
    });
}

void addSnare(Mixer& mixer, Noise& noise, double start)
{
    mixer.add(start, 0.25, -0.1, [&noise](double t) {
        double body = std::sin(2.0 * kPi * 190.0 * t) * std::exp(-t * 30.0);
        double rattle = noise.next() * std::exp(-t * 18.0);
        return 0.35 * (body + rattle);
    });
}

void addHat(Mixer& mixer, Noise& noise, double start, double level)
{
    double previous = 0.0;
    mixer.add(start, 0.08, 0.35, [&noise, previous, level](double t) mutable {
        double x = noise.next();
        double bright = x - previous; // first difference: a crude high-pass
        previous = x;
        return level * bright * std::exp(-t * 60.0);
    });
}

void addBassNote(Mixer& mixer, double start, int midiNote)
{
    const double hz = noteHz(midiNote);
    mixer.add(start, 0.24, 0.0, [hz](double t) {
        double tone = std::sin(2.0 * kPi * hz * t) + 0.25 * std::sin(4.0 * kPi * hz * t);
        return 0.3 * std::min(1.0, t / 0.005) * std::exp(-t * 6.0) * tone;
    });
}

// A band-limited saw per chord note, detuned a few cents apart on the two sides for width.
void addPadChord(Mixer& mixer, double start, double length, const int (&notes)[3])
{
    constexpr int kHarmonics = 10;
    constexpr double kRelease = 0.2;
    for (int note : notes) {
        for (double side : {-1.0, 1.0}) {
            const double hz = noteHz(note) * std::pow(2.0, side * 5.0 / 1200.0);
            mixer.add(start, length + kRelease, side * 0.8, [hz, length](double t) {
                double saw = 0.0;
                for (int k = 1; k <= kHarmonics; ++k)
                    saw += std::sin(2.0 * kPi * hz * k * t) / k;
                double envelope = std::min(1.0, t / 0.25) * (t > length ? std::exp(-(t - length) * 15.0) : 1.0);
                return 0.05 * envelope * saw;
            });
        }
    }
}

} // namespace

DemoMix makeDemoMix()
{
    DemoMix mix;
    const auto frames = static_cast<size_t>(DemoMix::kSeconds * DemoMix::kSampleRate);
    mix.left.assign(frames, 0.0f);
    mix.right.assign(frames, 0.0f);

    Mixer mixer(mix);
    Noise noise;
    static const int kChords[kBars][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}};
    static const int kRoots[kBars] = {33, 29, 36, 31};
    const double bar = 4 * kBeat;

    for (int b = 0; b < kBars; ++b) {
        const double barStart = b * bar;
        addPadChord(mixer, barStart, bar, kChords[b]);
        for (int beat = 0; beat < 4; ++beat) {
            const double t = barStart + beat * kBeat;
            addKick(mixer, t);
            if (beat % 2 == 1)
                addSnare(mixer, noise, t);
            addHat(mixer, noise, t, 0.08);
            addHat(mixer, noise, t + kBeat / 2, 0.14);
            addBassNote(mixer, t, kRoots[b]);
            addBassNote(mixer, t + kBeat / 2, kRoots[b] + (beat == 3 ? 12 : 0));
        }
    }

    float peak = 0.0f;
    for (size_t i = 0; i < frames; ++i)
        peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    if (peak > 0.0f) {
        const auto gain = static_cast<float>(kPeak / peak);
        for (size_t i = 0; i < frames; ++i) {
            mix.left[i] *= gain;
            mix.right[i] *= gain;
        }
    }
    return mix;
}

} // namespace brelvik::render
