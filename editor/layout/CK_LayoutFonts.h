// The fonts that the layout's font records name, as "<family> <pixel size>".
#pragma once

namespace brelvik::gui {
class CFontDesc;
}

// The font of that name, or null when the layout has none of that name. The fonts live as long as
// the process, so views may keep the pointer.
const brelvik::gui::CFontDesc* layoutFont(const char* name);
