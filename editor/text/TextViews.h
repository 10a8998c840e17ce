// Creates the text view that a control-table record describes (the global name and value displays,
// number entries and read-outs, static texts, text entries), or null when the record's type is not one.
#pragma once

#include "editor/CK_LayoutState.h"
#include "shell/ControlTable.h"

class CK_EditorContext;

namespace brelvik::gui {
class CBitmap;
class CView;
} // namespace brelvik::gui

// `bitmap` is the record's bitmap (null when it names none); the view takes its own reference.
brelvik::gui::CView* createTextView(const CK_ControlRecord& record, const CK_LayoutState& state,
                                       CK_EditorContext& context, brelvik::gui::CBitmap* bitmap);
