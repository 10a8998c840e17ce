// Builds the editor's views by walking the control table: every record creates a view, links views,
// opens or closes a panel container, or changes the layout settings that the following records use.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "editor/CK_LayoutState.h"
#include "editor/ViewFactories.h"
#include "gui/CBaseObject.h"
#include "shell/ControlTable.h"

class CK_EditorContext;

namespace brelvik::gui {
class CBitmap;
class CBitmapResolver;
class CView;
class CViewContainer;
} // namespace brelvik::gui

class CK_TableWalk {
public:
    // The editor's control, display and text view factories.
    static std::vector<CK_ViewFactory> defaultFactories();

    // One walk per opening of the editor: the layout settings and the text-entry count start afresh.
    CK_TableWalk(CK_EditorContext& context, brelvik::gui::CBitmapResolver& bitmaps,
        const CK_ControlRecord* table = kControlTable, int recordCount = kControlRecordCount,
        std::vector<CK_ViewFactory> factories = defaultFactories());
    ~CK_TableWalk();

    // Creates the views of the records from `first` into `container`; answers the index of the record
    // where it stopped (an end-of-container or end-of-table record). A bitmap that cannot be loaded
    // stops the walk (see failed()).
    int createControls(brelvik::gui::CViewContainer* container, int first);

    const CK_LayoutState& state() const { return state_; }
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

    static constexpr int kMaxTextEntries = 2;
    static constexpr int kPanelSlots = 41; // panel numbers 0 to 40

private:
    // Answers true when the walk goes on; false at the end of a container or of the table.
    bool walkRecord(brelvik::gui::CViewContainer* container, int& index);
    bool createView(brelvik::gui::CViewContainer* container, const CK_ControlRecord& record);
    brelvik::gui::CView* makeView(const CK_ControlRecord& record, brelvik::gui::CBitmap* bitmap);
    // Creates a panel and walks its records; answers the index where its walk stopped.
    int createPanel(brelvik::gui::CViewContainer* container, const CK_ControlRecord& record, int index);
    void applySetting(const CK_ControlRecord& record);
    void link(const CK_ControlRecord& record, bool bothWays);
    void group(const CK_ControlRecord& record, bool panels);
    // The record's bitmap (null when it names none), decoded once per walk; sets the error when missing.
    brelvik::gui::CBitmap* bitmapOf(const CK_ControlRecord& record);

    CK_EditorContext& context_;
    brelvik::gui::CBitmapResolver& bitmaps_;
    const CK_ControlRecord* table_;
    int recordCount_;
    std::vector<CK_ViewFactory> factories_;
    CK_LayoutState state_;
    // Bitmaps decoded during the outermost createControls call, each once.
    std::map<std::string, brelvik::gui::SharedPointer<brelvik::gui::CBitmap>> decoded_;
    int depth_ = 0;
    std::string error_;
};
