// The plug-in built the way its binary builds it, but linked into a tool, so that the tool can reach
// its editor: snapshots and the editor's benchmark render and time the window without a host.
#pragma once

#include "vst/VstInterface.h"

class CK_GUI_Editor;

namespace brelvik::tools {

// The entry point, for HostedPlugin::load.
AEffect* VST_CALL inProcessPluginEntry(audioMasterCallback host);
// The editor of an effect made by that entry point.
CK_GUI_Editor* editorOf(AEffect* effect);

} // namespace brelvik::tools
