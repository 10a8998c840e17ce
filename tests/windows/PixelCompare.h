// How far apart two renders of the same picture are, pixel by pixel.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace brelvik::check {

// The largest difference of the four 8-bit channels of two packed pixels.
inline int channelDifference(uint32_t a, uint32_t b)
{
    int largest = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        largest = d > largest ? d : largest;
    }
    return largest;
}

} // namespace brelvik::check
