// A small scene that uses every drawing call of the toolkit, drawn the same way on every platform
// so that the Windows backend's pixels can be compared with the Linux backend's.
#pragma once

#include <memory>

#include "gui/CFrame.h"

namespace brelvik::check {

constexpr int kSceneWidth = 240;
constexpr int kSceneHeight = 120;
// Where the scene's text lies; fonts differ slightly between systems, so it is measured apart.
constexpr gui::CRect kSceneTextArea{8, 92, 232, 116};
// Where the scene's bitmaps lie: they land on whole pixels, so they match to the pixel.
constexpr gui::CRect kSceneBitmapArea{148, 8, 232, 40};

// A frame of the scene's size holding the scene, painted once.
std::unique_ptr<gui::CFrame> makeToolkitScene();

} // namespace brelvik::check
