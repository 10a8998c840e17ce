#include "dsp/eq/CK_DSP_BiQuad_Multi_Engine.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace {
// Keeps the recursion away from denormal numbers when the input falls silent.
constexpr double kDenormalGuard = ck_cascade::kEqDenormalGuard;
constexpr double kSteadyTolerance = 1.0e-12;
constexpr float kSettledToZero = 1.0e-8f;
} // namespace

CK_DSP_BiQuad_Multi_Engine::CK_DSP_BiQuad_Multi_Engine(CK_ModuleOwner* moduleOwner)
    : CK_ModuleStd(moduleOwner), in_(zeros_)
{
    allocateOutput(0);
    for (auto& band : coefficients_)
        for (const float*& c : band)
            c = zeros_;
}

void CK_DSP_BiQuad_Multi_Engine::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    const float* s = source ? source : zeros_;
    if (pin == kInAudio) {
        in_ = s;
        return;
    }
    const int offset = pin - kInFirstBand;
    if (offset >= 0 && offset < kBands * kBandPinStride && offset % kBandPinStride < kSlotActive)
        coefficients_[offset / kBandPinStride][offset % kBandPinStride] = s;
}

void CK_DSP_BiQuad_Multi_Engine::prepare()
{
    clearAllBands();
    for (int b = 0; b < kBands; ++b)
        bandActive_[b] = bandChanging_[b] = 0;
    master_ = channel_ = enable_ = 1;
    inputChanging_ = 0;
    perSample_ = 0;
    steadyCheck_ = 0;
    staticInput_ = settledValue_ = 0.0f;
    reportedChanging_ = -1;
    countdown_ = blockSize;
    // With no band active yet the channel passes through rather than going silent.
    reevaluate();
}

void CK_DSP_BiQuad_Multi_Engine::clearState()
{
    clearAllBands();
}

void CK_DSP_BiQuad_Multi_Engine::clearAllBands()
{
    for (int b = 0; b < kBands; ++b)
        clearBand(b);
}

void CK_DSP_BiQuad_Multi_Engine::handleEvent(const CK_Event& event, int32_t firstFrame)
{
    countdown_ = blockSize;
    const int16_t on = event.intValue != 0 ? 1 : 0;
    switch (event.pin) {
    case kInAudio:
        inputChanging_ = event.kind != 0 ? 1 : 0;
        staticInput_ = inputChanging_ ? 1.0f : in_[firstFrame];
        break;
    case kInPerSample:
        perSample_ = on;
        break;
    case kInEnable:
        enable_ = on;
        if (!enable_) {
            clearAllBands();
            useRoutine<&CK_DSP_BiQuad_Multi_Engine::zeroOutput>();
            if (reportedChanging_ == 0)
                reportedChanging_ = -1;
        }
        break;
    case kInMaster:
    case kInChannel:
        (event.pin == kInMaster ? master_ : channel_) = on;
        if (!on)
            clearAllBands();
        break;
    case kInClear:
        if (event.intValue > 0)
            clearAllBands();
        return;
    default: {
        const int offset = event.pin - kInFirstBand;
        if (offset < 0 || offset >= kBands * kBandPinStride)
            return;
        const int band = offset / kBandPinStride;
        const int slot = offset % kBandPinStride;
        if (slot == kSlotB0) {
            bandChanging_[band] = event.kind != 0 ? 1 : 0;
        } else if (slot == kSlotActive) {
            bandActive_[band] = on;
            if (!on)
                clearBand(band);
        } else {
            return;
        }
        break;
    }
    }
    if (enable_)
        reevaluate();
}

