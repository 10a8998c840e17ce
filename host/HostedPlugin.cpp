#include "host/HostedPlugin.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace brelvik::host {

namespace {

// The instance whose entry point is running on this thread. While the entry runs, the plug-in
// already calls back (audioMasterVersion, audioMasterWantMidi) but its AEffect is not ours yet.
thread_local HostedPlugin* tLoading = nullptr;

// Set while this thread is inside processReplacing, so the process level answer tells the
// plug-in which of its threads is the audio thread.
thread_local bool tInProcess = false;

constexpr const char* kHostCanDo[] = {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo",
                                      "sizeWindow", "acceptIOChanges"};

constexpr double kHostTempo = 120.0;

// audioMasterGetCurrentProcessLevel answers.
constexpr VstIntPtr kProcessLevelUser = 1;
constexpr VstIntPtr kProcessLevelRealtime = 2;
constexpr VstIntPtr kProcessLevelOffline = 4;

// VstTimeInfo flags this host fills in.
constexpr VstInt32 kTransportPlaying = 1 << 1;
constexpr VstInt32 kPpqPosValid = 1 << 9;
constexpr VstInt32 kTempoValid = 1 << 10;
constexpr VstInt32 kTimeSigValid = 1 << 13;

// Plug-ins write at most a few dozen characters; the slack absorbs ones that overrun the nominal
// 8- or 24-byte limits.
constexpr size_t kStringBufferSize = 256;

void copyHostString(void* ptr, const char* text)
{
    if (!ptr)
        return;
    char* out = static_cast<char*>(ptr);
    std::strncpy(out, text, kVstMaxVendorStrLen - 1);
    out[kVstMaxVendorStrLen - 1] = '\0';
}

} // namespace

std::unique_ptr<HostedPlugin> HostedPlugin::load(const PluginLibrary& library, const HostOptions& options,
                                                 std::string& error)
{
    return load(library.entry(), library.path(), options, error);
}

std::unique_ptr<HostedPlugin> HostedPlugin::load(VstPluginMainProc entry, const std::string& name,
                                                 const HostOptions& options, std::string& error)
{
    std::unique_ptr<HostedPlugin> plugin(new HostedPlugin(options));

    HostedPlugin* previous = tLoading;
    tLoading = plugin.get();
    AEffect* effect = entry(&HostedPlugin::hostCallback);
    tLoading = previous;

    if (!effect) {
        error = "plug-in '" + name + "' declined to start (its entry point returned no effect)";
        return nullptr;
    }
    if (effect->magic != kEffectMagic) {
        error = "plug-in '" + name + "' returned a record without the VST magic number";
        return nullptr;
    }
    effect->resvd1 = reinterpret_cast<VstIntPtr>(plugin.get());
    plugin->effect_ = effect;
    return plugin;
}

HostedPlugin::HostedPlugin(const HostOptions& options) : options_(options)
{
    timeInfo_.sampleRate = options.sampleRate;
    timeInfo_.tempo = kHostTempo;
    timeInfo_.timeSigNumerator = 4;
    timeInfo_.timeSigDenominator = 4;
}

HostedPlugin::~HostedPlugin()
{
    if (effect_)
        close();
}

AEffect* HostedPlugin::requireOpen() const
{
    if (!effect_)
        throw std::logic_error("the plug-in instance was already closed");
    return effect_;
}

VstIntPtr HostedPlugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    AEffect* effect = requireOpen();
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void HostedPlugin::open()
{
    dispatch(effOpen);
}

void HostedPlugin::close()
{
    if (resumed_)
        suspend();
    dispatch(effClose);
    effect_ = nullptr;
}

void HostedPlugin::setSampleRate(float rate)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        options_.sampleRate = rate;
    }
    timeInfo_.sampleRate = rate;
    dispatch(effSetSampleRate, 0, 0, nullptr, rate);
}

void HostedPlugin::setBlockSize(int frames)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        options_.blockSize = frames;
    }
    dispatch(effSetBlockSize, 0, frames);
}

void HostedPlugin::resume()
{
    timeInfo_.samplePos = 0.0;
    dispatch(effMainsChanged, 0, 1);
    resumed_ = true;
}

void HostedPlugin::suspend()
{
    dispatch(effMainsChanged, 0, 0);
    resumed_ = false;
}

void HostedPlugin::process(const float* const* inputs, float* const* outputs, int frames)
{
    AEffect* effect = requireOpen();
    tInProcess = true;
    // The interface's pointers are not const-qualified; plug-ins only read their inputs.
    effect->processReplacing(effect, const_cast<float**>(inputs), const_cast<float**>(outputs), frames);
    tInProcess = false;
    timeInfo_.samplePos += frames;
}

