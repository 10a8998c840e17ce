// The test host's editor mode (Windows): the plug-in's editor opened in a top-level window of ours,
// compared with the Linux offscreen render, driven with mouse messages, and opened and closed while
// audio runs.
#pragma once

#include <string>

#include "host/PluginLibrary.h"
#include "tests/windows/CheckReport.h"

namespace brelvik::check {

// `referenceDir` holds editor-snapshot.png, the Linux render of the editor at factory program 0
// after 300 ticks.
void checkEditor(const host::PluginLibrary& library, const std::string& referenceDir, CheckReport& report);

} // namespace brelvik::check
