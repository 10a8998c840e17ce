// Sets the plug-in's "Master Gain" so that a render lands on an integrated loudness, capped so
// that its true peak stays under a ceiling: measure, correct, measure again. The gain stage is
// linear and comes after the dynamics, so one correction usually lands within 0.1 LU.
#pragma once

#include "host/HostedPlugin.h"
#include "tools/render/Loudness.h"
#include "tools/render/PluginParameters.h"

#include <functional>
#include <optional>

namespace brelvik::render {

struct LoudnessGoal {
    std::optional<double> targetLufs;
    std::optional<double> ceilingDbtp;
    bool any() const { return targetLufs.has_value() || ceilingDbtp.has_value(); }
};

struct GainOutcome {
    double gainDb = 0.0;         // the Master Gain chosen
    bool ceilingDecided = false; // the ceiling, not the target, set it
    double missedByDb = 0.0;     // gain the target still needed beyond Master Gain's range (signed)
    int passes = 0;              // measuring renders made
    LoudnessReport last{};       // the last measurement, at the chosen gain
};

// `measure` renders with the plug-in's current settings and reports the output. Throws
// std::runtime_error when the plug-in has no "Master Gain dB" or the output is silent.
GainOutcome reachLoudness(host::HostedPlugin& plugin, PluginParameters& parameters, const LoudnessGoal& goal,
                          const std::function<LoudnessReport()>& measure);

} // namespace brelvik::render
