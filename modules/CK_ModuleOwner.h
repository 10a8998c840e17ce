// What modules see of the object that owns and runs them: the sample clock, the block size, the
// sample rate, the module array, shared lookup tables, the event store and the display outlet.
// The effect object is the owner in the plug-in; tests use a plain owner.
#pragma once

#include <cstdint>

#include "modules/CK_Event.h"
#include "modules/CK_LinkMessage.h"
#include "modules/CK_LookupTables.h"
#include "modules/CK_ModuleGroup.h"

class CK_ModuleBase;

class CK_ModuleOwner {
public:
    static constexpr int kMaxModules = 200;
    static constexpr int kMaxBlockSize = 128;
    static constexpr size_t kEventPoolCapacity = 8192;
    static constexpr int kMaxGroups = 16;

    CK_ModuleOwner();
    virtual ~CK_ModuleOwner();

    CK_ModuleOwner(const CK_ModuleOwner&) = delete;
    CK_ModuleOwner& operator=(const CK_ModuleOwner&) = delete;

    // Forwards a module's display message to an editor control; nothing by default.
    virtual void showValue(int32_t controlIndex, const CK_LinkMessage& message);

    // Runs, in array order, every module that is active (flags 0) or has pending events, over
    // frames [position, position + frames) of the module buffers; grouped modules run together
    // at their group's position.
    void runModules(int32_t position, int32_t frames);
    // Lets the modules at these positions run side by side (see CK_ModuleGroup); answers whether
    // they now form a group.
    bool groupModules(const int32_t* positions, int count);
    void dissolveGroups();
    int32_t groupCount() const { return groupCount_; }
    // Dissolves the groups, then releases and deletes the modules from the last to the first.
    void destroyModules();
    // Stores a module at the next position; answers the position, or -1 when the array is full
    // (the module is then deleted).
    int32_t addModule(CK_ModuleBase* module);

    uint32_t clock = 0;             // frames processed since the last suspend
    int32_t cappedBlockSize = kMaxBlockSize; // length of every module buffer, at most 128
    int32_t sampleRateHz = 44100;
    float sampleRateKHz = 44.1f;
    int32_t programChanged = 0;     // -1 until the end of the sub-block after a program change or build
    int32_t graphRebuilt = 0;       // -1 until the end of the sub-block after a build
    CK_ModuleBase* modules[kMaxModules] = {};
    int32_t moduleCount = 0;
    float* hostInput[2] = {nullptr, nullptr}; // registered by the host audio input module
    CK_LookupTables tables;
    CK_EventPool eventPool{kEventPoolCapacity};

private:
    CK_ModuleGroup groups_[kMaxGroups];
    int32_t groupCount_ = 0;
};
