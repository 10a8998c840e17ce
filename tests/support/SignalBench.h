// Drives one module under test from test-owned input buffers, sub-block by sub-block as the effect
// does, and collects what it writes on outputs 0 and 1.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "modules/CK_ModuleBase.h"

class SignalBench {
public:
    // Value of input `pin` at absolute frame `frame`.
    using Source = std::function<float(int pin, uint32_t frame)>;

    SignalBench(CK_ModuleOwner& owner, CK_ModuleBase* module) : owner_(owner), module_(module) {}

    // Points an input pin at a buffer of the bench; run() fills it from the source.
    void feed(int pin)
    {
        std::vector<float>& buffer = inputs_[pin];
        buffer.assign(static_cast<size_t>(owner_.cappedBlockSize) + 4, 0.0f);
        module_->setInput(pin, buffer.data());
    }
    // Writes a value at every position of an input buffer (for values read when an event arrives).
    void hold(int pin, float value) { std::fill(inputs_[pin].begin(), inputs_[pin].end(), value); }

    void event(int pin, int kind, int32_t intValue = 0, float floatValue = 0.0f)
    {
        module_->postEvent(owner_.clock, pin, kind, intValue, floatValue, nullptr);
    }

    // Runs `frames` frames in sub-blocks of at most `subBlock`; out[0] and out[1] receive what the
    // module's outputs hold after each sub-block (a resting module leaves them as they were).
    void run(int32_t frames, const Source& source, int32_t subBlock = 64)
    {
        out[0].clear();
        out[1].clear();
        while (frames > 0) {
            const int32_t n = std::min({frames, subBlock, owner_.cappedBlockSize - position_});
            for (auto& [pin, buffer] : inputs_)
                for (int32_t i = 0; i < n; ++i)
                    buffer[static_cast<size_t>(position_ + i)] = source(pin, owner_.clock + static_cast<uint32_t>(i));
            owner_.runModules(position_, n);
            for (int c = 0; c < 2; ++c)
                if (const float* o = module_->outputs[c])
                    out[c].insert(out[c].end(), o + position_, o + position_ + n);
            owner_.clock += static_cast<uint32_t>(n);
            position_ = (position_ + n) % owner_.cappedBlockSize;
            frames -= n;
        }
    }

    std::vector<float> out[2];

private:
    CK_ModuleOwner& owner_;
    CK_ModuleBase* module_;
    std::map<int, std::vector<float>> inputs_;
    int32_t position_ = 0;
};

// Reproducible white noise in -1..1 for a pin and a frame.
inline float benchNoise(int pin, uint32_t frame)
{
    uint32_t h = frame * 2654435761u ^ static_cast<uint32_t>(pin + 1) * 40503u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return static_cast<float>(h & 0xFFFFFF) / 8388608.0f - 1.0f;
}
