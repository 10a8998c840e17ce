#include "shell/ModuleFactory.h"

#include <new>

#include "dsp/dynamics/CK_DSP_Band_Split_3.h"
#include "dsp/dynamics/CK_DSP_BrelvikSuite_Input.h"
#include "dsp/dynamics/CK_DSP_BrelvikSuite_Output.h"
#include "dsp/dynamics/CK_DSP_Brelvik_ParamAdj.h"
#include "dsp/dynamics/CK_DSP_CompExp_Knee_Math.h"
#include "dsp/dynamics/CK_DSP_Compressor_AHR.h"
#include "dsp/dynamics/CK_DSP_Delay_ST.h"
#include "dsp/dynamics/CK_DSP_FdB_to_VFGain.h"
#include "dsp/dynamics/CK_DSP_FdB_to_VLevel.h"
#include "dsp/dynamics/CK_DSP_Level_to_dB.h"
#include "dsp/dynamics/CK_DSP_Metering2.h"
#include "dsp/dynamics/CK_DSP_ST_Level.h"
#include "dsp/dynamics/CK_DSP_ST_Mix.h"
#include "dsp/dynamics/CK_DSP_dB_to_Level.h"
#include "dsp/enhance/CK_DSP_Enhancer_Ctrl.h"
#include "dsp/enhance/CK_DSP_Synthetic_Harmonics.h"
#include "dsp/eq/CK_DSP_BiQuad_Coeff.h"
#include "dsp/eq/CK_DSP_BiQuad_Multi_Engine.h"
#include "dsp/eq/CK_DSP_BiQuad_Static.h"
#include "dsp/metering/CK_DSP_Wave_Freq_Display.h"
#include "dsp/spatial/CK_DSP_Spatial.h"
#include "modules/CK_DSP_Float_to_Volt.h"
#include "modules/CK_DSP_GUItoV_Glide.h"
#include "modules/CK_DSP_Host_AudioIn.h"
#include "modules/CK_DSP_OS_Command.h"
#include "modules/CK_FixedValueModules.h"
#include "modules/CK_ModuleBase.h"

namespace {

enum class ModuleClass {
    None,
    HostAudioIn,
    FixedValueToVolt,
    FixedValueToIntFloat,
    Glide,
    FloatToVolt,
    StLevel,
    StMix,
    DbToLevel,
    LevelToDb,
    KneeMath,
    CompressorAhr,
    Metering2,
    DelaySt,
    FdbToVfGain,
    FdbToVLevel,
    BiQuadStatic,
    BiQuadCoeff,
    BiQuadMultiEngine,
    BandSplit3,
    EnhancerCtrl,
    SyntheticHarmonics,
    Spatial,
    WaveFreqDisplay,
    OsCommand,
    ParamAdj,
    SuiteInput,
    SuiteOutput,
};

struct IdRange {
    int32_t first, last;
    ModuleClass cls;
};

constexpr IdRange kRanges[] = {
    {6003, 6003, ModuleClass::HostAudioIn},      {6004, 6006, ModuleClass::FixedValueToVolt},
    {6008, 6010, ModuleClass::FixedValueToIntFloat}, {6015, 6036, ModuleClass::Glide},
    {6038, 6041, ModuleClass::FloatToVolt},      {6144, 6146, ModuleClass::StLevel},
    {6151, 6153, ModuleClass::StMix},            {6180, 6185, ModuleClass::DbToLevel},
    {6187, 6191, ModuleClass::LevelToDb},        {6196, 6200, ModuleClass::KneeMath},
    {6202, 6206, ModuleClass::CompressorAhr},    {6232, 6238, ModuleClass::Metering2},
    {6247, 6252, ModuleClass::DelaySt},          {6325, 6331, ModuleClass::FdbToVfGain},
    {6333, 6340, ModuleClass::FdbToVLevel},      {6342, 6344, ModuleClass::BiQuadStatic},
    {6346, 6351, ModuleClass::BiQuadCoeff},      {6360, 6362, ModuleClass::BiQuadMultiEngine},
    {6367, 6368, ModuleClass::BandSplit3},       {6370, 6374, ModuleClass::EnhancerCtrl},
    {6376, 6379, ModuleClass::SyntheticHarmonics}, {6399, 6400, ModuleClass::Spatial},
    {6428, 6430, ModuleClass::WaveFreqDisplay},  {6432, 6432, ModuleClass::OsCommand},
    {6433, 6433, ModuleClass::ParamAdj},         {6438, 6438, ModuleClass::SuiteInput},
    {6439, 6439, ModuleClass::SuiteOutput},
};

ModuleClass classOf(int32_t id)
{
    for (const IdRange& r : kRanges)
        if (id >= r.first && id <= r.last)
            return r.cls;
    return ModuleClass::None;
}

} // namespace

