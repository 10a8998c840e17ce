// Parameters by name and in engineering units, for a host that only sees normalised values and
// display texts. A parameter's range is read from the plug-in itself: its display texts at
// normalised 0 and 1 give the ends (ranges may run backwards, e.g. a width from 100 down to 10),
// and parameters that display labels instead of numbers are choices, whose labels and the values
// that select them are found by sweeping the parameter. Probing leaves every value as it was.
#pragma once

#include "host/HostedPlugin.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace brelvik::render {

struct ParameterError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// No parameter answers to the name or index.
struct UnknownParameter : ParameterError {
    using ParameterError::ParameterError;
};

struct ChoiceLabel {
    std::string text;     // as the plug-in displays it (hosts see at most 8 characters)
    float value;          // the lowest normalised value that selects the label
    std::string fullText; // the whole label when the tool knows it, else empty
};

struct ParameterInfo {
    int index = 0;
    std::string name;
    std::string display; // the current value as the plug-in shows it
    std::string unit;    // the plug-in's label (effGetParamLabel), often empty
    bool isChoice = false;
    bool isSwitch = false; // a number shown and set as Off / On
    double atZero = 0.0; // engineering value at normalised 0 (numbers only)
    double atOne = 0.0;  // engineering value at normalised 1
    double resolution = 0.0; // step of the last digit the display shows at the ends
    std::vector<ChoiceLabel> choices;
};

class PluginParameters {
public:
    explicit PluginParameters(host::HostedPlugin& plugin);

    int count() const { return static_cast<int>(names_.size()); }
    const std::string& name(int index) const { return names_[static_cast<size_t>(index)]; }

    // A parameter by its exact name, by a name that differs only in case, or by its index.
    // Throws UnknownParameter for unknown names and out-of-range indices, ParameterError for
    // names shared by several parameters.
    int find(const std::string& key) const;

    // Probes the parameter's range or labels.
    ParameterInfo describe(int index);

    // The normalised value that sets the parameter to `value`: a number in engineering units or,
    // for a choice, one of its labels. Throws ParameterError stating the range or the labels.
    float normalisedValue(const ParameterInfo& info, const std::string& value);

    // Applies "NAME=VALUE" (NAME may be an index). Throws ParameterError.
    void assign(const std::string& assignment);

    // "0 to 500", "100 to 10", "Peak | RMS".
    static std::string describeRange(const ParameterInfo& info);

private:
    std::string displayAt(int index, float normalised);
    float solveNumeric(const ParameterInfo& info, double target);

    host::HostedPlugin& plugin_;
    std::vector<std::string> names_;
};

} // namespace brelvik::render