void CK_DSP_BiQuad_Multi_Engine::reevaluate()
{
    activeCount_ = 0;
    cascade_ = true;
    bool anyBandChanging = false;
    for (int b = 0; b < kBands; ++b) {
        anyBandChanging = anyBandChanging || bandChanging_[b];
        if (!bandActive_[b])
            continue;
        activeBands_[activeCount_] = b;
        bandRead_[activeCount_] = !perSample_      ? CoefficientRead::AtFrameZero
                                  : bandChanging_[b] ? CoefficientRead::AtEachFrame
                                                     : CoefficientRead::AtFirstFrame;
        cascade_ = cascade_ && bandRead_[activeCount_] != CoefficientRead::AtEachFrame;
        ++activeCount_;
    }
    if (master_ && channel_ && activeCount_ > 0) {
        useRoutine<&CK_DSP_BiQuad_Multi_Engine::filter, &CK_DSP_BiQuad_Multi_Engine::filterTogether>();
        steadyCheck_ = staticInput_ == 0.0f || (!inputChanging_ && !anyBandChanging) ? 1 : 0;
    } else {
        if (!inputChanging_)
            reportedChanging_ = -1;
        useRoutine<&CK_DSP_BiQuad_Multi_Engine::passThrough>();
    }
}

void CK_DSP_BiQuad_Multi_Engine::report(int32_t changing)
{
    if (reportedChanging_ != changing) {
        reportedChanging_ = static_cast<int16_t>(changing);
        sendEvent(clock, 0, changing, 0, 0.0f);
    }
}

void CK_DSP_BiQuad_Multi_Engine::countDown(int32_t count)
{
    countdown_ -= count;
    if (countdown_ < 0)
        rest();
}

namespace {

using Coefficients = ck_cascade::EqCoefficients;

// One band over frames [first, end) with one coefficient set; in place when x == y.
template <typename State>
void runBand(State& s, const float* x, float* y, int32_t first, int32_t end, const Coefficients& c)
{
    float x1 = s.x1, x2 = s.x2;
    double y1 = s.y1, y2 = s.y2;
    for (int32_t n = first; n < end; ++n) {
        const float in = x[n];
        const double out = c.b0 * in + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2 + kDenormalGuard;
        x2 = x1;
        x1 = in;
        y2 = y1;
        y1 = out;
        y[n] = static_cast<float>(out);
    }
    s.x1 = x1;
    s.x2 = x2;
    s.y1 = y1;
    s.y2 = y2;
}

// One band whose coefficients change at every frame.
template <typename State>
void runBandSwept(State& s, const float* x, float* y, int32_t first, int32_t end, const float* const* c)
{
    float x1 = s.x1, x2 = s.x2;
    double y1 = s.y1, y2 = s.y2;
    for (int32_t n = first; n < end; ++n) {
        const float in = x[n];
        const double out = static_cast<double>(c[0][n]) * in + static_cast<double>(c[1][n]) * x1 +
                           static_cast<double>(c[2][n]) * x2 - static_cast<double>(c[3][n]) * y1 -
                           static_cast<double>(c[4][n]) * y2 + kDenormalGuard;
        x2 = x1;
        x1 = in;
        y2 = y1;
        y1 = out;
        y[n] = static_cast<float>(out);
    }
    s.x1 = x1;
    s.x2 = x2;
    s.y1 = y1;
    s.y2 = y2;
}

Coefficients coefficientsAt(const float* const* c, int32_t frame)
{
    return {c[0][frame], c[1][frame], c[2][frame], c[3][frame], c[4][frame]};
}

} // namespace

int CK_DSP_BiQuad_Multi_Engine::cascadeSettings(int32_t firstFrame, BandState** states, Coefficients* c)
{
    for (int a = 0; a < activeCount_; ++a) {
        const int band = activeBands_[a];
        states[a] = &state_[band];
        c[a] = coefficientsAt(coefficients_[band], bandRead_[a] == CoefficientRead::AtFirstFrame ? firstFrame : 0);
    }
    return activeCount_;
}

