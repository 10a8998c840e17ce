// Helpers for the equaliser and static-filter tests: a driver that feeds audio and control streams
// through real modules sub-block by sub-block, and measurements taken from what the modules output.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <functional>
#include <vector>

#include "dsp/eq/CK_DSP_BiQuad_Coeff.h"
#include "dsp/eq/CK_DSP_BiQuad_Multi_Engine.h"
#include "modules/CK_ModuleBase.h"
#include "support/TestModules.h"

namespace eqtest {

constexpr double kPi = 3.14159265358979323846;

// A control or audio stream that the test writes and a module reads, one value per absolute frame.
struct Stream {
    std::vector<float> buffer = std::vector<float>(CK_ModuleOwner::kMaxBlockSize + 4, 0.0f);
    std::function<float(uint32_t)> value = [](uint32_t) { return 0.0f; };
    const float* data() const { return buffer.data(); }
};

// Runs the owner's modules over the wrapping buffer ring in sub-blocks of at most `chunk` frames,
// filling every registered stream first.
struct Driver {
    CK_ModuleOwner& owner;
    std::vector<Stream*> streams;
    int32_t position = 0;

    explicit Driver(CK_ModuleOwner& o) : owner(o) {}

    void setRate(int32_t rate)
    {
        owner.sampleRateHz = rate;
        owner.sampleRateKHz = static_cast<float>(rate) / 1000.0f;
        owner.tables.compute(rate);
    }
    template <typename M>
    M* add()
    {
        auto* m = new M(&owner);
        owner.addModule(m);
        return m;
    }
    void prepareAll()
    {
        for (int32_t i = 0; i < owner.moduleCount; ++i)
            owner.modules[i]->prepare();
    }
    int32_t indexOf(const CK_ModuleBase* m) const
    {
        for (int32_t i = 0; i < owner.moduleCount; ++i)
            if (owner.modules[i] == m)
                return i;
        return -1;
    }
    void connect(CK_ModuleBase* from, int outPin, CK_ModuleBase* to, int inPin)
    {
        from->connect(to, indexOf(to), outPin, inPin);
    }

    // Processes `frames` frames; `each` (if given) sees every sub-block's position and length after
    // the modules ran.
    void run(int32_t frames, int32_t chunk = CK_ModuleOwner::kMaxBlockSize,
             const std::function<void(int32_t, int32_t, uint32_t)>& each = nullptr)
    {
        while (frames > 0) {
            int32_t n = std::min(frames, std::min(chunk, owner.cappedBlockSize - position));
            for (Stream* s : streams)
                for (int32_t i = 0; i < n; ++i)
                    s->buffer[static_cast<size_t>(position + i)] = s->value(owner.clock + static_cast<uint32_t>(i));
            owner.runModules(position, n);
            if (each)
                each(position, n, owner.clock);
            owner.clock += static_cast<uint32_t>(n);
            position = (position + n) % owner.cappedBlockSize;
            frames -= n;
        }
    }

    // Runs an input signal through and collects what `out` holds for each frame.
    std::vector<float> render(Stream& input, const std::vector<float>& signal, const float* out,
                              int32_t chunk = CK_ModuleOwner::kMaxBlockSize)
    {
        const uint32_t start = owner.clock;
        input.value = [&signal, start](uint32_t t) {
            const uint32_t i = t - start;
            return i < signal.size() ? signal[i] : 0.0f;
        };
        std::vector<float> result;
        result.reserve(signal.size());
        run(static_cast<int32_t>(signal.size()), chunk, [&](int32_t p, int32_t n, uint32_t) {
            result.insert(result.end(), out + p, out + p + n);
        });
        return result;
    }
};

// Magnitude in dB of a filter at `hz`, from its measured impulse response.
inline double responseDb(const std::vector<float>& impulse, double hz, double rate)
{
    std::complex<double> sum = 0.0;
    const double w = 2.0 * kPi * hz / rate;
    for (size_t n = 0; n < impulse.size(); ++n)
        sum += static_cast<double>(impulse[n]) * std::polar(1.0, -w * static_cast<double>(n));
    return 20.0 * std::log10(std::abs(sum));
}

inline std::vector<float> impulse(size_t length)
{
    std::vector<float> x(length, 0.0f);
    x[0] = 1.0f;
    return x;
}

inline std::vector<float> noise(size_t length, uint32_t seed = 12345u)
{
    std::vector<float> x(length);
    for (float& v : x) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<float>(static_cast<int32_t>(seed >> 8) - (1 << 23)) / static_cast<float>(1 << 24);
    }
    return x;
}

