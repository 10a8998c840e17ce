// A plain owner for running dynamics modules in tests: signal buffers the test writes before each
// sub-block, parameter events, and a record of what reached the editor.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "modules/CK_ModuleBase.h"

struct ShownValue {
    int32_t control;
    int32_t id;
    float value;
    uint32_t clock;
};

class DynamicsRig : public CK_ModuleOwner {
public:
    explicit DynamicsRig(int32_t rate = 44100)
    {
        sampleRateHz = rate;
        sampleRateKHz = static_cast<float>(rate) / 1000.0f;
        tables.compute(rate);
    }

    void showValue(int32_t control, const CK_LinkMessage& message) override
    {
        shown.push_back({control, message.id, message.value, clock});
    }

    template <typename M>
    M* add()
    {
        auto* m = new M(this);
        addModule(m);
        return m;
    }

    // Wires source output pin to target input pin, as the graph builder does.
    void wire(CK_ModuleBase* source, int outputPin, CK_ModuleBase* target, int inputPin)
    {
        source->connect(target, indexOf(target), outputPin, inputPin);
    }

    int indexOf(const CK_ModuleBase* m) const
    {
        for (int i = 0; i < moduleCount; ++i)
            if (modules[i] == m)
                return i;
        return -1;
    }

    // A parameter change from the current frame on (plus an offset), as the effect posts it.
    static void param(CK_ModuleBase* m, int pin, float volts, uint32_t time)
    {
        m->postEvent(time, pin, 0, roundedValue(volts), volts, nullptr);
    }
    void param(CK_ModuleBase* m, int pin, float volts) { param(m, pin, volts, clock); }

    // Runs one sub-block of the given length at the current ring position.
    void runFrames(int32_t frames)
    {
        runModules(position, frames);
        clock += static_cast<uint32_t>(frames);
        position = (position + frames) % cappedBlockSize;
    }

    int32_t position = 0;
    std::vector<ShownValue> shown;
};

// A signal buffer sized like a module output buffer.
struct SignalBuffer {
    explicit SignalBuffer(int32_t blockSize, float value = 0.0f) : data(static_cast<size_t>(blockSize) + 4, value) {}
    void fill(float value) { std::fill(data.begin(), data.end(), value); }
    float* get() { return data.data(); }
    float& operator[](int32_t i) { return data[static_cast<size_t>(i)]; }
    std::vector<float> data;
};
