#include "shell/CK_DSP_VST.h"

#include <algorithm>
#include <iterator>
#include <cmath>
#include <cstring>

#include "modules/CK_ModuleBase.h"
#include "platform/FlushDenormals.h"
#include "platform/Resources.h"
#include "shell/ControlTable.h"
#include "shell/GraphTable.h"
#include "shell/RelaxedAtomic.h"
#include "vst/VstStrings.h"

namespace {

constexpr const char* kFactoryBankName = "VST_PatchMemoryBanks.mem";
constexpr const char* kFactoryBankType = "DATA";

struct CanDoAnswer {
    const char* text;
    VstInt32 answer;
};

constexpr CanDoAnswer kCanDo[] = {
    {"receiveVstEvents", 1}, {"receiveVstMidiEvents", 1}, {"receiveVstTimeInfo", 1},
    {"sendVstMidiEvent", -1}, {"sendVstEvents", -1},      {"offline", -1},
    {"bypass", -1},          {"midiProgramNames", -1},
};

bool fillPin(VstInt32 index, VstPinProperties* properties, const char* left, const char* right)
{
    if (index < 0 || index > 1 || !properties)
        return false;
    vst_strncpy(properties->label, index == 0 ? left : right, kVstMaxLabelLen - 1);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    properties->arrangementType = kSpeakerArrStereo;
    return true;
}

VstSpeakerArrangement makeStereoArrangement()
{
    VstSpeakerArrangement a{};
    a.type = kSpeakerArrStereo;
    a.numChannels = 2;
    vst_strncpy(a.speakers[0].name, "L", kVstMaxNameLen - 1);
    a.speakers[0].type = kSpeakerL;
    vst_strncpy(a.speakers[1].name, "R", kVstMaxNameLen - 1);
    a.speakers[1].type = kSpeakerR;
    return a;
}

// Stereo in and stereo out; hosts only read it.
VstSpeakerArrangement gStereoArrangement = makeStereoArrangement();

} // namespace

CK_DSP_VST::CK_DSP_VST(audioMasterCallback host)
    : AudioEffectX(host, kNumPrograms, kNumParams), graphTable_(kGraphTableBytes)
{
    std::fill(std::begin(idToPosition_), std::end(idToPosition_), static_cast<int16_t>(-1));
    programsAreChunks(true);

    const void* factory = nullptr;
    size_t factorySize = 0;
    if (ck_findResource(kFactoryBankName, kFactoryBankType, &factory, &factorySize))
        bank_.loadFactory(factory, factorySize);

    sampleRateHz = static_cast<int32_t>(sampleRate);
    sampleRateKHz = static_cast<float>(sampleRateHz) / 1000.0f;
    hostBlockCap_ = std::min<int32_t>(blockSize, kMaxBlockSize);
    cappedBlockSize = hostBlockCap_;
    tables.compute(sampleRateHz);

    if (audioMaster) {
        setNumInputs(2);
        setNumOutputs(2);
        setUniqueID(vstFourCC('B', 'r', 'S', 't'));
        noTail(false);
        canProcessReplacing(true);
        wantEvents();
    }
    setProgram(0);
}

CK_DSP_VST::~CK_DSP_VST()
{
    // The editor goes before the effect's members: its views read them until it is closed (the
    // base class would delete it only after they are gone).
    if (AEffEditor* own = getEditor()) {
        own->close();
        setEditor(nullptr);
        delete own;
    }
    destroyModules();
}

// ---- host declarations ----------------------------------------------------------------------

VstInt32 CK_DSP_VST::canDo(const char* text)
{
    if (!text)
        return 0;
    for (const CanDoAnswer& a : kCanDo)
        if (std::strcmp(a.text, text) == 0)
            return a.answer;
    return 0;
}

bool CK_DSP_VST::getEffectName(char* name)
{
    vst_strncpy(name, kEffectName, kVstMaxEffectNameLen - 1);
    return true;
}

bool CK_DSP_VST::getVendorString(char* text)
{
    vst_strncpy(text, kVendorName, kVstMaxVendorStrLen - 1);
    return true;
}

bool CK_DSP_VST::getProductString(char* text)
{
    vst_strncpy(text, kEffectName, kVstMaxProductStrLen - 1);
    return true;
}

bool CK_DSP_VST::getInputProperties(VstInt32 index, VstPinProperties* properties)
{
    return fillPin(index, properties, "Left In", "Right In");
}

bool CK_DSP_VST::getOutputProperties(VstInt32 index, VstPinProperties* properties)
{
    return fillPin(index, properties, "Left Out", "Right Out");
}

bool CK_DSP_VST::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output)
{
    *input = &gStereoArrangement;
    *output = &gStereoArrangement;
    return true;
}

// ---- state ------------------------------------------------------------------------------------

void CK_DSP_VST::setSampleRate(float rate)
{
    // A rate that is not a positive, finite number of a sane size would break every filter design.
    if (!(rate >= 1.0f && rate <= 10.0e6f))
        return;
    AudioEffectX::setSampleRate(rate);
    sampleRateHz = static_cast<int32_t>(rate);
    sampleRateKHz = static_cast<float>(sampleRateHz) / 1000.0f;
    if (sampleRateHz != builtSampleRate_)
        tables.compute(sampleRateHz);
}

void CK_DSP_VST::setBlockSize(VstInt32 size)
{
    if (size < 1)
        return;
    AudioEffectX::setBlockSize(size);
    hostBlockCap_ = std::min<int32_t>(size, kMaxBlockSize);
}

