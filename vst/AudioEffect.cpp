#include "vst/AudioEffect.h"

#include <cstring>

namespace {

AudioEffect* objectOf(AEffect* e)
{
    return e ? static_cast<AudioEffect*>(e->object) : nullptr;
}

VstIntPtr VST_CALL dispatchTrampoline(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                      float opt)
{
    AudioEffect* effect = objectOf(e);
    if (!effect)
        return 0;
    if (opcode == effClose) {
        effect->dispatcher(opcode, index, value, ptr, opt);
        delete effect;
        return 0;
    }
    return effect->dispatcher(opcode, index, value, ptr, opt);
}

// The deprecated accumulating entry: hosts that still call it get nothing mixed in. It is a
// function of its own because some hosts reject a plug-in whose two entries are the same.
void VST_CALL accumulatingProcessTrampoline(AEffect*, float**, float**, VstInt32) {}

void VST_CALL processReplacingTrampoline(AEffect* e, float** inputs, float** outputs, VstInt32 frames)
{
    if (AudioEffect* effect = objectOf(e))
        effect->processReplacing(inputs, outputs, frames);
}

void VST_CALL processDoubleReplacingTrampoline(AEffect* e, double** inputs, double** outputs, VstInt32 frames)
{
    if (AudioEffect* effect = objectOf(e))
        effect->processDoubleReplacing(inputs, outputs, frames);
}

void VST_CALL setParameterTrampoline(AEffect* e, VstInt32 index, float value)
{
    if (AudioEffect* effect = objectOf(e))
        effect->setParameter(index, value);
}

float VST_CALL getParameterTrampoline(AEffect* e, VstInt32 index)
{
    AudioEffect* effect = objectOf(e);
    return effect ? effect->getParameter(index) : 0.0f;
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback host, VstInt32 programs, VstInt32 params)
    : numPrograms(programs), numParams(params), audioMaster(host)
{
    std::memset(&cEffect, 0, sizeof cEffect);
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchTrampoline;
    cEffect.process = accumulatingProcessTrampoline;
    cEffect.setParameter = setParameterTrampoline;
    cEffect.getParameter = getParameterTrampoline;
    cEffect.numPrograms = programs;
    cEffect.numParams = params;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = vstFourCC('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingTrampoline;
    cEffect.processDoubleReplacing = processDoubleReplacingTrampoline;
}

AudioEffect::~AudioEffect()
{
    delete editor;
}

void AudioEffect::setFlag(VstInt32 flag, bool state)
{
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

void AudioEffect::setEditor(AEffEditor* newEditor)
{
    editor = newEditor;
    setFlag(effFlagsHasEditor, editor != nullptr);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

VstInt32 AudioEffect::getMasterVersion()
{
    const VstIntPtr version = callHost(audioMasterVersion);
    return static_cast<VstInt32>(version);
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value)
{
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::beginEdit(VstInt32 index)
{
    callHost(audioMasterBeginEdit, index);
}

void AudioEffect::endEdit(VstInt32 index)
{
    callHost(audioMasterEndEdit, index);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        if (value >= 0 && value < numPrograms)
            setProgram(static_cast<VstInt32>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (ptr)
            setProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetProgramName:
        if (ptr)
            getProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetParamLabel:
        if (ptr)
            getParameterLabel(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamDisplay:
        if (ptr)
            getParameterDisplay(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamName:
        if (ptr)
            getParameterName(index, static_cast<char*>(ptr));
        return 0;
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<VstInt32>(value));
        return 0;
    case effMainsChanged:
        if (value)
            resume();
        else
            suspend();
        return 0;
    case effEditGetRect:
        return editor && ptr ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
    case effEditOpen:
        return editor ? editor->open(ptr) : 0;
    case effEditClose:
        if (!editor)
            return 0;
        editor->close();
        return 1;
    case effEditIdle:
        if (!editor)
            return 0;
        editor->idle();
        return 1;
    case effIdentify:
        return kNvEfIdentifier;
    case effGetChunk:
        return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
        return ptr && value > 0 ? setChunk(ptr, static_cast<VstInt32>(value), index != 0) : 0;
    default:
        return 0;
    }
}