bool isModuleId(int32_t id)
{
    return classOf(id) != ModuleClass::None;
}

CK_ModuleBase* createModule(int32_t id, CK_ModuleOwner* owner)
{
    switch (classOf(id)) {
    case ModuleClass::HostAudioIn:
        return new (std::nothrow) CK_DSP_Host_AudioIn(owner);
    case ModuleClass::FixedValueToVolt:
        return new (std::nothrow) CK_DSP_FixedValueToVolt(owner);
    case ModuleClass::FixedValueToIntFloat:
        return new (std::nothrow) CK_DSP_FixedValueToINT_FLOAT(owner);
    case ModuleClass::Glide:
        return new (std::nothrow) CK_DSP_GUItoV_Glide(owner);
    case ModuleClass::FloatToVolt:
        return new (std::nothrow) CK_DSP_Float_to_Volt(owner);
    case ModuleClass::StLevel:
        return new (std::nothrow) CK_DSP_ST_Level(owner);
    case ModuleClass::StMix:
        return new (std::nothrow) CK_DSP_ST_Mix(owner);
    case ModuleClass::DbToLevel:
        return new (std::nothrow) CK_DSP_dB_to_Level(owner);
    case ModuleClass::LevelToDb:
        return new (std::nothrow) CK_DSP_Level_to_dB(owner);
    case ModuleClass::KneeMath:
        return new (std::nothrow) CK_DSP_CompExp_Knee_Math(owner);
    case ModuleClass::CompressorAhr:
        return new (std::nothrow) CK_DSP_Compressor_AHR(owner);
    case ModuleClass::Metering2:
        return new (std::nothrow) CK_DSP_Metering2(owner);
    case ModuleClass::DelaySt:
        return new (std::nothrow) CK_DSP_Delay_ST(owner);
    case ModuleClass::FdbToVfGain:
        return new (std::nothrow) CK_DSP_FdB_to_VFGain(owner);
    case ModuleClass::FdbToVLevel:
        return new (std::nothrow) CK_DSP_FdB_to_VLevel(owner);
    case ModuleClass::BandSplit3:
        return new (std::nothrow) CK_DSP_Band_Split_3(owner);
    case ModuleClass::ParamAdj:
        return new (std::nothrow) CK_DSP_Brelvik_ParamAdj(owner);
    case ModuleClass::SuiteInput:
        return new (std::nothrow) CK_DSP_BrelvikSuite_Input(owner);
    case ModuleClass::SuiteOutput:
        return new (std::nothrow) CK_DSP_BrelvikSuite_Output(owner);
    case ModuleClass::BiQuadStatic:
        return new (std::nothrow) CK_DSP_BiQuad_Static(owner);
    case ModuleClass::BiQuadCoeff:
        return new (std::nothrow) CK_DSP_BiQuad_Coeff(owner);
    case ModuleClass::BiQuadMultiEngine:
        return new (std::nothrow) CK_DSP_BiQuad_Multi_Engine(owner);
    case ModuleClass::EnhancerCtrl:
        return new (std::nothrow) CK_DSP_Enhancer_Ctrl(owner);
    case ModuleClass::SyntheticHarmonics:
        return new (std::nothrow) CK_DSP_Synthetic_Harmonics(owner);
    case ModuleClass::Spatial:
        return new (std::nothrow) CK_DSP_Spatial(owner);
    case ModuleClass::WaveFreqDisplay:
        return new (std::nothrow) CK_DSP_Wave_Freq_Display(owner);
    case ModuleClass::OsCommand:
        return new (std::nothrow) CK_DSP_OS_Command(owner);
    case ModuleClass::None:
        break;
    }
    return nullptr;
}
