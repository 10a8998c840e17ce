#include "tools/render/LoudnessTarget.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace brelvik::render {

namespace {

constexpr const char* kMasterGain = "Master Gain dB";
constexpr int kMaxPasses = 5;
constexpr double kLoudnessTolerance = 0.05;  // LU: half the promised 0.1
constexpr double kCeilingMargin = 0.02;      // dB kept under the ceiling against rounding
constexpr double kSmallestStep = 0.001;      // dB: below this a correction changes nothing

} // namespace

GainOutcome reachLoudness(host::HostedPlugin& plugin, PluginParameters& parameters, const LoudnessGoal& goal,
                          const std::function<LoudnessReport()>& measure)
{
    int index = 0;
    try {
        index = parameters.find(kMasterGain);
    } catch (const ParameterError&) {
        throw std::runtime_error(std::string("loudness targets need the plug-in's \"") + kMasterGain + "\"");
    }
    const ParameterInfo info = parameters.describe(index);
    const double low = std::min(info.atZero, info.atOne), high = std::max(info.atZero, info.atOne);
    auto gainNow = [&] { return info.atZero + (info.atOne - info.atZero) * plugin.getParameter(index); };
    auto setGain = [&](double db) {
        plugin.setParameter(index, static_cast<float>((db - info.atZero) / (info.atOne - info.atZero)));
    };

    GainOutcome outcome;
    outcome.gainDb = gainNow();
    for (;;) {
        outcome.last = measure();
        ++outcome.passes;
        const LoudnessReport& r = outcome.last;
        if (!std::isfinite(r.integratedLufs) || !std::isfinite(r.truePeakDbtp))
            throw std::runtime_error("the output is silent (or under 0.4 s long): no gain reaches a loudness");
        const double wanted = goal.targetLufs ? *goal.targetLufs - r.integratedLufs : 0.0;
        const double room = goal.ceilingDbtp ? *goal.ceilingDbtp - kCeilingMargin - r.truePeakDbtp : HUGE_VAL;
        outcome.ceilingDecided = room < wanted;
        const double step = std::min(wanted, room);
        const double ideal = outcome.gainDb + step;
        const double gain = std::clamp(ideal, low, high);
        outcome.missedByDb = ideal - gain;
        const bool settled = room >= 0.0 && std::fabs(step) <= kLoudnessTolerance;
        if (settled || std::fabs(gain - outcome.gainDb) < kSmallestStep || outcome.passes >= kMaxPasses)
            return outcome;
        setGain(gain);
        outcome.gainDb = gainNow();
    }
}

} // namespace brelvik::render
