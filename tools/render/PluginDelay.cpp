#include "tools/render/PluginDelay.h"

#include "tools/render/KnownControls.h"

namespace brelvik::render {

namespace {

constexpr const char* kLookAhead = "LookAhead ms";

} // namespace

int lookAheadFrames(host::HostedPlugin& plugin, PluginParameters& parameters, int sampleRate)
{
    if (plugin.effect()->uniqueID != kBrelvikPluginId)
        return 0;
    int index = 0;
    try {
        index = parameters.find(kLookAhead);
    } catch (const ParameterError&) {
        return 0;
    }
    // The delay lines get the value in tenths of a millisecond, in single precision, and take whole
    // frames of it: the same arithmetic here gives the same count.
    const ParameterInfo info = parameters.describe(index);
    const auto low = static_cast<float>(info.atZero), high = static_cast<float>(info.atOne);
    const float tenths = ((high - low) * plugin.getParameter(index) + low) * 0.1f;
    const double frames = static_cast<double>(tenths) * (static_cast<float>(sampleRate) / 100.0f);
    return frames > 0.0 ? static_cast<int>(frames) : 0;
}

} // namespace brelvik::render
