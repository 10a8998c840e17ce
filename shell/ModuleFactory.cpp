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
#include "shell/ModuleIds.h"

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
    ModuleIdRange ids;
    ModuleClass cls;
};

constexpr IdRange kRanges[] = {
    {kHostAudioInIds, ModuleClass::HostAudioIn},
    {kFixedValueToVoltIds, ModuleClass::FixedValueToVolt},
    {kFixedValueToIntFloatIds, ModuleClass::FixedValueToIntFloat},
    {kGlideIds, ModuleClass::Glide},
    {kFloatToVoltIds, ModuleClass::FloatToVolt},
    {kStLevelIds, ModuleClass::StLevel},
    {kStMixIds, ModuleClass::StMix},
    {kDbToLevelIds, ModuleClass::DbToLevel},
    {kLevelToDbIds, ModuleClass::LevelToDb},
    {kKneeMathIds, ModuleClass::KneeMath},
    {kCompressorAhrIds, ModuleClass::CompressorAhr},
    {kMetering2Ids, ModuleClass::Metering2},
    {kDelayStIds, ModuleClass::DelaySt},
    {kFdbToVfGainIds, ModuleClass::FdbToVfGain},
    {kFdbToVLevelIds, ModuleClass::FdbToVLevel},
    {kBiQuadStaticIds, ModuleClass::BiQuadStatic},
    {kBiQuadCoeffIds, ModuleClass::BiQuadCoeff},
    {kBiQuadMultiEngineIds, ModuleClass::BiQuadMultiEngine},
    {kBandSplit3Ids, ModuleClass::BandSplit3},
    {kEnhancerCtrlIds, ModuleClass::EnhancerCtrl},
    {kSyntheticHarmonicsIds, ModuleClass::SyntheticHarmonics},
    {kSpatialIds, ModuleClass::Spatial},
    {kWaveFreqDisplayIds, ModuleClass::WaveFreqDisplay},
    {kOsCommandIds, ModuleClass::OsCommand},
    {kParamAdjIds, ModuleClass::ParamAdj},
    {kSuiteInputIds, ModuleClass::SuiteInput},
    {kSuiteOutputIds, ModuleClass::SuiteOutput},
};

ModuleClass classOf(int32_t id)
{
    for (const IdRange& r : kRanges)
        if (id >= r.ids.first && id <= r.ids.last)
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
