#include "editor/controls/ControlViews.h"

brelvik::gui::CView* createControlView(const CK_ControlRecord&, const CK_LayoutState&, CK_EditorContext&,
                                       brelvik::gui::CBitmap*)
{
    return nullptr;
}
