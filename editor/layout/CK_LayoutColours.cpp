#include "editor/layout/CK_LayoutColours.h"

#include <iterator>

namespace {

using brelvik::gui::CColor;

constexpr CColor kClear{0, 0, 0, 0};
constexpr CColor kClearWhite{255, 255, 255, 0};
constexpr CColor kWhite{255, 255, 255, 255};
constexpr CColor kCyan{0, 255, 255, 200};
constexpr CColor kPaleBlue{117, 161, 204, 128};

// Each text settings record takes three entries in a row: font, back and frame colour.
constexpr CColor kColours[] = {
    kClear, kClear, kClear, kClear, kClear, kClear, kClear, kClear, kClear, kClear,          // 0-9
    kClear, kClear, kWhite, kClear, kClearWhite, kCyan, kClear, kClearWhite, kClear, kClear, // 10-19
    kClear, kClear, kClear, kClear, kClear, kClear, kClear, kClear, kClear, kClear,          // 20-29
    kClear, kClear, kClear, kClear, kClear, kClear, kClear, kClear, kClear, kPaleBlue,       // 30-39
    kClear, kClearWhite,                                                                     // 40-41
};

} // namespace

CColor layoutColour(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(kColours)))
        return kClear;
    return kColours[index];
}
