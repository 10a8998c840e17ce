// The view factories the table walk calls for each record: each makes the view the record describes,
// or answers null when the record's type is not one of its family. `bitmap` is the record's bitmap
// (null when it names none); the view takes its own reference.
#pragma once

#include "editor/CK_LayoutState.h"
#include "shell/ControlTable.h"

class CK_EditorContext;

namespace brelvik::gui {
class CBitmap;
class CView;
} // namespace brelvik::gui

using CK_ViewFactory = brelvik::gui::CView* (*)(const CK_ControlRecord& record, const CK_LayoutState& state,
    CK_EditorContext& context, brelvik::gui::CBitmap* bitmap);

// Knobs, sliders, animated and switch buttons, button hubs, value holders, option menus.
brelvik::gui::CView* createControlView(const CK_ControlRecord& record, const CK_LayoutState& state,
                                       CK_EditorContext& context, brelvik::gui::CBitmap* bitmap);
// Meters, compressor curve views, the EQ view, the wave and frequency view.
brelvik::gui::CView* createDisplayView(const CK_ControlRecord& record, const CK_LayoutState& state,
                                       CK_EditorContext& context, brelvik::gui::CBitmap* bitmap);
// The global name and value displays, number entries and read-outs, static texts, text entries.
brelvik::gui::CView* createTextView(const CK_ControlRecord& record, const CK_LayoutState& state,
                                    CK_EditorContext& context, brelvik::gui::CBitmap* bitmap);
