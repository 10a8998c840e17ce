#pragma once

#include <memory>
#include <string>

#include "gui/CDrawContext.h"
#include "gui/backend/PixelBuffer.h"

namespace brelvik::gui {

// Each platform links exactly one drawing backend (cairo on Linux, GDI+ on Windows); views see only CDrawContext.
// A context that draws into `buffer`, which must outlive it.
std::unique_ptr<CDrawContext> createDrawContext(PixelBuffer& buffer);

// Writes `buffer` to a PNG file; false with a reason in *error when it cannot.
bool writePng(const PixelBuffer& buffer, const std::string& path, std::string* error);

} // namespace brelvik::gui
