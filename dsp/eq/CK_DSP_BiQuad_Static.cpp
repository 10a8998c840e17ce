#include "dsp/eq/CK_DSP_BiQuad_Static.h"

#include "modules/CK_ModuleGroup.h"

#include <cmath>
#include <cstring>

using namespace ck_biquad;

namespace {
constexpr double kSteadyTolerance = 1.0e-12;
constexpr double kPi = 3.14159265358979323846;
// Frequency over sample rate for the shapes designed with a run-time tangent: the span of the
// linear table axis, so the tangent never reaches 0 or its pole at fs/2.
constexpr double kMinRelativeFrequency = 1.0 / 4096.0;
constexpr double kMaxRelativeFrequency = 2047.0 / 4096.0;
// Damping of the linear-axis high-pass, indexed by the section count.
constexpr float kResD[8] = {0.985f, 0.907f, 0.817f, 0.746f, 0.688f, 0.649f, 0.617f, 0.59f};

// Low-pass (type 14) or inverted-polarity high-pass (type 15) with Q = 0.5.
CK_BiQuad halfQ(double relativeFrequency, bool highPass)
{
    const double phi = relativeFrequency < kMinRelativeFrequency   ? kMinRelativeFrequency
                       : relativeFrequency > kMaxRelativeFrequency ? kMaxRelativeFrequency
                                                                   : relativeFrequency;
    const double w = 2.0 * kPi * phi;
    const double u = w / std::tan(kPi * phi);
    const double v = u * u + 2.0 * w * u + w * w;
    const double a1 = (2.0 * w * w - 2.0 * u * u) / v;
    const double a2 = (u * u - 2.0 * w * u + w * w) / v;
    const double b = (highPass ? u * u : w * w) / v;
    const double b0 = highPass ? -b : b;
    return {static_cast<float>(b0), static_cast<float>(2.0 * b), static_cast<float>(b0), static_cast<float>(a1),
            static_cast<float>(a2)};
}

} // namespace

CK_DSP_BiQuad_Static::CK_DSP_BiQuad_Static(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
    allocateOutput(1);
    for (const float*& in : in_)
        in = zeros_;
}

void CK_DSP_BiQuad_Static::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if (pin >= kInA && pin <= kInGain)
        in_[pin] = source ? source : zeros_;
    if (pin == kInB)
        stereo_ = source != nullptr;
}

void CK_DSP_BiQuad_Static::prepare()
{
    switchA_ = 1;
    switchB_ = 0;
    run_ = 1;
    sections_ = 1;
    type_ = 0;
    lastType_ = -1;
    linearAxis_ = 1;
    frequencyChanging_ = resonanceChanging_ = gainChanging_ = 0;
    inputChanging_ = 0;
    staticInput_ = 0.0f;
    designPending_ = -1;
    clearPending_ = 1;
    steadyCheck_ = 0;
    reportedChanging_ = -1;
    countdown_ = blockSize;
    coefficients_ = {};
    const int32_t rate = owner->sampleRateHz > 0 ? owner->sampleRateHz : 44100;
    linearIndexScale_ = linearIndexScale(rate);
    tenthSampleRate_ = 0.1f * static_cast<float>(rate);
    evaluate();
}

void CK_DSP_BiQuad_Static::clearState()
{
    for (int i = 0; i < kMaxSections; ++i)
        channelA_[i] = channelB_[i] = Section{};
}

void CK_DSP_BiQuad_Static::markDesignPending()
{
    const int32_t changing = frequencyChanging_ | resonanceChanging_ | gainChanging_;
    designPending_ = changing ? 1 : -1;
}

