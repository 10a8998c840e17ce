#include "editor/layout/CK_LayoutFonts.h"

#include <cstring>

#include "gui/CFontDesc.h"

namespace {

struct NamedFont {
    const char* name;
    brelvik::gui::CFontDesc font;
};

// The global displays (24), the envelope menus (12), the peak readout (9) and the settings panel (14).
const NamedFont* fonts()
{
    static const NamedFont kFonts[] = {
        {"Arial 24", {"Arial", 24}},
        {"Arial 12", {"Arial", 12}},
        {"Arial 9", {"Arial", 9}},
        {"Arial 14", {"Arial", 14}},
        {nullptr, {}},
    };
    return kFonts;
}

} // namespace

const brelvik::gui::CFontDesc* layoutFont(const char* name)
{
    if (!name)
        return nullptr;
    for (const NamedFont* f = fonts(); f->name; ++f)
        if (std::strcmp(f->name, name) == 0)
            return &f->font;
    return nullptr;
}
