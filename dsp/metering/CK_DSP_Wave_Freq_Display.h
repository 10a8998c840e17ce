// Output metering and capture: watches audio and reports to editor controls, about 70 times a
// second, per-channel peaks, sliding-window RMS levels, a held peak in dB with the meter-scale
// offset, the peaks of four routed channels, a 1024-sample capture or a triggered two-channel
// capture. It analyses whole blocks (at the end of each pass through the module buffers) and does
// nothing while no editor is open (see CK_EditorPresence, which the owner may implement).
//
// Inputs 0..5: audio channels chosen by routing events. Events: 9 peak enable, 10 RMS enable,
// 11 meter type (0 "Std", 1 "K12", 2 "K14", 3 "K20"), 12 RMS window (volts = ms / 10), 13 main pair
// (non-zero: inputs 0 and 1, zero: 2 and 3), 14 mode, 15..18 route four-channel member 0..3 to an
// input 0..5.
//
// Display slots: 0 mode 1: the larger peak, mode 2: the four peaks, modes 3..5: the capture;
// 1/2 peak left/right (mode 6: four peaks 1, 2); 3/4 RMS left/right (mode 6: four peaks 3, 4);
// 5 held peak in dB plus the meter-scale offset; 9 meter type.
#pragma once

#include <cstdint>
#include <vector>

#include "modules/CK_ModuleBase.h"

class CK_EditorPresence;

class CK_DSP_Wave_Freq_Display : public CK_ModuleStd {
public:
    enum Pin : int {
        kInLeft = 0, kInRight = 1,
        kPeakEnable = 9, kRmsEnable = 10, kMeterType = 11, kRmsWindow = 12,
        kMainPair = 13, kMode = 14, kRouteFirst = 15, kRouteLast = 18,
    };
    enum Slot : int {
        kSlotWave = 0, kSlotLeft = 1, kSlotRight = 2, kSlotRmsLeft = 3, kSlotRmsRight = 4,
        kSlotHeldPeak = 5, kSlotScale = 9,
    };
    enum Mode : int32_t {
        kLevels = 0, kLevelsAndMax = 1, kFourPeaks = 2, kWave = 3, kSpectrum = 4, kTriggered = 5,
        kFourMeters = 6,
    };
    // Report kinds (the message id the receiving control reacts to).
    enum Kind : int32_t { kKindValue = 0, kKindLevel = 1, kKindFourPeaks = 2, kKindScaleImage = 104, kKindScale = 110 };

    static constexpr int kChannels = 6;
    static constexpr int kCaptureLength = 1024;
    static constexpr int kTriggeredLength = kCaptureLength / 2;
    static constexpr int kHoldReports = 180;
    static constexpr float kReportPeriod = 1.4285715f;  // x 10 ms: about 70 reports a second
    static constexpr float kDefaultRmsWindow = 20.0f;   // volts: 200 ms
    static constexpr float kLongestRmsWindow = 100.0f;  // volts: 1 s
    static constexpr float kQuietest = 1.0e-9f;         // -180 dB
    static constexpr float kNoHeldPeak = -2000.0f;
    static constexpr float kScaleOffsetDb[4] = {0.0f, 12.0f, 14.0f, 20.0f};

    // What the latest report carried; the display outlet forwards its integer and float.
    struct Report {
        const void* payload;
        int32_t intValue;
        int32_t kind;
        float floatValue;
    };

    explicit CK_DSP_Wave_Freq_Display(CK_ModuleOwner* owner);

    void prepare() override;
    void clearState() override;
    // The only routine: the standard layer's default one, which runs `process`.
    void process(int32_t firstFrame, int32_t count) override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;

    // kCaptureLength samples followed by the ready word: the mode of a finished capture, or 0 once
    // the editor has taken it (only then is the next capture made).
    float* captureBuffer() { return capture_; }
    const Report& lastReport() const { return report_; }
    int32_t rmsWindow() const { return rmsWindow_; }

private:
    bool editorOpen() const;
    const float* channel(int pin) const;
    void setRmsWindow(float volts);
    void clearRms();
    void clearLevels();
    void peaks(const float* a, const float* b);
    void peaksAndRms(const float* a, const float* b);
    void captureWave(const float* a);
    void captureTriggered(const float* a, const float* b);
    void updateFourPeaks();
    void sendReports(bool levels);
    void reportHeldPeak();
    void forward(int slot, int32_t kind, int32_t intValue, float floatValue, const void* payload = nullptr);

    const CK_EditorPresence* presence_;
    float samplesPer10Ms_ = 441.0f;
    int32_t peakEnable_ = 1;
    int32_t rmsEnable_ = 0;
    int32_t mode_ = kLevels;
    int32_t meterType_ = 0;
    int mainPair_[2] = {0, 1};
    int fourSet_[4] = {0, 1, 2, 3};

    float peak_[2] = {};
    float fourPeaks_[4] = {};
    float reportedFourPeaks_[4] = {}; // what the latest four-peak report points at

    std::vector<float> squares_[2]; // rings of x^2, sized for the longest window
    double sum_[2] = {};
    int32_t rmsWindow_ = 0;
    int32_t rmsHalf_ = 1;
    int32_t ringPos_ = 0;

    float heldPeak_ = kNoHeldPeak;
    int32_t holdCountdown_ = 0;
    uint32_t nextReport_ = 0;

    alignas(16) float capture_[kCaptureLength + 4] = {};
    int32_t capturePos_ = 0;
    bool triggered_ = false;
    float lastSample_ = 0.0f;

    Report report_ = {};
    std::vector<float> zeros_;
};
