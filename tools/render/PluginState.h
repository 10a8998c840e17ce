// Saving and restoring a running plug-in's programs the way hosts do: as .fxp/.fxb records, in
// the plug-in's opaque chunk form or as plain parameter lists.
#pragma once

#include "host/HostedPlugin.h"
#include "tools/render/PresetFile.h"

#include <string>

namespace brelvik::render {

// The form hosts use for this plug-in: its chunk when it declares effFlagsProgramChunks.
PresetForm preferredForm(host::HostedPlugin& plugin);

// The current program, or the whole bank (which also names the current program).
PresetFile captureProgram(host::HostedPlugin& plugin, PresetForm form);
PresetFile captureBank(host::HostedPlugin& plugin, PresetForm form);

// Loads a program file into the current program, or a bank file into all programs (then selects
// the program the bank names as current, else keeps the current one). `path` names the file in
// messages. Throws PresetError, leaving the plug-in untouched, when the file is of the other
// kind, belongs to another plug-in, or does not fit this plug-in (parameter or program count,
// chunk size, chunks offered to a plug-in that does not use them).
void applyPreset(host::HostedPlugin& plugin, const PresetFile& preset, PresetKind expected,
                 const std::string& path);

} // namespace brelvik::render
