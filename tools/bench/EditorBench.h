// The editor's costs, measured on the plug-in linked into the bench: opening (every bitmap decoded,
// every view built), a full-window redraw, the window thread's CPU per frame tick while audio plays
// and the meters move, and the audio thread's cost with the editor open against closed.
#pragma once

#include <string>
#include <vector>

#include "tools/bench/Workload.h"

namespace brelvik::bench {

struct EditorBenchOptions {
    int rate = 48000;
    int block = 512;
    double seconds = 10.0; // of real-time play for the per-tick figure
    std::vector<std::string> settings; // parameter assignments ("NAME=VALUE") before measuring
};

// Prints its table and the targets; false when something failed (with the reason printed).
bool runEditorBench(const EditorBenchOptions& options, const Workload& noise);

} // namespace brelvik::bench
