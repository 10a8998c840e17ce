// The colour table that the layout's text settings records index.
#pragma once

#include "gui/CGeometry.h"

// The colour at `index`; transparent for entries the layout does not use and for indices outside the table.
brelvik::gui::CColor layoutColour(int index);
