#include "dsp/enhance/CK_DSP_Enhancer_Ctrl.h"

#include "dsp/kernels/EnhancerKernel.h"

CK_DSP_Enhancer_Ctrl::CK_DSP_Enhancer_Ctrl(CK_ModuleOwner* moduleOwner) : CK_EnhancerBase(moduleOwner, kAmount) {}

void CK_DSP_Enhancer_Ctrl::prepare()
{
    startQuiet();
    enable_ = 1;
    mode_ = 0;
}

void CK_DSP_Enhancer_Ctrl::handleEvent(const CK_Event& e, int32_t)
{
    countdown_ = blockSize;
    switch (e.pin) {
    case kMainA: mainChanging_[0] = e.kind; break;
    case kMainB: mainChanging_[1] = e.kind; break;
    case kMode: mode_ = e.intValue; break;
    case kEnable: enable_ = e.intValue; break;
    default: break;
    }
    if (stereo_)
        select<true>();
    else
        select<false>();
}

template <bool Stereo>
void CK_DSP_Enhancer_Ctrl::select()
{
    if (!enable_) {
        if (mainChanging_[0] || mainChanging_[1]) {
            useRoutine<&CK_DSP_Enhancer_Ctrl::pass<Stereo>>();
        } else {
            announced_ = -1;
            useRoutine<&CK_DSP_Enhancer_Ctrl::silent<Stereo>>();
        }
        return;
    }
    switch (mode_) {
    case 0: useRoutine<&CK_DSP_Enhancer_Ctrl::enhance<0, Stereo>>(); break;
    case 1: useRoutine<&CK_DSP_Enhancer_Ctrl::enhance<1, Stereo>>(); break;
    case 2: useRoutine<&CK_DSP_Enhancer_Ctrl::enhance<2, Stereo>>(); break;
    default: break; // unknown modes keep the current routine
    }
}

template <int Mode, bool Stereo>
void CK_DSP_Enhancer_Ctrl::enhance(int32_t firstFrame, int32_t count)
{
    announce(1);
    const ck_enhancer::Inputs in{in_[kMainA], in_[kMainB], in_[kBandA], in_[kBandB], in_[kEnvelope], in_[kAmount]};
    ck_enhancer::sse2<Mode, Stereo>(in, outputs[0], outputs[1], firstFrame, count);
}