void HostedPlugin::setParameter(int index, float value)
{
    AEffect* effect = requireOpen();
    effect->setParameter(effect, index, value);
}

float HostedPlugin::getParameter(int index)
{
    AEffect* effect = requireOpen();
    return effect->getParameter(effect, index);
}

std::string HostedPlugin::queryString(VstInt32 opcode, VstInt32 index)
{
    char text[kStringBufferSize] = {};
    dispatch(opcode, index, 0, text);
    text[kStringBufferSize - 1] = '\0';
    return text;
}

std::string HostedPlugin::effectName()
{
    return queryString(effGetEffectName, 0);
}

bool HostedPlugin::editorSize(int& width, int& height)
{
    ERect* rect = nullptr;
    if (!(requireOpen()->flags & effFlagsHasEditor) || dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect)
        return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return true;
}

bool HostedPlugin::openEditor(void* parentWindow)
{
    return dispatch(effEditOpen, 0, 0, parentWindow) != 0;
}

void HostedPlugin::idleEditor()
{
    dispatch(effEditIdle);
}

void HostedPlugin::closeEditor()
{
    dispatch(effEditClose);
}

std::string HostedPlugin::parameterName(int index)
{
    return queryString(effGetParamName, index);
}

std::string HostedPlugin::parameterDisplay(int index)
{
    return queryString(effGetParamDisplay, index);
}

std::string HostedPlugin::parameterLabel(int index)
{
    return queryString(effGetParamLabel, index);
}

std::string HostedPlugin::programName()
{
    return queryString(effGetProgramName, 0);
}

void HostedPlugin::setProgramName(const std::string& name)
{
    // Plug-ins copy up to kVstMaxProgNameLen characters and a terminator.
    char text[kVstMaxProgNameLen + 1] = {};
    name.copy(text, kVstMaxProgNameLen);
    dispatch(effSetProgramName, 0, 0, text);
}

void HostedPlugin::setProgram(int program)
{
    dispatch(effBeginSetProgram);
    dispatch(effSetProgram, 0, program);
    dispatch(effEndSetProgram);
}

int HostedPlugin::getProgram()
{
    return static_cast<int>(dispatch(effGetProgram));
}

std::string HostedPlugin::programNameIndexed(int program)
{
    char text[kStringBufferSize] = {};
    if (dispatch(effGetProgramNameIndexed, program, 0, text) == 0)
        return {};
    text[kStringBufferSize - 1] = '\0';
    return text;
}

std::vector<uint8_t> HostedPlugin::getChunk(bool preset)
{
    void* data = nullptr;
    VstIntPtr size = dispatch(effGetChunk, preset ? 1 : 0, 0, &data);
    if (size <= 0 || !data)
        return {};
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

VstIntPtr HostedPlugin::setChunk(const std::vector<uint8_t>& bytes, bool preset)
{
    // The plug-in gets a host-owned buffer that lives for the call, as a DAW restoring a session
    // hands it.
    std::vector<uint8_t> copy(bytes);
    return dispatch(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(copy.size()),
                    copy.empty() ? nullptr : copy.data());
}

VstIntPtr HostedPlugin::canDo(const char* what)
{
    return dispatch(effCanDo, 0, 0, const_cast<char*>(what));
}

VstIntPtr HostedPlugin::sendMidi(const std::vector<MidiMessage>& messages)
{
    std::vector<VstMidiEvent> events(messages.size());
    for (size_t i = 0; i < messages.size(); ++i) {
        VstMidiEvent& e = events[i];
        e = VstMidiEvent{};
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = messages[i].deltaFrames;
        e.midiData[0] = static_cast<char>(messages[i].status);
        e.midiData[1] = static_cast<char>(messages[i].data1);
        e.midiData[2] = static_cast<char>(messages[i].data2);
    }

    // VstEvents declares two event pointers but really carries numEvents of them.
    size_t extra = messages.size() > 2 ? messages.size() - 2 : 0;
    std::vector<unsigned char> storage(sizeof(VstEvents) + extra * sizeof(VstEvent*));
    auto* list = new (storage.data()) VstEvents{};
    list->numEvents = static_cast<VstInt32>(messages.size());
    for (size_t i = 0; i < messages.size(); ++i)
        list->events[i] = reinterpret_cast<VstEvent*>(&events[i]);
    return dispatch(effProcessEvents, 0, 0, list);
}

int HostedPlugin::latency() const
{
    return requireOpen()->initialDelay;
}

float HostedPlugin::sampleRate() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return options_.sampleRate;
}

int HostedPlugin::blockSize() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return options_.blockSize;
}

HostRecord HostedPlugin::record() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return record_;
}

void HostedPlugin::clearRecord()
{
    std::lock_guard<std::mutex> lock(mutex_);
    record_ = HostRecord{};
}

