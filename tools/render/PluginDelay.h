// The whole delay between a plug-in's input and its output. Hosts learn a plug-in's latency from
// initialDelay; Brelvik_Suite reports its fixed output delay there, and its look-ahead
// ("LookAhead ms", 0 to 50 ms) delays the audio further, which an offline render must remove too.
#pragma once

#include "host/HostedPlugin.h"
#include "tools/render/PluginParameters.h"

namespace brelvik::render {

struct PluginDelay {
    int reported = 0;  // initialDelay, as the plug-in reports it once resumed
    int lookAhead = 0; // frames the look-ahead adds
    int total() const { return reported + lookAhead; }
};

// The look-ahead in frames at `sampleRate` for the current settings; 0 for other plug-ins.
int lookAheadFrames(host::HostedPlugin& plugin, PluginParameters& parameters, int sampleRate);

} // namespace brelvik::render
