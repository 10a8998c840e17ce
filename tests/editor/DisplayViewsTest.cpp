// The display factory builds the control table's meters, curve views and EQ view at their sizes,
// and leaves every other record to the other factories.
#include <gtest/gtest.h>

#include "editor/displays/CK_GUI_Comp_Exp_Window.h"
#include "editor/displays/CK_GUI_EQ_Window.h"
#include "editor/displays/CK_GUI_Wave_Freq_Display.h"
#include "editor/displays/CK_GUI_dBMeter.h"
#include "editor/ViewFactories.h"
#include "shell/ControlTypes.h"
#include "tests/editor/DisplayTestSupport.h"
#include "tests/editor/EditorTestSupport.h"

using namespace brelvik::gui;
using namespace brelvik::editor::test;

TEST(DisplayViews, TableRecordsBecomeTheirViews)
{
    FakeEditorContext context;
    CK_LayoutState state;
    int meters = 0, curves = 0, eqs = 0;
    for (const CK_ControlRecord& record : kControlTable) {
        if (ControlType::endsTable(record.type))
            break;
        CBitmap* bitmap = record.bitmap ? artwork(record.bitmap) : nullptr;
        CView* view = createDisplayView(record, state, context, bitmap);
        if (bitmap)
            bitmap->forget();
        if (ControlType::isMeter(record.type)) {
            ASSERT_NE(dynamic_cast<CK_GUI_dBMeter*>(view), nullptr);
            EXPECT_EQ(view->getViewSize(), CRect::fromSize(record.x, record.y, 15, 112));
            ++meters;
        } else if (ControlType::isCurveView(record.type)) {
            ASSERT_NE(dynamic_cast<CK_GUI_Comp_Exp_Window*>(view), nullptr);
            EXPECT_EQ(view->getViewSize(), CRect::fromSize(record.x, record.y, 140, 140));
            ++curves;
        } else if (ControlType::isEqView(record.type)) {
            ASSERT_NE(dynamic_cast<CK_GUI_EQ_Window*>(view), nullptr);
            EXPECT_EQ(view->getViewSize(), CRect::fromSize(record.x, record.y, 294, 140));
            ++eqs;
        } else {
            EXPECT_EQ(view, nullptr) << "type " << record.type;
        }
        if (view)
            view->forget();
    }
    EXPECT_EQ(meters, 2);
    EXPECT_EQ(curves, 3);
    EXPECT_EQ(eqs, 1);

    // The wave view, which no record places, takes its size from its range fields.
    CK_ControlRecord wave{-1, 0, ControlType::kWaveFreq, 0, 10, 20, 0, nullptr, 200, 100, nullptr, nullptr, nullptr};
    CView* view = createDisplayView(wave, state, context, nullptr);
    ASSERT_NE(dynamic_cast<CK_GUI_Wave_Freq_Display*>(view), nullptr);
    EXPECT_EQ(view->getViewSize(), CRect::fromSize(10, 20, 200, 100));
    view->forget();
}
