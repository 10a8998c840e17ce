#pragma once

#include <cstdint>
#include <vector>

namespace brelvik::gui {

// An image in memory that a draw context paints into and a window copies to the screen:
// 32-bit premultiplied ARGB in native byte order, rows packed without padding.
struct PixelBuffer {
    PixelBuffer(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0) { }

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int stride() const { return width * 4; }

    int width;
    int height;
    std::vector<uint32_t> pixels;
};

} // namespace brelvik::gui
