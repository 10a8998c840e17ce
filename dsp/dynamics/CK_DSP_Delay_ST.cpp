#include "dsp/dynamics/CK_DSP_Delay_ST.h"

#include <algorithm>
#include <cstring>
#include <new>

CK_DSP_Delay_ST::CK_DSP_Delay_ST(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
    allocateOutput(1);
}

int32_t CK_DSP_Delay_ST::ringSizeFor(int32_t index, int32_t sampleRateHz)
{
    int32_t size = 1 << (19 - std::clamp(index, 0, kMaxSizeIndex));
    if (sampleRateHz > 48000)
        size *= 2;
    if (sampleRateHz > 96000)
        size *= 2;
    if (sampleRateHz > 192000)
        size *= 2;
    return size;
}

void CK_DSP_Delay_ST::setInput(int pin, const float* source)
{
    CK_ModuleStd::setInput(pin, source);
    if (pin == kInB && source)
        stereo = 1;
}

void CK_DSP_Delay_ST::prepare()
{
    rest(); // sleeps until the first event
    sampleRate = static_cast<float>(owner->sampleRateHz);
    unitCode = 1;
    unitFactor = sampleRate / 100.0f;
    delayValue = 0.0f;
    sizeIndex = kDefaultSizeIndex;
    active = 1;
    swap = 0;
    state.reset();
    allocateRings();
}

void CK_DSP_Delay_ST::allocateRings()
{
    const int32_t frames = ringSizeFor(sizeIndex, owner->sampleRateHz);
    if (capacity_ != frames) {
        memory_.reset(new (std::nothrow) float[2 * static_cast<size_t>(frames)]);
        capacity_ = memory_ ? frames : 0;
    }
    resetRings();
}

// Fresh, silent rings of the size the index asks for, within what was allocated.
void CK_DSP_Delay_ST::resetRings()
{
    size_ = std::min(ringSizeFor(sizeIndex, owner->sampleRateHz), capacity_);
    mask_ = size_ - 1;
    writeIndex_ = 0;
    ringIndex_ = sizeIndex;
    ringsLive_ = true;
    zeroRings();
    updateDelay();
}

void CK_DSP_Delay_ST::zeroRings()
{
    if (!memory_)
        return;
    std::fill(memory_.get(), memory_.get() + size_, 0.0f);
    std::fill(memory_.get() + capacity_, memory_.get() + capacity_ + size_, 0.0f);
}

// A run writes its frames before it reads, so a delay of d frames reads frames that are at most
// size - count frames old; beyond ring size - block size it would read frames already overwritten.
void CK_DSP_Delay_ST::updateDelay()
{
    const double frames = static_cast<double>(delayValue) * unitFactor;
    const double limit = std::max(0, size_ - blockSize);
    delaySamples_ = frames > 0.0 ? static_cast<int32_t>(std::min(frames, limit)) : 0;
}

void CK_DSP_Delay_ST::clearState()
{
    if (active)
        zeroRings();
}

void CK_DSP_Delay_ST::handleEvent(const CK_Event& e, int32_t)
{
    state.idleCountdown = blockSize;
    switch (e.pin) {
    case kInDelay:
        delayValue = e.floatValue;
        updateDelay();
        break;
    case kInUnit:
        unitCode = e.intValue;
        if (unitCode == 0)
            unitFactor = sampleRate * 10.0f;
        else if (unitCode == 1)
            unitFactor = sampleRate / 100.0f;
        else if (unitCode == 2)
            unitFactor = 10.0f;
        updateDelay();
        break;
    case kInSize:
        sizeIndex = std::clamp(e.intValue, 0, kMaxSizeIndex);
        if (active && sizeIndex != ringIndex_)
            resetRings();
        break;
    case kInActive:
        active = e.intValue;
        if (!active) {
            ringsLive_ = false;
            useRoutine<&CK_DSP_Delay_ST::silent>();
            if (state.announced == 0)
                state.announced = -1;
        } else if (!ringsLive_) {
            resetRings();
        }
        break;
    case kInSwap:
        swap = e.intValue;
        return;
    case kInClear:
        if (e.intValue > 0 && active)
            zeroRings();
        return;
    default:
        break;
    }
    if (active)
        selectProcess();
}

void CK_DSP_Delay_ST::selectProcess()
{
    if (size_ == 0)
        useRoutine<&CK_DSP_Delay_ST::silent>(); // no rings could be allocated
    else if (stereo)
        useRoutine<&CK_DSP_Delay_ST::stereoProcess>();
    else
        useRoutine<&CK_DSP_Delay_ST::monoProcess>();
}

void CK_DSP_Delay_ST::write(float* ring, const float* in, int32_t count) const
{
    const int32_t first = std::min(count, size_ - writeIndex_);
    std::memcpy(ring + writeIndex_, in, sizeof(float) * static_cast<size_t>(first));
    std::memcpy(ring, in + first, sizeof(float) * static_cast<size_t>(count - first));
}

void CK_DSP_Delay_ST::read(const float* ring, int32_t from, float* out, int32_t count) const
{
    const int32_t first = std::min(count, size_ - from);
    std::memcpy(out, ring + from, sizeof(float) * static_cast<size_t>(first));
    std::memcpy(out + first, ring, sizeof(float) * static_cast<size_t>(count - first));
}

void CK_DSP_Delay_ST::prepareNextWrite(float* ring) const
{
    // The ring is far larger than the cache: ask for the lines the next run will write while
    // this one's results are used, instead of waiting for each of them then.
    for (int32_t i = 0; i < blockSize; i += 16)
        __builtin_prefetch(ring + ((writeIndex_ + i) & mask_), 1);
}

void CK_DSP_Delay_ST::stereoProcess(int32_t firstFrame, int32_t count)
{
    state.announce(*this, 1, 2);
    float* ringA = memory_.get();
    float* ringB = memory_.get() + capacity_;
    write(ringA, signalOrSilence(inputs[0]) + firstFrame, count);
    write(ringB, signalOrSilence(inputs[1]) + firstFrame, count);
    const int32_t from = (writeIndex_ - delaySamples_) & mask_;
    read(ringA, from, outputs[swap ? 1 : 0] + firstFrame, count);
    read(ringB, from, outputs[swap ? 0 : 1] + firstFrame, count);
    writeIndex_ = (writeIndex_ + count) & mask_;
    prepareNextWrite(ringA);
    prepareNextWrite(ringB);
}

void CK_DSP_Delay_ST::monoProcess(int32_t firstFrame, int32_t count)
{
    state.announce(*this, 1, 1);
    float* ringA = memory_.get();
    write(ringA, signalOrSilence(inputs[0]) + firstFrame, count);
    read(ringA, (writeIndex_ - delaySamples_) & mask_, outputs[0] + firstFrame, count);
    writeIndex_ = (writeIndex_ + count) & mask_;
    prepareNextWrite(ringA);
}

void CK_DSP_Delay_ST::silent(int32_t firstFrame, int32_t count)
{
    state.announce(*this, 0, 2);
    if (state.idleAfter(count))
        rest();
    std::fill(outputs[0] + firstFrame, outputs[0] + firstFrame + count, 0.0f);
    std::fill(outputs[1] + firstFrame, outputs[1] + firstFrame + count, 0.0f);
}
