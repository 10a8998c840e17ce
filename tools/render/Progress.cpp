#include "tools/render/Progress.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

namespace brelvik::render {

namespace {
constexpr auto kQuietTime = std::chrono::seconds(1);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
} // namespace

Progress::Progress(std::string label, int64_t total)
    : label_(std::move(label)), total_(total), enabled_(isatty(STDERR_FILENO) == 1), start_(Clock::now())
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
    std::fprintf(stderr, "\r%s %3d%%", label_.c_str(), static_cast<int>(100 * done / total_));
    std::fflush(stderr);
}

} // namespace brelvik::render
