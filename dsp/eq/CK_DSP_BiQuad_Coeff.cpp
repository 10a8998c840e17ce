#include "dsp/eq/CK_DSP_BiQuad_Coeff.h"

using namespace ck_biquad;

namespace {
constexpr int kOutActive = 5;
constexpr int kPeaking = 9;
} // namespace

CK_DSP_BiQuad_Coeff::CK_DSP_BiQuad_Coeff(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    for (int pin = 0; pin < 5; ++pin)
        allocateOutput(pin);
    for (const float*& in : in_)
        in = zeros_;
}

void CK_DSP_BiQuad_Coeff::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if (pin >= kInFrequency && pin <= kInGain)
        in_[pin] = source ? source : zeros_;
}

void CK_DSP_BiQuad_Coeff::prepare()
{
    linearIndexScale_ = linearIndexScale(owner->sampleRateHz > 0 ? owner->sampleRateHz : 44100);
    frequencyChanging_ = widthChanging_ = gainChanging_ = inputsChanging_ = 0;
    staticGain_ = 0.0f;
    // A full block before the first rest, so every buffer position holds a design.
    countdown_ = blockSize;
    reportedChanging_ = -1;
    reportedActive_ = -1;
    perSample_ = 0;
    linearAxis_ = 1;
    type_ = kPeaking;
    enable_ = 1;
    resonanceIndex_ = 0;
    selectCompute();
    sendEvent(clock, kOutActive, 0, 1, 1.0f);
}

void CK_DSP_BiQuad_Coeff::handleEvent(const CK_Event& event, int32_t firstFrame)
{
    countdown_ = blockSize;
    const int32_t changing = event.kind != 0 ? 1 : 0;
    switch (event.pin) {
    case kInFrequency:
        frequencyChanging_ = changing;
        break;
    case kInWidth:
        widthChanging_ = changing;
        break;
    case kInGain:
        gainChanging_ = changing;
        staticGain_ = changing ? 1.0f : in_[kInGain][firstFrame];
        break;
    case kInType:
    case kInResonanceRange:
    case kInLinearAxis:
        if (event.pin == kInType)
            type_ = static_cast<int16_t>(event.intValue);
        else if (event.pin == kInResonanceRange)
            resonanceIndex_ = static_cast<int16_t>(clampResonanceIndex(event.intValue));
        else
            linearAxis_ = event.intValue != 0 ? 1 : 0;
        if (reportedChanging_ == 0)
            reportedChanging_ = -1;
        break;
    case kInPerSample:
        perSample_ = event.intValue != 0 ? 1 : 0;
        if (computing_)
            selectCompute();
        return;
    case kInEnable:
        enable_ = event.intValue != 0 ? 1 : 0;
        if (!enable_) {
            computing_ = false;
            useRoutine<&CK_DSP_BiQuad_Coeff::zeroOutput>();
            reportedChanging_ = -1;
        }
        break;
    default:
        return;
    }
    if (!enable_)
        return;
    if (type_ == 0) {
        computing_ = false;
        useRoutine<&CK_DSP_BiQuad_Coeff::zeroOutput>();
        if (reportedChanging_ == 0)
            reportedChanging_ = -1;
        return;
    }
    inputsChanging_ = frequencyChanging_ | widthChanging_ | (type_ == kPeaking ? gainChanging_ : 0);
    if (inputsChanging_ == 0)
        reportedChanging_ = -1;
    selectCompute();
}

template <int Type>
CK_ProcessRoutine CK_DSP_BiQuad_Coeff::computeVariant() const
{
    using ck_detail::routineTrampoline;
    static constexpr CK_ProcessRoutine variants[4] = {
        &routineTrampoline<&CK_DSP_BiQuad_Coeff::compute<Type, false, false>>,
        &routineTrampoline<&CK_DSP_BiQuad_Coeff::compute<Type, false, true>>,
        &routineTrampoline<&CK_DSP_BiQuad_Coeff::compute<Type, true, false>>,
        &routineTrampoline<&CK_DSP_BiQuad_Coeff::compute<Type, true, true>>,
    };
    return variants[(linearAxis_ ? 2 : 0) + (perSample_ ? 1 : 0)];
}

void CK_DSP_BiQuad_Coeff::selectCompute()
{
    computing_ = true;
    CK_ProcessRoutine routine = &ck_detail::routineTrampoline<&CK_DSP_BiQuad_Coeff::keepOutput>;
    switch (type_) {
    case 1: routine = computeVariant<1>(); break;
    case 2: routine = computeVariant<2>(); break;
    case 3: routine = computeVariant<3>(); break;
    case 4: routine = computeVariant<4>(); break;
    case 5: routine = computeVariant<5>(); break;
    case 6: routine = computeVariant<6>(); break;
    case 7: routine = computeVariant<7>(); break;
    case 8: routine = computeVariant<8>(); break;
    case 9: routine = computeVariant<9>(); break;
    case 12: routine = computeVariant<12>(); break;
    case 13: routine = computeVariant<13>(); break;
    default: break;
    }
    setProcessRoutine(routine);
}

