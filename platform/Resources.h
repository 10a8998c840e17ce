// Data built into the plug-in binary, found by name and type (for example the factory bank,
// "VST_PatchMemoryBanks.mem" of type "DATA"). On Linux the data is compiled in; on Windows it is a
// resource of the plug-in's own module.
#pragma once

#include <cstddef>

// Answers true and sets data and size when the resource exists; the data lives as long as the
// plug-in is loaded. Names compare without regard to case.
bool ck_findResource(const char* name, const char* type, const void** data, size_t* size);
