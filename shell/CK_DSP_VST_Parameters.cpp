// Parameter values, names and display texts, listeners, and MIDI controller input.
#include <cmath>
#include <cstring>

#include "modules/CK_ModuleBase.h"
#include "shell/CK_DSP_VST.h"
#include "shell/ControlTable.h"
#include "shell/ControlTypes.h"
#include "shell/RelaxedAtomic.h"
#include "vst/VstStrings.h"

static_assert(CK_DSP_VST::kNumParams == kHostParameterCount, "the program bank stores every host parameter");

namespace {

float clampNormalised(float value)
{
    if (!(value > 0.0f)) // NaN and everything up to 0
        return 0.0f;
    return value < 1.0f ? value : 1.0f;
}

} // namespace

void CK_DSP_VST::setParameter(VstInt32 index, float value)
{
    if (index < 0 || index >= kParameterCount)
        return;
    value = clampNormalised(value);
    if (index < kNumParams)
        bank_.setValue(relaxedLoad(curProgram), index, value);
    const float v = toVolts(index, value);
    handover_.publish(index, v, true);
    mailbox_.postValue(index, value, programLoading_.load(std::memory_order_relaxed) != 0);
    if (index == kTagWebLink && v != 0.0f)
        webLinkPresses_.pressed();
}

float CK_DSP_VST::getParameter(VstInt32 index)
{
    if (index < 0 || index >= kNumParams)
        return 0.0f;
    return bank_.value(relaxedLoad(curProgram), index);
}

void CK_DSP_VST::setParameterAutomated(VstInt32 index, float value)
{
    setParameter(index, value);
    if (index >= 0 && index < kNumParams)
        callHost(audioMasterAutomate, index, 0, nullptr, clampNormalised(value));
}

void CK_DSP_VST::setParameterFromEditor(int32_t index, float v, bool send)
{
    if (index < 0 || index >= kParameterCount || !std::isfinite(v))
        return;
    const float normalised = clampNormalised(normalisedFromVolts(index, v));
    if (index < kNumParams)
        bank_.setValue(relaxedLoad(curProgram), index, normalised);
    handover_.publish(index, v, send);
    mailbox_.postValue(index, normalised, false);
    if (send && index == kTagWebLink && v != 0.0f)
        webLinkPresses_.pressed();
}

// Host notifications belong to host parameters only: editor-only tags are unknown to the host.
void CK_DSP_VST::beginEdit(int32_t index)
{
    if (index >= 0 && index < kNumParams)
        AudioEffectX::beginEdit(index);
}

void CK_DSP_VST::endEdit(int32_t index)
{
    if (index >= 0 && index < kNumParams)
        AudioEffectX::endEdit(index);
}

float CK_DSP_VST::editorValue(int32_t tag) const
{
    if (tag < 0 || tag >= kParameterCount)
        return 0.0f;
    if (tag < kNumParams)
        return bank_.value(relaxedLoad(curProgram), tag);
    return clampNormalised(normalisedFromVolts(tag, handover_.latest(tag)));
}

void CK_DSP_VST::applyParameterNow(int32_t index, float normalised, uint32_t time)
{
    normalised = clampNormalised(normalised);
    const float v = toVolts(index, normalised);
    handover_.cancel(index);
    handover_.setLatest(index, v);
    parameterVolts[index] = v;
    if (index < kNumParams)
        bank_.setValue(relaxedLoad(curProgram), index, normalised);
    mailbox_.postValue(index, normalised, false);
    sendParameter(time, index, 0, roundedValue(v), v);
}

void CK_DSP_VST::getParameterLabel(VstInt32, char* label)
{
    label[0] = '\0';
}