void CK_DSP_BiQuad_Coeff::sendActive(int32_t active)
{
    reportedActive_ = active;
    sendEvent(clock, kOutActive, 0, active, static_cast<float>(active));
}

void CK_DSP_BiQuad_Coeff::countDown(int32_t count)
{
    countdown_ -= count;
    if (countdown_ < 0)
        rest();
}

void CK_DSP_BiQuad_Coeff::announce(int32_t count, int32_t active)
{
    if (inputsChanging_ != reportedChanging_) {
        reportedChanging_ = inputsChanging_;
        sendEvent(clock, 0, inputsChanging_, 0, 0.0f);
    }
    if (active != reportedActive_)
        sendActive(active);
    if (reportedChanging_ == 0)
        countDown(count);
}

void CK_DSP_BiQuad_Coeff::zeroOutput(int32_t firstFrame, int32_t count)
{
    if (reportedChanging_ != 0) {
        reportedChanging_ = 0;
        sendEvent(clock, 0, 0, 0, 0.0f);
        sendActive(0);
    }
    countDown(count);
    for (int pin = 0; pin < 5; ++pin)
        for (int32_t n = firstFrame; n < firstFrame + count; ++n)
            outputs[pin][n] = 0.0f;
}

void CK_DSP_BiQuad_Coeff::keepOutput(int32_t, int32_t count)
{
    announce(count, 1);
}

void CK_DSP_BiQuad_Coeff::store(int32_t frame, const CK_BiQuad& c)
{
    outputs[0][frame] = c.b0;
    outputs[1][frame] = c.b1;
    outputs[2][frame] = c.b2;
    outputs[3][frame] = c.a1;
    outputs[4][frame] = c.a2;
}

template <int Type, bool Linear>
float CK_DSP_BiQuad_Coeff::setupValue(int32_t frame) const
{
    const float r = in_[1][frame];
    const int s = resonanceIndex_;
    if constexpr (Type == 1)
        return dampingV(kResA[s], r);
    else if constexpr (Type == 2)
        return qFactor(kResB[s], r);
    else if constexpr (Type == 3)
        return alphaFactor(kResC3[s], r);
    else if constexpr (Type == 4)
        return Linear ? dampingV(kResA[s], 0.0f) : dampingV(kResA[s], r);
    else if constexpr (Type == 5)
        return qFactor(kResE[s], r);
    else if constexpr (Type == 6)
        return alphaFactor(kResF[s], r);
    else if constexpr (Type == 7)
        return resonatorRadius(r);
    else if constexpr (Type == 8)
        return notchFactor(r);
    else
        return 0.0f;
}

template <int Type, bool Linear>
CK_BiQuad CK_DSP_BiQuad_Coeff::design(const Axis& axis, int32_t frame, float setup) const
{
    const Position p = axis.position(in_[0][frame]);
    if constexpr (Type == 1)
        return lowPassV(lookup(axis.cot, p), setup);
    else if constexpr (Type == 2)
        return lowPassQ(lookup(axis.tan, p), setup);
    else if constexpr (Type == 3)
        return lowPassSC(lookup(axis.sin, p), lookup(axis.cos, p), setup);
    else if constexpr (Type == 4)
        return highPassV(lookup(axis.tan, p), setup);
    else if constexpr (Type == 5)
        return highPassQ(lookup(axis.cot, p), setup);
    else if constexpr (Type == 6)
        return highPassInvertedSC(lookup(axis.sin, p), lookup(axis.cos, p), setup);
    else if constexpr (Type == 7)
        return resonator(lookup(axis.cos, p), setup);
    else if constexpr (Type == 8)
        return notch(lookup(axis.sin, p), lookup(axis.cos, p), setup);
    else if constexpr (Type == 9)
        return peaking(lookup(axis.tan, p), in_[1][frame], in_[2][frame]);
    else if constexpr (Type == 12)
        return butterworthLowPass(lookup(axis.cot, p));
    else
        return butterworthHighPassInverted(lookup(axis.cot, p));
}

template <int Type, bool Linear, bool PerSample>
void CK_DSP_BiQuad_Coeff::compute(int32_t firstFrame, int32_t count)
{
    // A peaking band with a gain of exactly 0 (g' = 0.5, within 0.02 dB of flat) is reported
    // inactive so the engines can skip it; NaN counts as a gain.
    announce(count, Type == kPeaking ? (staticGain_ != 0.0f ? 1 : 0) : 1);
    const Axis axis = Linear ? Axis::linear(owner->tables, linearIndexScale_) : Axis::exponential(owner->tables);
    const float setup = setupValue<Type, Linear>(firstFrame);
    if constexpr (PerSample) {
        for (int32_t n = firstFrame; n < firstFrame + count; ++n)
            store(n, design<Type, Linear>(axis, n, setup));
    } else {
        store(0, design<Type, Linear>(axis, firstFrame, setup));
    }
}
