// Builds the editor's views by walking the control table: every record creates a view, links views,
// opens or closes a panel container, or changes the layout settings that the following records use.
#pragma once

#include "editor/CK_LayoutState.h"
#include "shell/ControlTable.h"

class CK_EditorContext;

namespace brelvik::gui {
class CBitmapResolver;
class CViewContainer;
} // namespace brelvik::gui

class CK_TableWalk {
public:
    CK_TableWalk(CK_EditorContext& context, brelvik::gui::CBitmapResolver& bitmaps,
                 const CK_ControlRecord* table = kControlTable, int recordCount = kControlRecordCount);

    // Creates the views of the records from `first` into `container`; answers the index of the record
    // where it stopped (an end-of-container or end-of-table record).
    int createControls(brelvik::gui::CViewContainer* container, int first);

    const CK_LayoutState& state() const { return state_; }

private:
    CK_EditorContext& context_;
    brelvik::gui::CBitmapResolver& bitmaps_;
    const CK_ControlRecord* table_;
    int recordCount_;
    CK_LayoutState state_;
};
