#include "editor/text/TextViews.h"

brelvik::gui::CView* createTextView(const CK_ControlRecord&, const CK_LayoutState&, CK_EditorContext&,
                                       brelvik::gui::CBitmap*)
{
    return nullptr;
}