// Poles strictly inside the unit circle (the stability triangle of a second-order denominator).
inline bool stable(double a1, double a2)
{
    return std::isfinite(a1) && std::isfinite(a2) && std::fabs(a2) < 1.0 && std::fabs(a1) < 1.0 + a2;
}

// One coefficient module feeding band 1 of an engine, as the equaliser is wired, with recorders on
// the module's changing (output 0) and active (output 5) announcements.
struct BandRig {
    CK_ModuleOwner owner;
    eqtest::Driver drive{owner};
    CK_DSP_BiQuad_Coeff* coeff = nullptr;
    CK_DSP_BiQuad_Multi_Engine* engine = nullptr;
    RecordingModule* announcements = nullptr; // pin 0: active; pin 1: changing
    Stream freq, width, gain, audio;

    explicit BandRig(int32_t rate)
    {
        drive.setRate(rate);
        coeff = drive.add<CK_DSP_BiQuad_Coeff>();
        engine = drive.add<CK_DSP_BiQuad_Multi_Engine>();
        announcements = drive.add<RecordingModule>();
        coeff->setInput(0, freq.data());
        coeff->setInput(1, width.data());
        coeff->setInput(2, gain.data());
        engine->setInput(0, audio.data());
        for (int pin = 0; pin < 6; ++pin)
            drive.connect(coeff, pin, engine, 9 + pin);
        drive.connect(coeff, 5, announcements, 0);
        drive.connect(coeff, 0, announcements, 1);
        drive.streams = {&freq, &width, &gain, &audio};
        drive.prepareAll();
        coeff->postEvent(owner.clock, 5, 0, 1, 0.1f, nullptr);  // per-sample coefficients
        engine->postEvent(owner.clock, 1, 0, 1, 0.1f, nullptr); // read them per sample
        engine->postEvent(owner.clock, 0, 1, 0, 0.0f, nullptr); // live audio
    }

    // A static band: frequency in Hz, width 0..1, gain input g (g' = g + 0.5).
    void setBand(double hz, float w, float g)
    {
        const auto v = static_cast<float>(hz / 10.0);
        freq.value = [v](uint32_t) { return v; };
        width.value = [w](uint32_t) { return w; };
        gain.value = [g](uint32_t) { return g; };
        for (int pin = 0; pin < 3; ++pin)
            coeff->postEvent(owner.clock, pin, 0, 0, 0.0f, nullptr);
        drive.run(owner.cappedBlockSize);
    }

    CK_BiQuad coefficientsAt(int32_t frame) const
    {
        return {coeff->outputs[0][frame], coeff->outputs[1][frame], coeff->outputs[2][frame],
                coeff->outputs[3][frame], coeff->outputs[4][frame]};
    }
    CK_BiQuad lastCoefficients() const
    {
        return coefficientsAt((drive.position + owner.cappedBlockSize - 1) % owner.cappedBlockSize);
    }
    // The last announcement received on a recorder pin, or -1.
    int32_t lastAnnounced(int pin, bool kind = false) const
    {
        int32_t v = -1;
        for (const auto& h : announcements->handled)
            if (h.pin == pin)
                v = kind ? h.kind : h.intValue;
        return v;
    }
};

} // namespace eqtest
