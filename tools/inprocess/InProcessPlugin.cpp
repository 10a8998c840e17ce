#include "tools/inprocess/InProcessPlugin.h"

#include "editor/CK_GUI_Editor.h"
#include "shell/CK_DSP_VST.h"

namespace brelvik::tools {

AEffect* VST_CALL inProcessPluginEntry(audioMasterCallback host)
{
    auto* effect = new CK_DSP_VST(host);
    new CK_GUI_Editor(effect, *effect); // owned by the effect
    return effect->getAeffect();
}

CK_GUI_Editor* editorOf(AEffect* effect)
{
    return dynamic_cast<CK_GUI_Editor*>(static_cast<AudioEffect*>(effect->object)->getEditor());
}

} // namespace brelvik::tools
