// Delays one or two channels by a whole number of frames through power-of-two ring buffers: the
// compressor look-ahead on each band and the fixed output latency.
// Inputs: 0 channel A; 1 channel B (wiring it makes the module stereo); 2 delay time in the current
// unit; 3 unit (0: volts x 10 are seconds, 1: milliseconds, 2: frames; other codes keep the unit);
// 4 ring size index (2^(19 - index) frames, more at high sample rates); 5 active (0 silences the
// outputs); 6 swap (non-zero exchanges the outputs); 9 clear (positive zeroes the rings).
// Outputs: 0 delayed A, 1 delayed B (exchanged when swapped).
//
// The delay is bounded to [0, ring size - block size] frames, so a run never reads ring positions
// that have not been written for the requested delay; at the default size even the largest
// look-ahead (50 ms at 384 kHz) is far inside that bound.
// The rings are allocated in prepare, never while audio runs: a size index that asks for more than
// was allocated there works with the allocated size.
#pragma once

#include <memory>

#include "dsp/dynamics/StageSupport.h"
#include "modules/CK_ModuleBase.h"

class CK_DSP_Delay_ST : public CK_ModuleStd {
public:
    enum Pin : int {
        kInA = 0, kInB = 1, kInDelay = 2, kInUnit = 3, kInSize = 4, kInActive = 5, kInSwap = 6, kInClear = 9,
        kOutA = 0, kOutB = 1,
    };

    static constexpr int32_t kDefaultSizeIndex = 4;
    static constexpr int32_t kMaxSizeIndex = 11;

    explicit CK_DSP_Delay_ST(CK_ModuleOwner* owner);

    // Ring length in frames for a size index at a sample rate: 2^(19 - index), doubled above
    // 48 kHz, again above 96 kHz and again above 192 kHz.
    static int32_t ringSizeFor(int32_t sizeIndex, int32_t sampleRateHz);

    void prepare() override;
    void clearState() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;
    void setInput(int pin, const float* source) override;

    int32_t ringSize() const { return size_; }
    int32_t delaySamples() const { return delaySamples_; }

    float sampleRate = 44100.0f;
    float unitFactor = 441.0f; // frames per volt of the current unit
    int32_t unitCode = 1;
    float delayValue = 0.0f;   // volts in the current unit
    int32_t sizeIndex = kDefaultSizeIndex;
    int32_t stereo = 0;
    int32_t active = 1;
    int32_t swap = 0;
    CK_OutputState state;

private:
    void allocateRings();
    void resetRings();
    void zeroRings();
    void updateDelay();
    void selectProcess();

    void stereoProcess(int32_t firstFrame, int32_t count);
    void monoProcess(int32_t firstFrame, int32_t count);
    void silent(int32_t firstFrame, int32_t count);

    void write(float* ring, const float* in, int32_t count) const;
    void read(const float* ring, int32_t from, float* out, int32_t count) const;
    void prepareNextWrite(float* ring) const;

    std::unique_ptr<float[]> memory_; // ring A, then ring B, capacity_ frames each
    int32_t capacity_ = 0;
    int32_t size_ = 0;
    int32_t mask_ = 0;
    int32_t writeIndex_ = 0;
    int32_t ringIndex_ = -1; // the size index the rings were set up for
    bool ringsLive_ = false; // false after deactivation: the rings hold stale audio
    int32_t delaySamples_ = 0;
};
