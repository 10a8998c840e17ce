#include "tools/render/PluginParameters.h"

#include "tools/render/KnownControls.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace brelvik::render {

namespace {

// Sweep resolution for choice parameters: finds every label whose share of the range is at
// least 1/512, far more than any choice list holds.
constexpr int kSweepSteps = 512;
constexpr int kBisectSteps = 40;

std::string trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return std::string(text);
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// A whole text as a number (infinities included), with the step of its last printed digit.
bool parseNumber(const std::string& raw, double& value, double* resolution = nullptr)
{
    const std::string text = trim(raw);
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || std::isnan(value))
        return false;
    if (resolution) {
        const size_t dot = text.find('.');
        const bool exponent = text.find_first_of("eE") != std::string::npos;
        if (exponent || !std::isfinite(value))
            *resolution = std::fabs(value) * 1e-6;
        else if (dot == std::string::npos)
            *resolution = 1.0;
        else
            *resolution = std::pow(10.0, -static_cast<double>(text.size() - dot - 1));
    }
    return true;
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Displays are cut to the interface's 8 characters, so "Low:Mid:High" may show as "Low:Mid:":
// either form is accepted, nothing else.
bool labelMatches(const ChoiceLabel& label, const std::string& wanted)
{
    const std::string w = lower(wanted);
    return lower(label.text) == w || (!label.fullText.empty() && lower(label.fullText) == w);
}

constexpr const char* kOff = "Off";
constexpr const char* kOn = "On";

} // namespace

PluginParameters::PluginParameters(host::HostedPlugin& plugin) : plugin_(plugin)
{
    const int count = plugin.effect()->numParams;
    for (int i = 0; i < count; ++i)
        names_.push_back(trim(plugin.parameterName(i)));
}

int PluginParameters::find(const std::string& rawKey) const
{
    const std::string key = trim(rawKey);
    auto matching = [&](auto equal) {
        std::vector<int> found;
        for (int i = 0; i < count(); ++i)
            if (equal(names_[static_cast<size_t>(i)]))
                found.push_back(i);
        return found;
    };
    std::vector<int> found = matching([&](const std::string& n) { return n == key; });
    if (found.empty())
        found = matching([&](const std::string& n) { return lower(n) == lower(key); });
    if (found.size() == 1)
        return found.front();
    if (found.size() > 1) {
        std::string list;
        for (int i : found)
            list += (list.empty() ? "" : ", ") + std::to_string(i);
        throw ParameterError("'" + key + "' names parameters " + list + "; give the index instead");
    }

    if (!key.empty() && std::all_of(key.begin(), key.end(), [](unsigned char c) { return std::isdigit(c); })) {
        const long index = key.size() > 9 ? -1 : std::strtol(key.c_str(), nullptr, 10);
        if (index < 0 || index >= count())
            throw UnknownParameter("there is no parameter " + key + "; the plug-in has " + std::to_string(count()) +
                                 " (0 to " + std::to_string(count() - 1) + ")");
        return static_cast<int>(index);
    }

    std::string message = "the plug-in has no parameter named '" + key + "'";
    std::vector<int> similar = matching([&](const std::string& n) {
        return !key.empty() && lower(n).find(lower(key)) != std::string::npos;
    });
    if (!similar.empty() && similar.size() <= 3) {
        message += " (did you mean";
        for (size_t i = 0; i < similar.size(); ++i)
            message += std::string(i ? " or" : "") + " '" + names_[static_cast<size_t>(similar[i])] + "'";
        message += "?)";
    }
    throw UnknownParameter(message);
}

std::string PluginParameters::displayAt(int index, float normalised)
{
    const float saved = plugin_.getParameter(index);
    plugin_.setParameter(index, normalised);
    std::string text = trim(plugin_.parameterDisplay(index));
    plugin_.setParameter(index, saved);
    return text;
}