void CK_DSP_VST::getParameterName(VstInt32 index, char* text)
{
    constexpr int kNameChars = 20;
    if (index < 0 || index >= kNumParams) {
        vst_strncpy(text, "z-", kVstMaxParamStrLen);
        return;
    }
    const CK_ParameterMap& map = CK_ParameterMap::instance();
    const CK_ControlRecord& r = map.record(index);
    if (map.recordOf(index) == 0)
        vst_strncpy(text, "Unused", kVstMaxParamStrLen); // host indices that carry no parameter
    else if (r.name)
        vst_strncpy(text, r.name, kNameChars);
    else
        vst_strncpy(text, "z|", kVstMaxParamStrLen);
}

void CK_DSP_VST::getParameterDisplay(VstInt32 index, char* text)
{
    text[0] = '\0';
    if (index < 0 || index >= kNumParams)
        return;
    const CK_ParameterMap& map = CK_ParameterMap::instance();
    const CK_ControlRecord& r = map.record(index);
    const float engineering = handover_.latest(index) * kUnitsPerVolt;
    if (ControlType::isChoiceType(r.type)) {
        const int n = map.choiceCount(index);
        if (n == 0)
            return;
        const auto i = static_cast<int>(static_cast<float>(n - 1) * getParameter(index));
        if (i >= 0 && i < n && choiceLabel(r.choices, i, text, kVstMaxParamStrLen))
            return;
    } else if (ControlType::isReadout(r.type) || ControlType::isGlobalDisplay(r.type) ||
               ControlType::isTextEntry(r.type)) {
        // Read-outs and text entries show nothing to the host.
        return;
    }
    float2string(engineering, text, kVstMaxParamStrLen);
}

void CK_DSP_VST::sendParameter(uint32_t time, int32_t index, int32_t kind, int32_t intValue, float floatValue)
{
    if (index < 0 || index >= kParameterCount)
        return;
    for (int i = 0; i < listenerCounts_[index]; ++i) {
        const Listener& l = listeners_[index][i];
        if (l.position < moduleCount)
            if (CK_ModuleBase* m = modules[l.position])
                m->postEvent(time, l.pin, kind, intValue, floatValue, &parameterVolts[index]);
    }
}

void CK_DSP_VST::listenParameter(CK_ModuleBase* module, int32_t position, int32_t index, int32_t pin)
{
    if (!module || index < 0 || index >= kParameterCount || listenerCounts_[index] >= kMaxListeners)
        return;
    listeners_[index][listenerCounts_[index]++] = {static_cast<uint16_t>(position), static_cast<uint16_t>(pin)};
    module->setInput(pin, &parameterVolts[index]);
}

void CK_DSP_VST::setLearnedController(int32_t parameter, int32_t controller)
{
    if (parameter < 0 || parameter >= kNumParams)
        return;
    bank_.setController(0, parameter, static_cast<int16_t>(controller >= -1 && controller <= 127 ? controller : -1));
}

int32_t CK_DSP_VST::learnedController(int32_t parameter)
{
    return bank_.controller(0, parameter);
}

VstInt32 CK_DSP_VST::processEvents(VstEvents* events)
{
    if (!events)
        return 1;
    for (VstInt32 k = 0; k < events->numEvents; ++k) {
        const VstEvent* e = events->events[k];
        if (!e || e->type != kVstMidiType)
            continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(e);
        const auto status = static_cast<uint8_t>(midi->midiData[0]);
        if (status >= 0xF0 || (status & 0xF0) != 0xB0)
            continue;
        const int controller = static_cast<uint8_t>(midi->midiData[1]) & 0x7F;
        const float value = static_cast<float>(static_cast<uint8_t>(midi->midiData[2]) & 0x7F) / 127.0f;
        lastController_.store(controller, std::memory_order_relaxed);
        const uint32_t time = clock + static_cast<uint32_t>(midi->deltaFrames > 0 ? midi->deltaFrames : 0);
        for (int32_t p = 1; p < kNumParams; ++p)
            if (bank_.controller(0, p) == controller)
                applyParameterNow(p, value, time);
    }
    return 1;
}
