#include "editor/ViewFactories.h"

#include "editor/CK_CControlListener.h"
#include "editor/CK_EditorContext.h"
#include "editor/text/CK_CNumberEntry.h"
#include "editor/text/CK_CTextEntry.h"
#include "editor/text/CK_GUI_MultiText.h"
#include "editor/text/CK_GUI_TextOnly.h"
#include "editor/text/CK_GlobalNameDisplay.h"
#include "editor/text/CK_GlobalNumberDisplay.h"
#include "gui/CBitmap.h"
#include "shell/CK_EditorInterface.h"
#include "shell/ControlTypes.h"

using namespace brelvik::gui;

namespace {

CRect textRect(const CK_ControlRecord& record, const CK_LayoutState& state)
{
    return CRect::fromSize(record.x, record.y, state.textWidth, state.textHeight);
}

// Font and colours of the text settings record before this one.
void style(CParamDisplay& view, const CK_LayoutState& state)
{
    if (state.font)
        view.setFont(*state.font);
    view.setFontColor(state.fontColour);
    view.setBackColor(state.backColour);
    view.setFrameColor(state.frameColour);
}

void style(CK_TextPane& view, const CK_LayoutState& state)
{
    view.setColours(state.font ? *state.font : CFontDesc(), state.fontColour, state.frameColour, state.backColour);
}

CView* createNumberEntry(
    const CK_ControlRecord& record, const CK_LayoutState& state, CK_EditorContext& context, CBitmap* bitmap)
{
    const bool readOnly = record.type >= ControlType::kReadOnlyFirst;
    const int decimals = record.type - (readOnly ? ControlType::kReadOnlyFirst : ControlType::kReadoutFirst);
    const CRect size = bitmap ? CRect::fromSize(record.x, record.y, bitmap->getWidth(), bitmap->getHeight())
                              : textRect(record, state);
    auto* entry = new CK_CNumberEntry(size, context, record.parameter, decimals, readOnly, bitmap);
    style(*entry, state);
    return entry;
}

} // namespace

CView* createTextView(
    const CK_ControlRecord& record, const CK_LayoutState& state, CK_EditorContext& context, CBitmap* bitmap)
{
    const int type = record.type;
    if (ControlType::isReadout(type))
        return createNumberEntry(record, state, context, bitmap);
    CK_EditorHost& host = context.host();
    if (type == ControlType::kGlobalValue) {
        auto* display = new CK_GlobalNumberDisplay(textRect(record, state), context, record.parameter);
        style(*display, state);
        host.setGlobalDisplayTags(record.parameter, host.globalNameDisplayTag());
        host.setShownTag(-1); // a new display shows nothing yet
        return display;
    }
    if (type == ControlType::kGlobalName) {
        auto* display = new CK_GlobalNameDisplay(textRect(record, state), context, record.parameter);
        style(*display, state);
        host.setGlobalDisplayTags(host.globalValueDisplayTag(), record.parameter);
        return display;
    }
    if (ControlType::isTextEntry(type)) {
        auto* entry = new CK_CTextEntry(
            textRect(record, state), context.listener(), record.parameter, type - ControlType::kTextEntryFirst);
        style(*entry, state);
        return entry;
    }
    if (type == ControlType::kTextOnly) {
        auto* text = new CK_GUI_TextOnly(
            textRect(record, state), CK_TextPane::alignment(record.controller), record.choices ? record.choices : "");
        style(*text, state);
        return text;
    }
    if (type == ControlType::kMultiText) {
        auto* text = new CK_GUI_MultiText(textRect(record, state), CK_TextPane::alignment(record.controller));
        style(*text, state);
        return text;
    }
    return nullptr;
}
