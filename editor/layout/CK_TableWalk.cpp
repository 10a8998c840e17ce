#include "editor/layout/CK_TableWalk.h"

CK_TableWalk::CK_TableWalk(CK_EditorContext& context, brelvik::gui::CBitmapResolver& bitmaps,
                           const CK_ControlRecord* table, int recordCount)
    : context_(context), bitmaps_(bitmaps), table_(table), recordCount_(recordCount)
{
}

int CK_TableWalk::createControls(brelvik::gui::CViewContainer*, int first)
{
    return first;
}
