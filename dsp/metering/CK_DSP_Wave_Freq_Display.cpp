#include "dsp/metering/CK_DSP_Wave_Freq_Display.h"

#include <algorithm>
#include <cmath>

#include "dsp/metering/CK_EditorPresence.h"

CK_DSP_Wave_Freq_Display::CK_DSP_Wave_Freq_Display(CK_ModuleOwner* moduleOwner)
    : CK_ModuleStd(moduleOwner),
      presence_(dynamic_cast<const CK_EditorPresence*>(moduleOwner)),
      zeros_(static_cast<size_t>(moduleOwner->cappedBlockSize) + 4, 0.0f)
{
}

bool CK_DSP_Wave_Freq_Display::editorOpen() const
{
    return presence_ && presence_->editorOpen();
}

const float* CK_DSP_Wave_Freq_Display::channel(int pin) const
{
    return inputs[pin] ? inputs[pin] : zeros_.data();
}

void CK_DSP_Wave_Freq_Display::prepare()
{
    samplesPer10Ms_ = static_cast<float>(owner->sampleRateHz) / 100.0f;
    peakEnable_ = 1;
    rmsEnable_ = displayTarget[kSlotRmsLeft] != 0 || displayTarget[kSlotRmsRight] != 0 ? 1 : 0;
    mode_ = kLevels;
    meterType_ = 0;
    const auto longest = static_cast<size_t>(samplesPer10Ms_ * kLongestRmsWindow);
    for (std::vector<float>& ring : squares_)
        ring.assign(std::max<size_t>(longest, 2), 0.0f);
    setRmsWindow(kDefaultRmsWindow);
    std::fill(std::begin(capture_), std::end(capture_), 0.0f);
    capturePos_ = 0;
    triggered_ = false;
    lastSample_ = 0.0f;
    mainPair_[0] = 0;
    mainPair_[1] = 1;
    for (int k = 0; k < 4; ++k)
        fourSet_[k] = k;
    clearLevels();
    nextReport_ = 0;
    heldPeak_ = kNoHeldPeak;
    holdCountdown_ = 0;
}

void CK_DSP_Wave_Freq_Display::clearState()
{
    clearLevels();
    clearRms();
    capturePos_ = 0;
    triggered_ = false;
    lastSample_ = 0.0f;
    nextReport_ = 0;
}

void CK_DSP_Wave_Freq_Display::clearLevels()
{
    peak_[0] = peak_[1] = 0.0f;
    std::fill(std::begin(fourPeaks_), std::end(fourPeaks_), 0.0f);
}

// Window lengths are kept between two frames (so the divisor is never zero) and the ring size
// allocated in prepare, so a new window never allocates on the audio thread.
void CK_DSP_Wave_Freq_Display::setRmsWindow(float volts)
{
    const double frames = std::floor(static_cast<double>(samplesPer10Ms_ * volts));
    const auto longest = static_cast<double>(squares_[0].size());
    rmsWindow_ = frames > 2.0 ? static_cast<int32_t>(std::min(frames, longest)) : 2;
    rmsHalf_ = rmsWindow_ / 2;
    clearRms();
}

void CK_DSP_Wave_Freq_Display::clearRms()
{
    sum_[0] = sum_[1] = 0.0;
    ringPos_ = 0;
    for (std::vector<float>& ring : squares_)
        std::fill_n(ring.begin(), rmsWindow_, 0.0f);
}

