// What Brelvik_Suite's own control table says about a parameter that the host interface cannot:
// choice labels in full (hosts see at most 8 characters of them) and which numbers are on/off
// switches. Other plug-ins get nothing from here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brelvik::render {

constexpr int32_t kBrelvikPluginId = 0x42725374; // 'BrSt', the uniqueID Brelvik_Suite reports

struct KnownControl {
    std::vector<std::string> labels; // full choice labels in order; empty for numbers
    bool isSwitch = false;           // off (0) or on (anything else), whatever the display shows
};

KnownControl knownControl(int32_t pluginId, int index);

} // namespace brelvik::render
