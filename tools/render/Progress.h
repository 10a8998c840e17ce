// A one-line progress bar on stderr for long renders. It stays silent when stderr is not a
// terminal (logs, pipes), when switched off, and for renders that finish within the first second.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace brelvik::render {

class Progress {
public:
    // `total` and the updates count frames; `sampleRate` turns them into a time read-out.
    Progress(std::string label, int64_t total, int sampleRate, bool enabled = true);
    ~Progress(); // ends the line if anything was shown

    void update(int64_t done);

private:
    using Clock = std::chrono::steady_clock;

    std::string label_;
    int64_t total_;
    int sampleRate_;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point start_;
    Clock::time_point lastDraw_;
};

} // namespace brelvik::render
