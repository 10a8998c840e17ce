// The colours of the five EQ bands (red, yellow, blue, cyan, green) as 0xRRGGBB: the faceplate
// prints the bands in them and the EQ view draws its band handles in them. Dependency-free.
#pragma once

namespace EqBandColours {
constexpr int kBandCount = 5;
constexpr int kRgb[kBandCount] = {0xff0000, 0xffff00, 0x0000ff, 0x00ffff, 0x00ff00};
} // namespace EqBandColours
