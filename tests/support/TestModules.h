// Small modules for exercising the module framework and the effect's processing driver.
#pragma once

#include <cstring>
#include <vector>

#include "modules/CK_ModuleBase.h"

// Records every process call and every handled event; outputs hold the absolute frame number of
// each processed frame on pin 0 and the input on pin 1, so tests can see exactly what ran when.
class RecordingModule : public CK_ModuleStd {
public:
    struct Call {
        uint32_t clock;
        int32_t first;
        int32_t count;
    };
    struct Handled {
        uint32_t time;
        uint32_t clockAtHandling;
        int32_t firstFrame;
        int pin;
        int kind;
        int32_t intValue;
        float floatValue;
    };

    explicit RecordingModule(CK_ModuleOwner* owner) : CK_ModuleStd(owner)
    {
        allocateOutput(0);
        allocateOutput(1);
    }

    void prepare() override { useRoutine<&RecordingModule::record>(); }

    void handleEvent(const CK_Event& e, int32_t firstFrame) override
    {
        handled.push_back({e.time, clock, firstFrame, e.pin, e.kind, e.intValue, e.floatValue});
        if (restOnEvent)
            flags |= kFlagResting;
    }

    void record(int32_t first, int32_t count)
    {
        calls.push_back({clock, first, count});
        for (int32_t i = 0; i < count; ++i) {
            outputs[0][first + i] = static_cast<float>(clock + static_cast<uint32_t>(i));
            outputs[1][first + i] = inputs[0] ? inputs[0][first + i] : 0.0f;
        }
    }

    bool restOnEvent = false;
    std::vector<Call> calls;
    std::vector<Handled> handled;
};

// The graph's audio source for driver tests: two buffers the owner copies the host input into.
class TestAudioIn : public CK_ModuleStd {
public:
    explicit TestAudioIn(CK_ModuleOwner* owner) : CK_ModuleStd(owner)
    {
        owner->hostInput[0] = allocateOutput(0);
        owner->hostInput[1] = allocateOutput(1);
    }
    void prepare() override { rest(); }
};

// Copies its two inputs to its two outputs and counts what it was asked to process.
class PassThrough : public CK_ModuleStd {
public:
    explicit PassThrough(CK_ModuleOwner* owner) : CK_ModuleStd(owner)
    {
        allocateOutput(0);
        allocateOutput(1);
    }
    void prepare() override { useRoutine<&PassThrough::copy>(); }
    void handleEvent(const CK_Event& e, int32_t) override { lastValue[e.pin % 4] = e.floatValue; ++events; }
    void clearState() override { ++clears; }
    void restart() override { ++restarts; }

    void copy(int32_t first, int32_t count)
    {
        subBlocks.push_back(count);
        for (int c = 0; c < 2; ++c)
            if (inputs[c])
                std::memcpy(outputs[c] + first, inputs[c] + first, sizeof(float) * static_cast<size_t>(count));
    }

    std::vector<int32_t> subBlocks;
    float lastValue[4] = {};
    int events = 0;
    int clears = 0;
    int restarts = 0;
};
