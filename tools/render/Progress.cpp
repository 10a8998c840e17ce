#include "tools/render/Progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace brelvik::render {

namespace {
constexpr auto kQuietTime = std::chrono::seconds(1);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kBarWidth = 30;

std::string clock(int64_t frames, int sampleRate)
{
    const int64_t seconds = sampleRate > 0 ? frames / sampleRate : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}
} // namespace

Progress::Progress(std::string label, int64_t total, int sampleRate, bool enabled)
    : label_(std::move(label)), total_(total), sampleRate_(sampleRate),
      enabled_(enabled && isatty(STDERR_FILENO) == 1), start_(Clock::now())
{
}

Progress::~Progress()
{
    if (shown_)
        std::fputc('\n', stderr);
}

void Progress::update(int64_t done)
{
    if (!enabled_ || total_ <= 0)
        return;
    const auto now = Clock::now();
    const bool finished = done >= total_;
    if (now - start_ < kQuietTime || (!finished && shown_ && now - lastDraw_ < kRedrawInterval))
        return;
    lastDraw_ = now;
    shown_ = true;
    done = std::min(done, total_);
    const int filled = static_cast<int>(kBarWidth * done / total_);
    const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '-');
    // Speed in audio seconds per wall-clock second; the time left assumes it holds.
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double speed = elapsed > 0.0 && sampleRate_ > 0 ? static_cast<double>(done) / sampleRate_ / elapsed : 0.0;
    const auto left = static_cast<int64_t>(speed > 0.0 ? static_cast<double>(total_ - done) / sampleRate_ / speed : 0.0);
    std::fprintf(stderr, "\r%s [%s] %3d%%  %s / %s  %.0fx real time, %s left ", label_.c_str(), bar.c_str(),
                 static_cast<int>(100 * done / total_), clock(done, sampleRate_).c_str(),
                 clock(total_, sampleRate_).c_str(), speed, clock(left, 1).c_str());
    std::fflush(stderr);
}

} // namespace brelvik::render
