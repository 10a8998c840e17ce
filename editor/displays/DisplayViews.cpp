#include "editor/ViewFactories.h"

#include "editor/displays/CK_GUI_Comp_Exp_Window.h"
#include "editor/displays/CK_GUI_EQ_Window.h"
#include "editor/displays/CK_GUI_Wave_Freq_Display.h"
#include "editor/displays/CK_GUI_dBMeter.h"
#include "gui/CBitmap.h"
#include "shell/ControlTypes.h"

using namespace brelvik::gui;

namespace {

// The rectangle at the record's position, sized by its minimum and maximum fields.
CRect rangeSized(const CK_ControlRecord& record)
{
    return CRect::fromSize(record.x, record.y, static_cast<int>(record.min), static_cast<int>(record.max));
}

CView* createMeter(const CK_ControlRecord& record, const CK_LayoutState& state, CBitmap* bitmap)
{
    if (!bitmap)
        return nullptr;
    const int scales = record.type - ControlType::kMeterFirst;
    const int secondBar = record.controller & 0xff00;
    int height = bitmap->getHeight();
    if (scales > 0)
        height = height / scales / (secondBar ? 3 : 2);
    const CRect size = CRect::fromSize(record.x, record.y, bitmap->getWidth(), height);
    return new CK_GUI_dBMeter(
        size, bitmap, scales + secondBar, record.min, record.controller & 0xff, state.animX, state.animY);
}

} // namespace

CView* createDisplayView(
    const CK_ControlRecord& record, const CK_LayoutState& state, CK_EditorContext&, CBitmap* bitmap)
{
    const int type = record.type;
    if (type == ControlType::kWaveFreq)
        return new CK_GUI_Wave_Freq_Display(
            bitmap ? CRect::fromSize(record.x, record.y, bitmap->getWidth(), bitmap->getHeight()) : rangeSized(record));
    if (ControlType::isCurveView(type))
        return new CK_GUI_Comp_Exp_Window(rangeSized(record), bitmap, type - ControlType::kCurveFirst,
            (record.controller & 1) != 0, (record.controller & 2) != 0);
    if (ControlType::isMeter(type))
        return createMeter(record, state, bitmap);
    if (ControlType::isEqView(type))
        return new CK_GUI_EQ_Window(rangeSized(record), bitmap, record.controller, type - ControlType::kEqViewFirst);
    return nullptr;
}