void CK_DSP_Wave_Freq_Display::handleEvent(const CK_Event& e, int32_t)
{
    switch (e.pin) {
    case kPeakEnable:
        peakEnable_ = e.intValue;
        break;
    case kRmsEnable:
        rmsEnable_ = e.intValue;
        break;
    case kMeterType: {
        meterType_ = std::clamp(e.intValue, 0, 3);
        const auto type = static_cast<float>(meterType_);
        for (const int slot : {kSlotLeft, kSlotRight, kSlotRmsLeft, kSlotRmsRight})
            forward(slot, kKindScale, meterType_, type);
        forward(kSlotScale, kKindScaleImage, meterType_, type);
        break;
    }
    case kRmsWindow:
        setRmsWindow(e.floatValue);
        break;
    case kMainPair:
        mainPair_[0] = e.intValue != 0 ? 0 : 2;
        mainPair_[1] = mainPair_[0] + 1;
        break;
    case kMode:
        mode_ = e.intValue;
        capturePos_ = 0;
        triggered_ = false;
        break;
    default:
        if (e.pin >= kRouteFirst && e.pin <= kRouteLast && e.intValue >= 0 && e.intValue < kChannels)
            fourSet_[e.pin - kRouteFirst] = e.intValue;
        break;
    }
}

void CK_DSP_Wave_Freq_Display::process(int32_t firstFrame, int32_t count)
{
    if (firstFrame + count < blockSize)
        return;
    if (!editorOpen()) {
        // Nothing is measured; the first reports after the editor opens show current levels.
        capture_[kCaptureLength] = 0.0f;
        clearLevels();
        heldPeak_ = kNoHeldPeak;
        holdCountdown_ = 0;
        return;
    }

    const float* a = channel(mainPair_[0]);
    const float* b = channel(mainPair_[1]);
    if (capture_[kCaptureLength] == 0.0f) {
        if (mode_ == kWave || mode_ == kSpectrum)
            captureWave(a);
        else if (mode_ == kTriggered)
            captureTriggered(a, b);
    }
    lastSample_ = a[blockSize - 1];
    if (mode_ == kFourPeaks || mode_ == kFourMeters)
        updateFourPeaks();

    const bool levels = mode_ == kLevelsAndMax || peakEnable_ != 0;
    if (levels) {
        if (rmsEnable_)
            peaksAndRms(a, b);
        else
            peaks(a, b);
    }

    const uint32_t now = clock + static_cast<uint32_t>(count);
    if (frameBefore(now, nextReport_))
        return;
    sendReports(levels);
    clearLevels();
    nextReport_ = now + static_cast<uint32_t>(samplesPer10Ms_ * kReportPeriod);
}

void CK_DSP_Wave_Freq_Display::peaks(const float* a, const float* b)
{
    float pa = peak_[0];
    float pb = peak_[1];
    for (int32_t i = 0; i < blockSize; ++i) {
        pa = std::max(pa, std::fabs(a[i]));
        pb = std::max(pb, std::fabs(b[i]));
    }
    peak_[0] = pa;
    peak_[1] = pb;
}

void CK_DSP_Wave_Freq_Display::peaksAndRms(const float* a, const float* b)
{
    float* ringA = squares_[0].data();
    float* ringB = squares_[1].data();
    for (int32_t i = 0; i < blockSize; ++i) {
        peak_[0] = std::max(peak_[0], std::fabs(a[i]));
        peak_[1] = std::max(peak_[1], std::fabs(b[i]));
        const float sa = a[i] * a[i];
        const float sb = b[i] * b[i];
        sum_[0] += static_cast<double>(sa) - ringA[ringPos_];
        sum_[1] += static_cast<double>(sb) - ringB[ringPos_];
        ringA[ringPos_] = sa;
        ringB[ringPos_] = sb;
        ringPos_ = (ringPos_ == 0 ? rmsWindow_ : ringPos_) - 1;
    }
    sum_[0] = std::max(sum_[0], 0.0);
    sum_[1] = std::max(sum_[1], 0.0);
}

void CK_DSP_Wave_Freq_Display::captureWave(const float* a)
{
    const int32_t n = std::min(blockSize, kCaptureLength - capturePos_);
    std::copy_n(a, n, capture_ + capturePos_);
    capturePos_ += n;
    if (capturePos_ < kCaptureLength)
        return;
    capturePos_ = 0;
    capture_[kCaptureLength] = static_cast<float>(mode_);
    forward(kSlotWave, mode_, 0, 0.0f, capture_);
}

