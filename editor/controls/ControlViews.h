// Creates the control view that a control-table record describes (knobs, sliders, animated and
// plain buttons, button hubs, value holders, option menus), or null when the record's type is not
// one of them or the control needs a bitmap and has none.
#pragma once

#include "editor/CK_LayoutState.h"
#include "shell/ControlTable.h"

class CK_EditorContext;

namespace brelvik::gui {
class CBitmap;
class CView;
} // namespace brelvik::gui

// `bitmap` is the record's bitmap (null when it names none); the view takes its own reference.
brelvik::gui::CView* createControlView(const CK_ControlRecord& record, const CK_LayoutState& state,
    CK_EditorContext& context, brelvik::gui::CBitmap* bitmap);
