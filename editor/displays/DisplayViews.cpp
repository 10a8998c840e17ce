#include "editor/displays/DisplayViews.h"

brelvik::gui::CView* createDisplayView(const CK_ControlRecord&, const CK_LayoutState&, CK_EditorContext&,
                                       brelvik::gui::CBitmap*)
{
    return nullptr;
}
