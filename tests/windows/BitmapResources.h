// The editor's bitmaps as resources of the plug-in DLL.
#pragma once

#include "tests/windows/CheckReport.h"

#include <string>

namespace brelvik::check {

// Checks that every bitmap of the editor is a "PNG" resource of the binary at `path`: an 8-bit RGBA
// PNG of its catalogued size. Windows only; elsewhere the bitmaps are compiled in and the unit
// tests check them.
void checkBitmapResources(const std::string& path, CheckReport& report);

} // namespace brelvik::check
