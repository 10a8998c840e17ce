// The editor base and the per-tick redraw path that every editor view relies on.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/AEffGUIEditor.h"
#include "gui/CFrame.h"
#include "gui/CViewContainer.h"

namespace brelvik::gui::test {
namespace {

class TickingEditor : public AEffGUIEditor {
public:
    TickingEditor() { rect = CEditorRect{0, 0, 176, 1100}; }
    bool open(void* parent) override
    {
        AEffGUIEditor::open(parent);
        frame = new CFrame(rect.right - rect.left, rect.bottom - rect.top);
        view = new FillView(CRect{0, 0, 10, 10}, kWhiteCColor);
        frame->addView(view);
        return true;
    }
    void close() override
    {
        frame->forget();
        frame = nullptr;
        AEffGUIEditor::close();
    }
    void doIdleStuff() override
    {
        ++ticks;
        view->onFrameTick();
    }
    CView* view = nullptr;
    int ticks = 0;
};

TEST(GuiEditorBase, RectStaysPutAndIdleTicksTheViewsThenRepaints)
{
    TickingEditor editor;
    CEditorRect* rect = nullptr;
    ASSERT_TRUE(editor.getRect(&rect));
    EXPECT_EQ(rect->right, 1100);
    EXPECT_EQ(rect->bottom, 176);
    editor.idle(); // closed: nothing to do
    EXPECT_EQ(editor.ticks, 0);

    ASSERT_TRUE(editor.open(nullptr)); // no parent window: offscreen
    editor.idle();
    EXPECT_EQ(editor.ticks, 1);
    EXPECT_FALSE(editor.getFrame()->hasInvalidAreas());

    editor.view->setVisible(false);
    editor.getFrame()->flush();
    editor.view->requestRedraw(); // a value arrived while hidden: the view waits
    editor.view->onFrameTick();
    EXPECT_FALSE(editor.getFrame()->hasInvalidAreas());
    editor.view->setVisible(true);
    editor.getFrame()->flush();
    editor.view->onFrameTick(); // visible again: the pending redraw repaints it
    EXPECT_EQ(editor.view->getRedrawCount(), 0);
    EXPECT_TRUE(editor.getFrame()->hasInvalidAreas());
    editor.idle();
    EXPECT_FALSE(editor.getFrame()->hasInvalidAreas());

    auto* panel = new CViewContainer(CRect{0, 0, 50, 50}); // a view on a hidden panel waits as well
    auto* inside = new CView(CRect{5, 5, 10, 10});
    panel->addView(inside);
    editor.getFrame()->addView(panel);
    panel->setVisible(false);
    editor.getFrame()->flush();
    inside->requestRedraw();
    inside->onFrameTick();
    EXPECT_FALSE(editor.getFrame()->hasInvalidAreas());
    editor.close();
    EXPECT_FALSE(editor.isOpen());
}

} // namespace
} // namespace brelvik::gui::test
