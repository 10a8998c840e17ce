// Program selection, names and chunks.
#include "shell/CK_DSP_VST.h"
#include "shell/RelaxedAtomic.h"

void CK_DSP_VST::setProgram(VstInt32 program)
{
    if (static_cast<uint32_t>(program) >= static_cast<uint32_t>(kNumPrograms))
        return;
    programLoading_.store(-1, std::memory_order_relaxed);
    // Raised before and after the values so that whichever processing call collects them, the
    // smoothing modules jump to the new program instead of gliding.
    programChangePending_.store(true, std::memory_order_release);
    relaxedStore(curProgram, program);
    for (int32_t i = 0; i < kNumParams; ++i) {
        const float v = bank_.value(program, i);
        relaxedStore(snapshot_[i], v);
        setParameter(i, v);
    }
    programChangePending_.store(true, std::memory_order_release);
    programLoading_.store(0, std::memory_order_relaxed);
}

VstInt32 CK_DSP_VST::getProgram()
{
    return relaxedLoad(curProgram);
}

void CK_DSP_VST::setProgramName(char* name)
{
    bank_.setName(relaxedLoad(curProgram), name);
}

void CK_DSP_VST::getProgramName(char* name)
{
    bank_.name(relaxedLoad(curProgram), name);
}

bool CK_DSP_VST::getProgramNameIndexed(VstInt32, VstInt32 index, char* text)
{
    if (index < 0 || index >= kNumPrograms)
        return false;
    bank_.name(index, text);
    return true;
}

VstInt32 CK_DSP_VST::getChunk(void** data, bool isPreset)
{
    if (isPreset) {
        *data = bank_.record(relaxedLoad(curProgram));
        return static_cast<VstInt32>(CK_ProgramBank::kRecordBytes);
    }
    *data = bank_.data();
    return static_cast<VstInt32>(CK_ProgramBank::kBankBytes);
}

VstInt32 CK_DSP_VST::setChunk(void* data, VstInt32 byteSize, bool)
{
    if (!data || byteSize <= 0)
        return 0;
    bank_.applyChunk(data, static_cast<size_t>(byteSize), relaxedLoad(curProgram));
    setProgram(relaxedLoad(curProgram));
    return byteSize;
}
