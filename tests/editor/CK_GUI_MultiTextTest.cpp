// Static text views: the label from its record, and the log's ring of the latest lines.
#include <gtest/gtest.h>

#include "editor/text/CK_GUI_MultiText.h"
#include "editor/text/CK_GUI_TextOnly.h"
#include "editor/text/TextViews.h"
#include "shell/ControlTypes.h"
#include "tests/editor/EditorTestSupport.h"

namespace brelvik::editor::test {
namespace {

TEST(TextViews, LabelTakesItsRecordsTextAndTheLogKeepsTheLatest32Lines)
{
    FakeEditorContext context;
    CK_LayoutState state;
    state.textWidth = 100;
    state.textHeight = 40;
    CK_ControlRecord record{};
    record.type = ControlType::kTextOnly;
    record.parameter = -1;
    record.choices = "Samples";
    gui::SharedPointer<gui::CView> label
        = gui::SharedPointer<gui::CView>::adopt(createTextView(record, state, context, nullptr));
    ASSERT_TRUE(dynamic_cast<CK_GUI_TextOnly*>(label.get()));
    EXPECT_EQ(dynamic_cast<CK_GUI_TextOnly*>(label.get())->getText(), "Samples");
    EXPECT_EQ(label->getWidth(), 100);

    CK_GUI_MultiText log({0, 0, 100, 40}, gui::CHoriTxtAlign::kLeft);
    for (int i = 0; i <= CK_GUI_MultiText::kLines; ++i)
        log.addLine("line " + std::to_string(i));
    log.addTimedLine(3723, "saved");
    log.addLine(std::string(100, 'x'));
    EXPECT_EQ(log.line(0).size(), CK_GUI_MultiText::kLineLength);
    EXPECT_EQ(log.line(1), "01:02:03 saved");
    EXPECT_EQ(log.line(2), "line 32");
    EXPECT_EQ(log.line(31), "line 3");
}

} // namespace
} // namespace brelvik::editor::test