VstIntPtr VST_CALL HostedPlugin::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                              VstIntPtr value, void* ptr, float opt)
{
    HostedPlugin* self = (effect && effect->resvd1) ? reinterpret_cast<HostedPlugin*>(effect->resvd1)
                                                    : tLoading;
    if (!self)
        return opcode == audioMasterVersion ? kVstVersion : 0;
    return self->answer(opcode, index, value, ptr, opt);
}

VstIntPtr HostedPlugin::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode) {
    case audioMasterVersion:
        return options_.hostVersion;
    case audioMasterAutomate: {
        std::lock_guard<std::mutex> lock(mutex_);
        record_.automation.emplace_back(index, opt);
        record_.gestures.emplace_back('a', index);
        return 0;
    }
    case audioMasterWantMidi: {
        std::lock_guard<std::mutex> lock(mutex_);
        ++record_.wantMidi;
        return 1;
    }
    case audioMasterUpdateDisplay: {
        std::lock_guard<std::mutex> lock(mutex_);
        ++record_.updateDisplay;
        return 1;
    }
    case audioMasterIOChanged: {
        std::lock_guard<std::mutex> lock(mutex_);
        ++record_.ioChanged;
        return 1;
    }
    case audioMasterBeginEdit: {
        std::lock_guard<std::mutex> lock(mutex_);
        record_.beginEdits.push_back(index);
        record_.gestures.emplace_back('b', index);
        return 1;
    }
    case audioMasterEndEdit: {
        std::lock_guard<std::mutex> lock(mutex_);
        record_.endEdits.push_back(index);
        record_.gestures.emplace_back('e', index);
        return 1;
    }
    case audioMasterSizeWindow: {
        std::lock_guard<std::mutex> lock(mutex_);
        record_.sizeWindow.emplace_back(index, static_cast<int>(value));
        return 1;
    }
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(sampleRate());
    case audioMasterGetBlockSize:
        return blockSize();
    case audioMasterGetTime:
        // Only the audio thread asks for the transport, from inside processReplacing.
        timeInfo_.ppqPos = timeInfo_.samplePos / timeInfo_.sampleRate * kHostTempo / 60.0;
        timeInfo_.flags = (resumed_ ? kTransportPlaying : 0) | kPpqPosValid | kTempoValid | kTimeSigValid;
        return reinterpret_cast<VstIntPtr>(&timeInfo_);
    case audioMasterGetCurrentProcessLevel:
        if (options_.offline)
            return kProcessLevelOffline;
        return tInProcess ? kProcessLevelRealtime : kProcessLevelUser;
    case audioMasterGetAutomationState:
        return 1;
    case audioMasterGetVendorString:
        copyHostString(ptr, "Brelvik Audio");
        return 1;
    case audioMasterGetProductString:
        copyHostString(ptr, "Brelvik test host");
        return 1;
    case audioMasterGetVendorVersion:
        return 1000;
    case audioMasterGetLanguage:
        return 1;
    case audioMasterCanDo: {
        if (!ptr)
            return 0;
        const char* what = static_cast<const char*>(ptr);
        for (const char* supported : kHostCanDo)
            if (std::strcmp(what, supported) == 0)
                return 1;
        return 0;
    }
    default:
        return 0;
    }
}

void renderInBlocks(HostedPlugin& plugin, const std::vector<const float*>& inputs,
                    const std::vector<float*>& outputs, int64_t frames, int blockSize,
                    const std::function<void(int64_t framesDone)>& progress)
{
    const AEffect* effect = plugin.effect();
    if (!effect)
        throw std::logic_error("the plug-in instance was already closed");
    if (static_cast<int>(inputs.size()) != effect->numInputs ||
        static_cast<int>(outputs.size()) != effect->numOutputs)
        throw std::invalid_argument("the plug-in has " + std::to_string(effect->numInputs) + " inputs and " +
                                    std::to_string(effect->numOutputs) + " outputs, the buffers have " +
                                    std::to_string(inputs.size()) + " and " + std::to_string(outputs.size()));
    if (blockSize <= 0)
        throw std::invalid_argument("block size must be positive");

    std::vector<const float*> in(inputs.size());
    std::vector<float*> out(outputs.size());
    for (int64_t done = 0; done < frames;) {
        int n = static_cast<int>(std::min<int64_t>(blockSize, frames - done));
        for (size_t c = 0; c < in.size(); ++c)
            in[c] = inputs[c] + done;
        for (size_t c = 0; c < out.size(); ++c)
            out[c] = outputs[c] + done;
        plugin.process(in.data(), out.data(), n);
        done += n;
        if (progress)
            progress(done);
    }
}

} // namespace brelvik::host