ParameterInfo PluginParameters::describe(int index)
{
    ParameterInfo info;
    info.index = index;
    info.name = name(index);
    info.display = trim(plugin_.parameterDisplay(index));
    info.unit = trim(plugin_.parameterLabel(index));

    const std::string zero = displayAt(index, 0.0f);
    const std::string one = displayAt(index, 1.0f);
    double middle = 0.0, zeroStep = 0.0, oneStep = 0.0;
    const KnownControl known = knownControl(plugin_.effect()->uniqueID, index);
    if (parseNumber(zero, info.atZero, &zeroStep) && parseNumber(one, info.atOne, &oneStep) &&
        parseNumber(displayAt(index, 0.5f), middle)) {
        info.resolution = std::max(zeroStep, oneStep);
        if (known.isSwitch) {
            double current = 0.0;
            info.isChoice = info.isSwitch = true;
            info.display = parseNumber(info.display, current) && current != 0.0 ? kOn : kOff;
            info.choices = {{kOff, 0.0f, {}}, {kOn, 1.0f, {}}};
        }
        return info;
    }

    // Labels: sweep the range; at each change of label, narrow down where the new one starts.
    info.isChoice = true;
    info.atZero = info.atOne = 0.0;
    float previous = 0.0f;
    std::string previousLabel = zero;
    info.choices.push_back({zero, 0.0f, {}});
    for (int step = 1; step <= kSweepSteps; ++step) {
        const float v = static_cast<float>(step) / kSweepSteps;
        const std::string label = displayAt(index, v);
        if (label != previousLabel) {
            float below = previous, at = v;
            for (int i = 0; i < kBisectSteps; ++i) {
                const float mid = below + (at - below) / 2;
                if (mid <= below || mid >= at)
                    break;
                (displayAt(index, mid) == label ? at : below) = mid;
            }
            const bool seen = std::any_of(info.choices.begin(), info.choices.end(),
                                          [&](const ChoiceLabel& c) { return c.text == label; });
            if (!seen)
                info.choices.push_back({label, at, {}});
            previousLabel = label;
        }
        previous = v;
    }
    if (known.labels.size() == info.choices.size())
        for (size_t i = 0; i < known.labels.size(); ++i)
            if (known.labels[i] != info.choices[i].text) {
                info.choices[i].fullText = known.labels[i];
                if (info.display == info.choices[i].text)
                    info.display = known.labels[i];
            }
    return info;
}

float PluginParameters::solveNumeric(const ParameterInfo& info, double target)
{
    auto shown = [&](float v, double& value, double& resolution) {
        return parseNumber(displayAt(info.index, v), value, &resolution);
    };

    double value = 0.0, resolution = 0.0;
    if (std::isfinite(info.atZero) && std::isfinite(info.atOne)) {
        if (info.atZero == info.atOne)
            return 0.0f;
        const double linear = (target - info.atZero) / (info.atOne - info.atZero);
        const auto v = static_cast<float>(std::clamp(linear, 0.0, 1.0));
        if (shown(v, value, resolution) && std::fabs(value - target) <= 1.5 * resolution + 1e-9)
            return v;
    }

    // Not linear in the normalised value (or unbounded at one end): search the display, which
    // only has to be monotonic.
    const bool rising = info.atOne > info.atZero;
    float low = 0.0f, high = 1.0f;
    for (int i = 0; i < kBisectSteps; ++i) {
        const float mid = low + (high - low) / 2;
        if (mid <= low || mid >= high || !shown(mid, value, resolution))
            break;
        ((value < target) == rising ? low : high) = mid;
    }
    double lowValue = 0.0, highValue = 0.0;
    shown(low, lowValue, resolution);
    shown(high, highValue, resolution);
    return std::fabs(lowValue - target) <= std::fabs(highValue - target) ? low : high;
}

float PluginParameters::normalisedValue(const ParameterInfo& info, const std::string& rawValue)
{
    const std::string value = trim(rawValue);
    double number = 0.0;
    if (info.isChoice && !(info.isSwitch && parseNumber(value, number))) {
        for (const ChoiceLabel& choice : info.choices)
            if (labelMatches(choice, value))
                return choice.value;
        throw ParameterError("'" + info.name + "' is one of " + describeRange(info) + "; '" + value +
                             "' is none of them");
    }

    double target = 0.0;
    if (!parseNumber(value, target) || !std::isfinite(target))
        throw ParameterError("'" + info.name + "' takes a number from " + describeRange(info) + "; '" + value +
                             "' is not a number");
    const double slack = info.resolution;
    const double low = std::min(info.atZero, info.atOne), high = std::max(info.atZero, info.atOne);
    if (target < low - slack || target > high + slack)
        throw ParameterError(value + " is outside the range of '" + info.name + "' (" + describeRange(info) + ")");
    return solveNumeric(info, target);
}

void PluginParameters::assign(const std::string& assignment)
{
    const size_t equals = assignment.find('=');
    if (equals == std::string::npos || trim(assignment.substr(0, equals)).empty())
        throw ParameterError("'" + assignment + "' is not NAME=VALUE");
    const int index = find(assignment.substr(0, equals));
    const ParameterInfo info = describe(index);
    plugin_.setParameter(index, normalisedValue(info, assignment.substr(equals + 1)));
}

std::string PluginParameters::describeRange(const ParameterInfo& info)
{
    if (!info.isChoice)
        return number(info.atZero) + " to " + number(info.atOne);
    std::string labels;
    for (const ChoiceLabel& choice : info.choices)
        labels += (labels.empty() ? "" : " | ") + (choice.fullText.empty() ? choice.text : choice.fullText);
    return labels;
}

} // namespace brelvik::render
