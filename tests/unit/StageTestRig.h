// A small graph runner for the master stages, mixers, delays and level converters: a signal source
// whose outputs the rig fills frame by frame, the modules under test, and a recorder for the events
// they send. Sub-blocks are cut as the effect cuts them: at most `subBlock` frames, never across the
// end of the module buffers, and the program-change flags clear after each sub-block.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "support/TestModules.h"

class TestSignalSource : public CK_ModuleStd {
public:
    TestSignalSource(CK_ModuleOwner* owner, int pins) : CK_ModuleStd(owner)
    {
        for (int pin = 0; pin < pins; ++pin)
            allocateOutput(pin);
    }
    void prepare() override { rest(); }
};

struct StageRig : ::testing::Test {
    struct Capture {
        std::vector<float> a, b; // output pins 0 and 1 of the probed module
    };

    CK_ModuleOwner owner;
    TestSignalSource* source = nullptr;
    RecordingModule* sink = nullptr;
    std::function<float(int pin, uint32_t frame)> signal = [](int, uint32_t) { return 0.0f; };
    int32_t subBlock = 128;
    int32_t position = 0;

    template <typename M, typename... Args>
    M* add(Args... args)
    {
        auto* m = new M(&owner, args...);
        owner.addModule(m);
        return m;
    }
    void wire(CK_ModuleBase* from, int outputPin, CK_ModuleBase* to, int inputPin)
    {
        int index = 0;
        while (owner.modules[index] != to)
            ++index;
        from->connect(to, index, outputPin, inputPin);
    }
    void prepareAll()
    {
        for (int i = 0; i < owner.moduleCount; ++i)
            owner.modules[i]->prepare();
    }
    // Events as the effect or an upstream module posts them: a parameter (volts), a choice, or a
    // changing (1) / static (0) announcement.
    void param(CK_ModuleBase* m, int pin, float volts, uint32_t delay = 0)
    {
        m->postEvent(owner.clock + delay, pin, 0, roundedValue(volts), volts, nullptr);
    }
    void choice(CK_ModuleBase* m, int pin, int32_t value) { m->postEvent(owner.clock, pin, 0, value, value * 0.1f, nullptr); }
    void announce(CK_ModuleBase* m, int pin, int kind) { m->postEvent(owner.clock, pin, kind, 0, 0.0f, nullptr); }

    Capture run(int frames, CK_ModuleBase* probe = nullptr)
    {
        Capture out;
        while (frames > 0) {
            const int32_t n = std::min({frames, subBlock, owner.cappedBlockSize - position});
            for (int pin = 0; source && pin < CK_ModuleBase::kMaxPins && source->outputs[pin]; ++pin)
                for (int32_t i = 0; i < n; ++i)
                    source->outputs[pin][position + i] = signal(pin, owner.clock + static_cast<uint32_t>(i));
            owner.runModules(position, n);
            for (int32_t i = 0; probe && i < n; ++i) {
                out.a.push_back(probe->outputs[0][position + i]);
                out.b.push_back(probe->outputs[1] ? probe->outputs[1][position + i] : 0.0f);
            }
            owner.clock += static_cast<uint32_t>(n);
            owner.programChanged = owner.graphRebuilt = 0;
            position = (position + n) % owner.cappedBlockSize;
            frames -= n;
        }
        return out;
    }
    std::vector<RecordingModule::Handled> eventsAt(int sinkPin) const
    {
        std::vector<RecordingModule::Handled> out;
        for (const auto& h : sink->handled)
            if (h.pin == sinkPin)
                out.push_back(h);
        return out;
    }
    static bool resting(const CK_ModuleBase* m) { return (m->flags & CK_ModuleBase::kFlagResting) != 0; }
    // Finite, and zero or a normal number.
    static bool clean(float x) { return std::isfinite(x) && std::fpclassify(x) != FP_SUBNORMAL; }
};

// Deterministic noise in [-1, 1) for frame n of channel c.
inline float testNoise(int c, uint32_t n)
{
    uint32_t x = n * 2654435761u + static_cast<uint32_t>(c + 1) * 40503u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return static_cast<float>(x & 0xFFFFFF) / 8388608.0f - 1.0f;
}
