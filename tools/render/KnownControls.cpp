#include "tools/render/KnownControls.h"

#include "shell/ControlTable.h"

namespace brelvik::render {

KnownControl knownControl(int32_t pluginId, int index)
{
    KnownControl known;
    if (pluginId != kBrelvikPluginId || index < 0 || index >= kHostParameterCount)
        return known;
    const CK_ControlRecord& record = CK_ParameterMap::instance().record(index);
    if (record.parameter != index || !record.name)
        return known;
    if (record.choices) {
        std::string label;
        for (const char* c = record.choices; *c; ++c) {
            if (*c == ',') {
                known.labels.push_back(label);
                label.clear();
            } else {
                label += *c;
            }
        }
        known.isSwitch = known.labels == std::vector<std::string>{"Off", "On"};
        return known;
    }
    // Switches are the only parameters that run from 0 to 1 or 10 without labels.
    known.isSwitch = record.min == 0.0f && (record.max == 1.0f || record.max == 10.0f);
    return known;
}

} // namespace brelvik::render