void CK_DSP_BiQuad_Static::handleEvent(const CK_Event& event, int32_t firstFrame)
{
    countdown_ = blockSize;
    const int16_t changing = event.kind != 0 ? 1 : 0;
    const int16_t on = event.intValue != 0 ? 1 : 0;
    switch (event.pin) {
    case kInA:
        inputChanging_ = changing;
        staticInput_ = changing ? 1.0f : in_[kInA][firstFrame];
        break;
    case kInB:
        break;
    case kInFrequency:
    case kInResonance:
    case kInGain:
        (event.pin == kInFrequency ? frequencyChanging_ : event.pin == kInResonance ? resonanceChanging_ : gainChanging_) = changing;
        markDesignPending();
        break;
    case kInType:
        type_ = static_cast<int16_t>(event.intValue);
        if (type_ != lastType_) {
            lastType_ = type_;
            markDesignPending();
        }
        break;
    case kInSections: {
        const int32_t n = event.intValue + 1;
        sections_ = static_cast<int16_t>(n < 1 ? 1 : (n > kMaxSections ? kMaxSections : n));
        markDesignPending();
        break;
    }
    case kInLinearAxis:
        linearAxis_ = on;
        markDesignPending();
        break;
    case kInRun:
        run_ = on;
        if (!on)
            clearPending_ = 1;
        break;
    case kInClear:
        if (event.intValue > 0)
            clearPending_ = 1;
        return;
    case kInSwitchA:
    case kInSwitchB:
        (event.pin == kInSwitchA ? switchA_ : switchB_) = on;
        if (!switchA_ && !switchB_) {
            clearPending_ = 1;
            useRoutine<&CK_DSP_BiQuad_Static::zeroOutput>();
            if (reportedChanging_ == 0)
                reportedChanging_ = -1;
        }
        break;
    default:
        return;
    }
    evaluate();
}

void CK_DSP_BiQuad_Static::evaluate()
{
    if (!switchA_ && !switchB_)
        return;
    if (run_ && type_ != 0) {
        useRoutine<&CK_DSP_BiQuad_Static::filter, &CK_DSP_BiQuad_Static::filterTogether>();
        steadyCheck_ = staticInput_ == 0.0f ? 1 : 0;
    } else {
        if (!inputChanging_)
            reportedChanging_ = -1;
        useRoutine<&CK_DSP_BiQuad_Static::passThrough>();
    }
}

void CK_DSP_BiQuad_Static::designCoefficients(int32_t frame)
{
    const float f = in_[2][frame];
    const float r = in_[3][frame];
    const float g = in_[4][frame];
    // The resonance range tables are indexed by the section count; they hold entries 0..7.
    const int s = sections_ > 7 ? 7 : sections_;
    const Axis axis = linearAxis_ ? Axis::linear(owner->tables, linearIndexScale_) : Axis::exponential(owner->tables);
    const Position p = axis.position(f);
    switch (type_) {
    case 1: coefficients_ = lowPassV(lookup(axis.cot, p), dampingV(kResA[s], r)); break;
    case 2: coefficients_ = lowPassQ(lookup(axis.tan, p), qFactor(kResB[s], r)); break;
    case 3: coefficients_ = lowPassSC(lookup(axis.sin, p), lookup(axis.cos, p), alphaFactor(kResC3[s], r)); break;
    case 4: coefficients_ = highPassV(lookup(axis.tan, p), dampingV(linearAxis_ ? kResD[s] : kResA[s], r)); break;
    case 5: coefficients_ = highPassQ(lookup(axis.cot, p), qFactor(kResE[s], r)); break;
    case 6:
        coefficients_ = highPassInvertedSC(lookup(axis.sin, p), lookup(axis.cos, p), alphaFactor(kResF[s], r));
        break;
    case 7: coefficients_ = resonator(lookup(axis.cos, p), resonatorRadius(r)); break;
    case 8: coefficients_ = notch(lookup(axis.sin, p), lookup(axis.cos, p), notchFactor(r)); break;
    case 9: coefficients_ = peaking(lookup(axis.tan, p), r, g); break;
    case 12: coefficients_ = butterworthLowPass(lookup(axis.cot, p)); break;
    case 13: coefficients_ = butterworthHighPassInverted(lookup(axis.cot, p)); break;
    case 14: coefficients_ = halfQ(f / tenthSampleRate_, false); break;
    case 15: coefficients_ = halfQ(f / tenthSampleRate_, true); break;
    default: break;
    }
}

void CK_DSP_BiQuad_Static::report(int32_t changing)
{
    if (reportedChanging_ != changing) {
        reportedChanging_ = changing;
        sendEvent(clock, 0, changing, 0, 0.0f);
        if (stereo_)
            sendEvent(clock, 1, changing, 0, 0.0f);
    }
}