void CK_DSP_BiQuad_Multi_Engine::filter(int32_t firstFrame, int32_t count)
{
    report(1);
    const int32_t end = firstFrame + count;
    const float* source = in_;
    float* out = outputs[0];
    if (cascade_) {
        BandState* states[kBands];
        Coefficients c[kBands];
        const int bands = cascadeSettings(firstFrame, states, c);
        ck_cascade::runEqCascade(states, c, bands, source, out, firstFrame, end);
        if (steadyCheck_ && firstFrame == 0)
            checkSteady();
        return;
    }
    for (int a = 0; a < activeCount_; ++a) {
        const int band = activeBands_[a];
        const float* const* c = coefficients_[band];
        switch (bandRead_[a]) {
        case CoefficientRead::AtEachFrame:
            runBandSwept(state_[band], source, out, firstFrame, end, c);
            break;
        case CoefficientRead::AtFirstFrame:
            runBand(state_[band], source, out, firstFrame, end, coefficientsAt(c, firstFrame));
            break;
        case CoefficientRead::AtFrameZero:
            runBand(state_[band], source, out, firstFrame, end, coefficientsAt(c, 0));
            break;
        }
        source = out;
    }
    if (steadyCheck_ && firstFrame == 0)
        checkSteady();
}

void CK_DSP_BiQuad_Multi_Engine::filterTogether(CK_ModuleBase* const* modules, int moduleCount, int32_t firstFrame,
                                                int32_t count)
{
    // Engines pair up (left and right) when both run their bands as one cascade of equal length.
    int k = 0;
    for (; k + 1 < moduleCount; k += 2) {
        auto* a = static_cast<CK_DSP_BiQuad_Multi_Engine*>(modules[k]);
        auto* b = static_cast<CK_DSP_BiQuad_Multi_Engine*>(modules[k + 1]);
        if (!a->cascade_ || !b->cascade_ || a->activeCount_ != b->activeCount_) {
            a->filter(firstFrame, count);
            b->filter(firstFrame, count);
            continue;
        }
        a->report(1);
        b->report(1);
        BandState* statesA[kBands];
        BandState* statesB[kBands];
        Coefficients ca[kBands], cb[kBands];
        const int bands = a->cascadeSettings(firstFrame, statesA, ca);
        b->cascadeSettings(firstFrame, statesB, cb);
        ck_cascade::runEqCascadeStereo(statesA, ca, statesB, cb, bands, a->in_, b->in_, a->outputs[0], b->outputs[0],
                                       firstFrame, firstFrame + count);
        for (CK_DSP_BiQuad_Multi_Engine* e : {a, b})
            if (e->steadyCheck_ && firstFrame == 0)
                e->checkSteady();
    }
    if (k < moduleCount)
        static_cast<CK_DSP_BiQuad_Multi_Engine*>(modules[k])->filter(firstFrame, count);
}

// Once a whole block of output holds one value, filtering would only repeat it.
void CK_DSP_BiQuad_Multi_Engine::checkSteady()
{
    const float* y = outputs[0];
    const double first = y[0];
    for (int32_t n = 1; n < blockSize; ++n)
        if (std::fabs(y[n] - first) > kSteadyTolerance)
            return;
    settledValue_ = std::fabs(y[0]) < kSettledToZero ? 0.0f : y[0];
    useRoutine<&CK_DSP_BiQuad_Multi_Engine::constantOutput>();
}

void CK_DSP_BiQuad_Multi_Engine::constantOutput(int32_t firstFrame, int32_t count)
{
    report(inputChanging_);
    countDown(count);
    float* out = outputs[0];
    for (int32_t n = firstFrame; n < firstFrame + count; ++n)
        out[n] = settledValue_;
}

void CK_DSP_BiQuad_Multi_Engine::passThrough(int32_t firstFrame, int32_t count)
{
    report(inputChanging_);
    if (reportedChanging_ == 0)
        countDown(count);
    std::memcpy(outputs[0] + firstFrame, in_ + firstFrame, sizeof(float) * static_cast<size_t>(count));
}

void CK_DSP_BiQuad_Multi_Engine::zeroOutput(int32_t firstFrame, int32_t count)
{
    report(0);
    countDown(count);
    std::memset(outputs[0] + firstFrame, 0, sizeof(float) * static_cast<size_t>(count));
}
