#include "tools/render/KnownControls.h"

#include "shell/ControlTable.h"
#include "shell/ControlTypes.h"

namespace brelvik::render {

KnownControl knownControl(int32_t pluginId, int index)
{
    KnownControl known;
    if (pluginId != kBrelvikPluginId || index < 0 || index >= kHostParameterCount)
        return known;
    const CK_ControlRecord& record = CK_ParameterMap::instance().record(index);
    if (record.parameter != index || !record.name)
        return known;
    char label[64];
    for (int i = 0; choiceLabel(record.choices, i, label, static_cast<int>(sizeof label) - 1); ++i)
        known.labels.emplace_back(label);
    known.isSwitch = record.type == ControlType::kLedSwitch || record.type == ControlType::kLoopSwitch ||
                     record.type == ControlType::kOnOff;
    return known;
}

} // namespace brelvik::render
