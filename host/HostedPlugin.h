// One running instance of a VST 2.4 plug-in, driven the way a DAW drives it: the host callback
// answers the plug-in's questions and records what the plug-in asked of the host, and thin wrappers
// turn the dispatcher opcodes into typed calls.
#pragma once

#include "host/PluginLibrary.h"
#include "vst/VstInterface.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace brelvik::host {

struct HostOptions {
    VstIntPtr hostVersion = kVstVersion; // answer to audioMasterVersion
    float sampleRate = 44100.0f;         // answer to audioMasterGetSampleRate until setSampleRate
    int blockSize = 512;                 // answer to audioMasterGetBlockSize until setBlockSize
    bool offline = false;                // report the offline process level instead of realtime/user
};

// What the plug-in asked of the host through its callback.
struct HostRecord {
    std::vector<std::pair<int, float>> automation; // audioMasterAutomate (index, value)
    std::vector<int> beginEdits;                    // audioMasterBeginEdit indices
    std::vector<int> endEdits;                      // audioMasterEndEdit indices
    // Begin edit, automate and end edit as they came: 'b', 'a' or 'e' with the parameter index.
    std::vector<std::pair<char, int>> gestures;
    std::vector<std::pair<int, int>> sizeWindow;    // audioMasterSizeWindow (width, height)
    int wantMidi = 0;
    int updateDisplay = 0;
    int ioChanged = 0;
};

struct MidiMessage {
    int deltaFrames;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
};

class HostedPlugin {
public:
    // Calls the library's entry point with this host's callback. Returns null with a reason in
    // `error` when the plug-in declines (a null AEffect) or hands back something that is not an
    // AEffect. The library must outlive the returned instance.
    static std::unique_ptr<HostedPlugin> load(const PluginLibrary& library, const HostOptions& options,
                                              std::string& error);
    // The same for an entry point linked into the calling program; `name` names it in messages.
    static std::unique_ptr<HostedPlugin> load(VstPluginMainProc entry, const std::string& name,
                                              const HostOptions& options, std::string& error);

    ~HostedPlugin();
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    // Null once close() has run.
    AEffect* effect() const { return effect_; }
    bool isOpen() const { return effect_ != nullptr; }

    // Raw dispatcher access. Calling into a closed instance throws std::logic_error.
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);

    void open();
    // effClose: the plug-in destroys itself, the AEffect is gone afterwards.
    void close();
    void setSampleRate(float rate);
    void setBlockSize(int frames);
    void resume();
    void suspend();
    bool isResumed() const { return resumed_; }

    // processReplacing with numInputs input and numOutputs output channels.
    void process(const float* const* inputs, float* const* outputs, int frames);

    // effGetEffectName, the name hosts show in their plug-in lists.
    std::string effectName();

    void setParameter(int index, float value);
    float getParameter(int index);
    std::string parameterName(int index);
    std::string parameterDisplay(int index);
    std::string parameterLabel(int index);

    std::string programName();
    // Renames the current program; the plug-in keeps at most kVstMaxProgNameLen characters.
    void setProgramName(const std::string& name);
    void setProgram(int program);
    int getProgram();
    // Empty when the plug-in does not name that program.
    std::string programNameIndexed(int program);

    // A copy of the plug-in's chunk (bank when preset is false); empty if it gave none.
    std::vector<uint8_t> getChunk(bool preset);
    VstIntPtr setChunk(const std::vector<uint8_t>& bytes, bool preset);

    // 1 yes, -1 no, 0 don't know.
    VstIntPtr canDo(const char* what);

    // Delivers the messages through effProcessEvents, as a host does just before processing.
    VstIntPtr sendMidi(const std::vector<MidiMessage>& messages);

    // The editor, as a host drives it: its size (false when the plug-in has none), open inside the
    // platform's parent window handle, idle from the window thread, close.
    bool editorSize(int& width, int& height);
    bool openEditor(void* parentWindow);
    void idleEditor();
    void closeEditor();

    int latency() const;
    float sampleRate() const;
    int blockSize() const;

    // A snapshot of what the plug-in asked so far; clearRecord forgets it.
    HostRecord record() const;
    void clearRecord();

private:
    explicit HostedPlugin(const HostOptions& options);
    static VstIntPtr VST_CALL hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                           VstIntPtr value, void* ptr, float opt);
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    AEffect* requireOpen() const;
    std::string queryString(VstInt32 opcode, VstInt32 index);

    HostOptions options_;
    AEffect* effect_ = nullptr;
    bool resumed_ = false;
    VstTimeInfo timeInfo_{};

    // Guards the record and the rate and block size answers: the callback may come from any thread.
    mutable std::mutex mutex_;
    HostRecord record_;
};

// Renders `frames` samples through the plug-in in blocks of at most `blockSize`, the way a host's
// audio thread does. `inputs` and `outputs` hold one full-length buffer per plug-in channel.
// `progress`, when given, is told the frames done after each block. Throws std::invalid_argument
// when the channel counts do not match the plug-in's.
void renderInBlocks(HostedPlugin& plugin, const std::vector<const float*>& inputs,
                    const std::vector<float*>& outputs, int64_t frames, int blockSize,
                    const std::function<void(int64_t framesDone)>& progress = {});

} // namespace brelvik::host