void CK_DSP_VST::suspend()
{
    for (int32_t i = 0; i < moduleCount; ++i)
        if (modules[i])
            modules[i]->clearState();
    clock = 0;
    position_ = 0;
}

void CK_DSP_VST::resume()
{
    lastController_.store(-1, std::memory_order_relaxed);
    if (hostBlockCap_ != builtBlockSize_ || sampleRateHz != builtSampleRate_) {
        builtBlockSize_ = hostBlockCap_;
        builtSampleRate_ = sampleRateHz;
        destroyModules();
        position_ = 0;
        cappedBlockSize = builtBlockSize_;
        programChanged = -1;
        graphRebuilt = -1;
        buildGraph();
        for (int32_t i = 0; i < moduleCount; ++i)
            if (modules[i])
                modules[i]->prepare();
        pushAllParameters();
    } else {
        for (int32_t i = 0; i < moduleCount; ++i)
            if (modules[i])
                modules[i]->restart();
    }
    setInitialDelay(static_cast<VstInt32>(sampleRateKHz * 2.0f));
}

void CK_DSP_VST::pushAllParameters()
{
    // Values published before the build are taken over directly: the push below announces them.
    handover_.collect([](int, float, bool) {});
    for (int i = 0; i < kParameterCount; ++i)
        parameterVolts[i] = handover_.latest(i);
    for (int i = 0; i < kParameterCount; ++i)
        sendParameter(clock, i, 0, roundedValue(parameterVolts[i]), parameterVolts[i]);
}

void CK_DSP_VST::collectPublishedChanges()
{
    if (programChangePending_.exchange(false, std::memory_order_acquire))
        programChanged = -1;
    handover_.collect([this](int index, float v, bool notify) {
        if (index == kTagWebLink && notify)
            webLinkPresses_.collected(parameterVolts[index], v);
        parameterVolts[index] = v;
        if (notify)
            sendParameter(clock, index, 0, roundedValue(v), v);
    });
    if (webLinkPresses_.takeMissedPress(parameterVolts[kTagWebLink])) {
        const float down = toVolts(kTagWebLink, 1.0f);
        sendParameter(clock, kTagWebLink, 0, roundedValue(down), down);
        sendParameter(clock, kTagWebLink, 0, 0, 0.0f);
    }
}

void CK_DSP_VST::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (sampleFrames <= 0 || !outputs || !outputs[0] || !outputs[1])
        return;
    const CK_FlushDenormals flushDenormals;
    collectPublishedChanges();
    if (moduleCount == 0 || builtBlockSize_ <= 0) {
        std::memset(outputs[0], 0, sizeof(float) * static_cast<size_t>(sampleFrames));
        std::memset(outputs[1], 0, sizeof(float) * static_cast<size_t>(sampleFrames));
        return;
    }
    const bool haveInputs = inputs && inputs[0] && inputs[1];
    // The plug-in's output is output pins 0 and 1 of the last module; a graph without them is silent.
    CK_ModuleBase* last = modules[moduleCount - 1];
    const float* result[2] = {last ? last->output(0) : nullptr, last ? last->output(1) : nullptr};

    const auto ring = static_cast<uint32_t>(builtBlockSize_);
    int32_t offset = 0;
    int32_t remaining = sampleFrames;
    while (remaining > 0) {
        auto n = static_cast<uint32_t>(std::min<int32_t>(remaining, kMaxBlockSize));
        if (position_ + n > ring)
            n = ring - position_;
        const size_t bytes = sizeof(float) * n;
        for (int c = 0; c < 2; ++c) {
            if (!hostInput[c])
                continue;
            if (haveInputs)
                std::memcpy(hostInput[c] + position_, inputs[c] + offset, bytes);
            else
                std::memset(hostInput[c] + position_, 0, bytes);
        }
        runModules(static_cast<int32_t>(position_), static_cast<int32_t>(n));
        for (int c = 0; c < 2; ++c) {
            if (result[c])
                std::memcpy(outputs[c] + offset, result[c] + position_, bytes);
            else
                std::memset(outputs[c] + offset, 0, bytes);
        }
        position_ += n;
        offset += static_cast<int32_t>(n);
        remaining -= static_cast<int32_t>(n);
        clock += n;
        programChanged = 0;
        graphRebuilt = 0;
        if (position_ >= ring)
            position_ = 0;
    }
}

void CK_DSP_VST::showValue(int32_t controlIndex, const CK_LinkMessage& message)
{
    if (controlIndex <= 0 || controlIndex >= kParameterCount)
        return;
    if (editorAttached_.load(std::memory_order_acquire))
        mailbox_.postMessage(controlIndex, message);
}

void CK_DSP_VST::setGlobalDisplayTags(int32_t valueDisplayTag, int32_t nameDisplayTag)
{
    globalValueTag_.store(valueDisplayTag, std::memory_order_relaxed);
    globalNameTag_.store(nameDisplayTag, std::memory_order_relaxed);
    shownTag_.store(-1, std::memory_order_relaxed);
}

int16_t CK_DSP_VST::positionOfId(int32_t id) const
{
    return id >= 0 && id <= kMaxModuleId ? idToPosition_[id] : static_cast<int16_t>(-1);
}

int32_t CK_DSP_VST::listenerCount(int32_t parameter) const
{
    return parameter >= 0 && parameter < kParameterCount ? listenerCounts_[parameter] : 0;
}

float CK_DSP_VST::programSnapshot(int32_t parameter) const
{
    return parameter >= 0 && parameter < kNumParams ? relaxedLoad(snapshot_[parameter]) : 0.0f;
}