// Waits for a rising zero crossing (a negative sample followed by a non-negative one), then
// captures both channels from there.
void CK_DSP_Wave_Freq_Display::captureTriggered(const float* a, const float* b)
{
    int32_t from = 0;
    if (!triggered_) {
        float previous = lastSample_;
        while (from < blockSize && !(previous < 0.0f && a[from] >= 0.0f))
            previous = a[from++];
        if (from == blockSize)
            return;
        triggered_ = true;
    }
    const int32_t n = std::min(blockSize - from, kTriggeredLength - capturePos_);
    std::copy_n(a + from, n, capture_ + capturePos_);
    std::copy_n(b + from, n, capture_ + kTriggeredLength + capturePos_);
    capturePos_ += n;
    if (capturePos_ < kTriggeredLength)
        return;
    capturePos_ = 0;
    triggered_ = false;
    capture_[kCaptureLength] = static_cast<float>(kTriggered);
    forward(kSlotWave, kTriggered, 0, 0.0f, capture_);
}

void CK_DSP_Wave_Freq_Display::updateFourPeaks()
{
    for (int k = 0; k < 4; ++k) {
        const float* x = channel(fourSet_[k]);
        float p = fourPeaks_[k];
        for (int32_t i = 0; i < blockSize; ++i)
            p = std::max(p, std::fabs(x[i]));
        fourPeaks_[k] = p;
    }
}

void CK_DSP_Wave_Freq_Display::sendReports(bool levels)
{
    if (levels) {
        if (mode_ == kLevelsAndMax)
            forward(kSlotWave, kKindLevel, 0, std::max(peak_[0], peak_[1]));
        if (mode_ != kFourMeters) {
            forward(kSlotLeft, kKindValue, 0, peak_[0]);
            forward(kSlotRight, kKindValue, 0, peak_[1]);
            if (rmsEnable_) {
                const auto half = static_cast<double>(rmsHalf_);
                forward(kSlotRmsLeft, kKindLevel, 0, static_cast<float>(std::sqrt(sum_[0] / half)));
                forward(kSlotRmsRight, kKindLevel, 0, static_cast<float>(std::sqrt(sum_[1] / half)));
            }
        }
        reportHeldPeak();
    }
    if (mode_ == kFourPeaks) {
        std::copy(std::begin(fourPeaks_), std::end(fourPeaks_), reportedFourPeaks_);
        forward(kSlotWave, kKindFourPeaks, 0, 0.0f, reportedFourPeaks_);
    } else if (mode_ == kFourMeters) {
        const int slots[4] = {kSlotLeft, kSlotRight, kSlotRmsLeft, kSlotRmsRight};
        for (int k = 0; k < 4; ++k)
            forward(slots[k], kKindValue, 0, fourPeaks_[k]);
    }
}

// The readout shows a new peak at once and holds it for kHoldReports reports unless a higher one
// arrives; then it shows the current peak again.
void CK_DSP_Wave_Freq_Display::reportHeldPeak()
{
    const float peak = std::max(peak_[0], peak_[1]);
    if (holdCountdown_ > 0 && --holdCountdown_ == 0)
        heldPeak_ = kNoHeldPeak;
    if (!(peak > heldPeak_))
        return;
    heldPeak_ = peak;
    holdCountdown_ = kHoldReports;
    const float db = 20.0f * std::log10(std::max(peak, kQuietest)) + kScaleOffsetDb[meterType_];
    forward(kSlotHeldPeak, kKindValue, 0, db);
}

void CK_DSP_Wave_Freq_Display::forward(int slot, int32_t kind, int32_t intValue, float floatValue,
                                       const void* payload)
{
    report_ = {payload, intValue, kind, floatValue};
    CK_LinkMessage message;
    message.mode = intValue;
    message.id = kind;
    message.value = floatValue;
    message.payload = intValue;
    display(slot, message);
}
