// The plug-in's effect object: answers the host, owns the program bank, the parameter values and
// their listeners, the lookup tables and the module graph, and runs the graph in sub-blocks of at
// most 128 frames inside the host's processing call.
//
// Threads: the host calls parameter, program and chunk operations from threads other than the audio
// thread, possibly while processReplacing runs. Those calls never touch module queues: they publish
// values through a lock-free handover that processReplacing collects at its start and posts at the
// clock of that moment. MIDI controller changes arrive on the audio thread and are posted at their
// own frame. Suspend, resume and rebuilds never overlap processing.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "dsp/metering/CK_EditorPresence.h"
#include "modules/CK_ModuleOwner.h"
#include "shell/CK_EditorInterface.h"
#include "shell/ModuleIds.h"
#include "shell/ParameterHandover.h"
#include "shell/ParameterTags.h"
#include "shell/PressCounter.h"
#include "shell/ProgramBank.h"
#include "platform/UrlLauncher.h"
#include "vst/AudioEffectX.h"

class CK_ModuleBase;

class CK_DSP_VST : public AudioEffectX, public CK_ModuleOwner, public CK_EditorPresence, public CK_EditorHost {
public:
    static constexpr VstInt32 kNumPrograms = CK_ProgramBank::kPrograms;
    static constexpr VstInt32 kNumParams = CK_ProgramBank::kParameters;
    static constexpr int kMaxListeners = 16;      // per parameter
    static constexpr int16_t kMaxModuleId = kModuleIdLast;
    static constexpr const char* kEffectName = "Brelvik_Suite";
    static constexpr const char* kVendorName = "Brelvik Audio";

    explicit CK_DSP_VST(audioMasterCallback audioMaster);
    ~CK_DSP_VST() override;

    // Host state and processing
    void suspend() override;
    void resume() override;
    void setSampleRate(float rate) override;
    void setBlockSize(VstInt32 size) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    VstInt32 processEvents(VstEvents* events) override;

    // Parameters
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setParameterAutomated(VstInt32 index, float value) override;
    void getParameterName(VstInt32 index, char* text) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterLabel(VstInt32 index, char* label) override;

    // Programs and chunks
    void setProgram(VstInt32 program) override;
    VstInt32 getProgram() override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

    // Declarations to the host
    VstInt32 canDo(const char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return 1000; }
    VstPlugCategory getPlugCategory() override { return kPlugCategMastering; }
    bool getInputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) override;
    VstInt32 getNumMidiInputChannels() override { return 16; }
    VstInt32 getNumMidiOutputChannels() override { return 0; }

    // The editor's view of the effect (see CK_EditorHost)
    void setParameterFromEditor(int32_t index, float volts, bool send) override;
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    float editorValue(int32_t tag) const override;
    void setLearnedController(int32_t parameter, int32_t controller) override;
    int32_t learnedController(int32_t parameter) override;
    int32_t lastControllerNumber() const override { return lastController_.load(std::memory_order_relaxed); }
    void clearLastController() override { lastController_.store(-1, std::memory_order_relaxed); }
    float programSnapshot(int32_t parameter) const override;
    int32_t isProgramLoading() const override { return programLoading_.load(std::memory_order_relaxed); }
    void setEditorOpening(bool opening) override { editorOpening_.store(opening, std::memory_order_relaxed); }
    bool isEditorOpening() const override { return editorOpening_.load(std::memory_order_relaxed); }
    void setGlobalDisplayTags(int32_t valueDisplayTag, int32_t nameDisplayTag) override;
    int32_t globalValueDisplayTag() const override { return globalValueTag_.load(std::memory_order_relaxed); }
    int32_t globalNameDisplayTag() const override { return globalNameTag_.load(std::memory_order_relaxed); }
    void setShownTag(int32_t tag) override { shownTag_.store(tag, std::memory_order_relaxed); }
    int32_t shownTag() const override { return shownTag_.load(std::memory_order_relaxed); }
    CK_EditorMailbox& editorMailbox() override { return mailbox_; }
    void setEditorAttached(bool attached) override { editorAttached_.store(attached, std::memory_order_release); }

    // The effect's own operations (modules, graph builder)
    virtual void buildGraph();
    void showValue(int32_t controlIndex, const CK_LinkMessage& message) override;
    // Posts an event to every module input that listens to the parameter (audio thread or set-up).
    virtual void sendParameter(uint32_t time, int32_t index, int32_t kind, int32_t intValue, float floatValue);
    // Registers a module input as listener of a parameter and points it at the parameter's value.
    virtual void listenParameter(CK_ModuleBase* module, int32_t position, int32_t index, int32_t pin);

    // Metering modules compute only while someone receives their values.
    bool editorOpen() const override { return editorAttached_.load(std::memory_order_acquire); }

    // The graph table that buildGraph reads (the product's table unless a test installs another).
    void setGraphTable(const uint8_t* table) { graphTable_ = table; }

    uint32_t ringPosition() const { return position_; }
    int32_t builtBlockSize() const { return builtBlockSize_; }
    int32_t builtSampleRate() const { return builtSampleRate_; }
    int16_t positionOfId(int32_t id) const;
    int32_t listenerCount(int32_t parameter) const;

    // Audio-side parameter values in volts; module inputs that listen to a parameter point here.
    float parameterVolts[CK_ParameterHandover::kSlots] = {};

protected:
    struct Listener {
        uint16_t position;
        uint16_t pin;
    };

    // Lets modules that do the same work on independent signals run side by side.
    void groupBandModules();
    // Creates the module for a graph ID (the product's classes; tests substitute their own).
    virtual CK_ModuleBase* makeModule(int32_t id);

    // Applies one parameter change on the audio thread at a given frame (MIDI controllers).
    void applyParameterNow(int32_t index, float normalised, uint32_t time);
    // Collects the changes published by other threads and posts them at the current clock.
    void collectPublishedChanges();
    void pushAllParameters();

    // Opens web pages for the web-link module; created with the first graph that has one.
    std::unique_ptr<CK_UrlLauncher> urlLauncher_;
    CK_ProgramBank bank_;
    CK_ParameterHandover handover_;
    CK_PressCounter webLinkPresses_;
    std::atomic<int32_t> lastController_{-1};
    std::atomic<int32_t> programLoading_{0};
    std::atomic<bool> programChangePending_{false};
    CK_EditorMailbox mailbox_;
    std::atomic<bool> editorAttached_{false};
    std::atomic<bool> editorOpening_{false};
    std::atomic<int32_t> globalValueTag_{-1};
    std::atomic<int32_t> globalNameTag_{-1};
    std::atomic<int32_t> shownTag_{-1};
    float snapshot_[kNumParams] = {};
    uint32_t position_ = 0;
    int32_t hostBlockCap_ = kMaxBlockSize; // min(host block size, 128)
    int32_t builtBlockSize_ = 0;
    int32_t builtSampleRate_ = 0;
    int16_t idToPosition_[kMaxModuleId + 1];
    Listener listeners_[kParameterCount][kMaxListeners] = {};
    uint8_t listenerCounts_[kParameterCount] = {};
    const uint8_t* graphTable_;
};