void CK_DSP_BiQuad_Static::countDown(int32_t count)
{
    countdown_ -= count;
    if (countdown_ < 0)
        rest();
}

void CK_DSP_BiQuad_Static::clearIfPending()
{
    if (clearPending_) {
        clearPending_ = 0;
        clearState();
    }
}

bool CK_DSP_BiQuad_Static::silent(const float* y) const
{
    for (int32_t n = 1; n < blockSize; ++n)
        if (std::fabs(y[n]) > kSteadyTolerance)
            return false;
    return true;
}

void CK_DSP_BiQuad_Static::beginFilter(int32_t firstFrame)
{
    report(1);
    clearIfPending();
    if (designPending_) {
        designCoefficients(firstFrame);
        if (designPending_ != 1)
            designPending_ = 0;
    }
}

void CK_DSP_BiQuad_Static::finishFilter(int32_t firstFrame)
{
    // A silent input has died away once a whole block of output is silent.
    if (steadyCheck_ && firstFrame == 0 && silent(outputs[0]) && (!stereo_ || silent(outputs[1])))
        useRoutine<&CK_DSP_BiQuad_Static::zeroOutput>();
}

void CK_DSP_BiQuad_Static::filter(int32_t firstFrame, int32_t count)
{
    beginFilter(firstFrame);
    const int32_t end = firstFrame + count;
    if (stereo_)
        ck_cascade::runStaticCascadeStereo(channelA_, channelB_, sections_, coefficients_, in_[0], in_[1], outputs[0],
                                           outputs[1], firstFrame, end);
    else
        ck_cascade::runStaticCascade(channelA_, sections_, coefficients_, in_[0], outputs[0], firstFrame, end);
    finishFilter(firstFrame);
}

void CK_DSP_BiQuad_Static::filterTogether(CK_ModuleBase* const* modules, int moduleCount, int32_t firstFrame,
                                          int32_t count)
{
    // Filters of one section each share the lanes of one register: two stereo filters fill four.
    ck_cascade::StaticLane lanes[ck_cascade::kStaticLanes];
    int used = 0;
    bool inLanes[CK_ModuleGroup::kMaxMembers] = {};
    for (int k = 0; k < moduleCount; ++k) {
        auto* f = static_cast<CK_DSP_BiQuad_Static*>(modules[k]);
        const int channels = f->stereo_ ? 2 : 1;
        if (f->sections_ != 1 || used + channels > ck_cascade::kStaticLanes) {
            f->filter(firstFrame, count);
            continue;
        }
        inLanes[k] = true;
        f->beginFilter(firstFrame);
        for (int c = 0; c < channels; ++c)
            lanes[used++] = {c == 0 ? &f->channelA_[0] : &f->channelB_[0], &f->coefficients_, f->in_[c], f->outputs[c]};
    }
    if (used > 0)
        ck_cascade::runStaticSectionsInLanes(lanes, used, firstFrame, firstFrame + count);
    for (int k = 0; k < moduleCount; ++k)
        if (inLanes[k])
            static_cast<CK_DSP_BiQuad_Static*>(modules[k])->finishFilter(firstFrame);
}

void CK_DSP_BiQuad_Static::passThrough(int32_t firstFrame, int32_t count)
{
    clearIfPending();
    report(inputChanging_);
    if (reportedChanging_ == 0)
        countDown(count);
    const size_t bytes = sizeof(float) * static_cast<size_t>(count);
    std::memcpy(outputs[0] + firstFrame, in_[0] + firstFrame, bytes);
    if (stereo_)
        std::memcpy(outputs[1] + firstFrame, in_[1] + firstFrame, bytes);
}

void CK_DSP_BiQuad_Static::zeroOutput(int32_t firstFrame, int32_t count)
{
    clearIfPending();
    report(0);
    countDown(count);
    const size_t bytes = sizeof(float) * static_cast<size_t>(count);
    std::memset(outputs[0] + firstFrame, 0, bytes);
    if (stereo_)
        std::memset(outputs[1] + firstFrame, 0, bytes);
}
