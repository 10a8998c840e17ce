// The table walk: settings records, containers, end records, text-entry limit, links and groups,
// bitmaps; and the product's table laid out as the window shows it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "LayoutTestSupport.h"
#include "editor/CK_GroupMember.h"
#include "editor/CK_LinkedView.h"
#include "editor/midilearn/CK_AssignMidiCC.h"
#include "gui/CFontDesc.h"
#include "shell/ControlTypes.h"

namespace brelvik::editor::test {
namespace {

using namespace ControlType;
using gui::CRect;

CK_ControlRecord rec(int16_t type, int16_t tag = -1, int16_t aux = -1, int16_t x = 0, int16_t y = 0, float min = 0,
    float max = 0, const char* bitmap = nullptr)
{
    return {tag, 0, type, aux, x, y, 0, bitmap, min, max, nullptr, nullptr, nullptr};
}

constexpr int16_t kView = kKnob;  // any view type: the probe factory makes them all
constexpr int16_t kSliders = 116; // slider settings
constexpr int16_t kTextEntry = kTextEntryFirst;

using Log = std::vector<std::string>;

// A view that notes the registrations, partners and panels it is given.
struct Probe : gui::CView, CK_LinkedView, CK_GroupMember {
    Probe(const CRect& size, int tag) : CView(size), tag(tag) { }
    static std::string tagOf(gui::CView* probe) { return std::to_string(dynamic_cast<Probe*>(probe)->tag); }
    void link(CK_LinkedView* from, const CK_LinkMessage& m) override
    {
        if (m.mode == CK_LinkMessage::kModeRegister)
            log.push_back("link " + tagOf(dynamic_cast<Probe*>(from)) + " as " + std::to_string(m.id));
    }
    bool addPartner(gui::CView* view) override { return note("partner " + tagOf(view)); }
    bool addPanel(gui::CViewContainer* panel) override { return note("panel " + std::to_string(panel->getWidth())); }
    bool note(const std::string& entry)
    {
        log.push_back(entry);
        return true;
    }
    int tag;
    Log log;
};

gui::CView* probeFactory(const CK_ControlRecord& r, const CK_LayoutState&, CK_EditorContext&, gui::CBitmap*)
{
    return new Probe(CRect::fromSize(r.x, r.y, 10, 10), r.parameter);
}

struct NoBitmaps : gui::CBitmapResolver {
    bool findPng(const std::string&, std::vector<uint8_t>&) override { return false; }
};

// Walks a test table from record 1 into a window with probe views.
struct TestWalk {
    explicit TestWalk(std::vector<CK_ControlRecord> records) : table(std::move(records)) { }
    ~TestWalk() { frame->forget(); }
    int run()
    {
        CK_TableWalk walk(context, bitmaps, table.data(), static_cast<int>(table.size()), {&probeFactory});
        const int stop = walk.createControls(frame, 1);
        state = walk.state();
        failed = walk.failed();
        return stop;
    }
    Probe* probe(int tag) { return dynamic_cast<Probe*>(context.controls[tag]); }

    std::vector<CK_ControlRecord> table;
    FakeEditorContext context;
    NoBitmaps bitmaps;
    gui::CFrame* frame = new gui::CFrame(200, 100);
    CK_LayoutState state;
    bool failed = false;
};

TEST(TableWalk, SettingsRecordsReachTheState)
{
    TestWalk t({rec(kFrame), rec(kText, -1, 39, 214, 26), rec(kFont, -1, 0, 0, 0, 0, 0, "Arial 24"),
        rec(kKnobFrames, -1, 0, 5), rec(kAnim, 1, 7, 3, 4, 0.25f), rec(kSliders, -1, 1, 20, 100),
        rec(kPanelHome, -1, 1, -363, 2, 0.1f, 0.0f), rec(kEnd)});
    EXPECT_EQ(t.run(), 7);
    const CK_LayoutState& s = t.state;
    const auto rgba = [](gui::CColor c) { return std::vector<int>({c.red, c.green, c.blue, c.alpha}); };
    EXPECT_EQ(rgba(s.fontColour), std::vector<int>({117, 161, 204, 128})); // the global displays' pale blue
    EXPECT_EQ(rgba(s.backColour), std::vector<int>({0, 0, 0, 0}));
    EXPECT_EQ(rgba(s.frameColour), std::vector<int>({255, 255, 255, 0}));
    ASSERT_NE(s.font, nullptr);
    EXPECT_EQ(s.font->getSize(), 24.0);
    EXPECT_EQ(std::vector<float>({float(s.textWidth), float(s.textHeight), float(s.knobFrames), float(s.animStyleHigh),
                  float(s.animFrames), s.animX, s.animY, s.animValue, float(s.sliderWidth), float(s.sliderHeight),
                  float(s.sliderVertical), float(s.panelHomeX), float(s.panelHomeY), float(s.panelHideMode),
                  s.panelSpeed, s.panelFadeOff}),
        std::vector<float>({214, 26, 5, 1, 7, 3, 4, 0.25f, 20, 100, 1, -363, 2, 1, 0.1f, 0}));
}

TEST(TableWalk, ContainersOffsetTheirViewsAndEndRecordsStopTheWalk)
{
    TestWalk t({rec(kFrame), rec(kPanelHome, -1, 0, -50, 0, 0.1f, 1), rec(kPanel, 0, 0, 10, 20, 100, 50),
        rec(kPage, 2, 0, 5, 5, 40, 30), rec(kView, 5, -1, 1, 2), rec(kClose), rec(kView, 6, -1, 3, 3), rec(kClose),
        rec(kView, 7, -1, 7, 8), rec(kEnd), rec(kView, 8)});
    EXPECT_EQ(t.run(), 9);
    auto* panel = static_cast<CK_PanelContainer*>(t.context.panels[0]);
    auto* page = static_cast<CK_PanelContainer*>(t.context.panels[2]);
    ASSERT_TRUE(panel && page);
    // The panel rests at its home; its open position is the record's.
    EXPECT_EQ(panel->getViewSize(), CRect::fromSize(-50, 0, 100, 50));
    EXPECT_EQ(panel->openRect(), CRect::fromSize(10, 20, 100, 50));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(page->isVisible());
    EXPECT_EQ(page->getParentView(), panel);
    EXPECT_EQ(t.context.controls[5]->getFrameRect().topLeft(), gui::CPoint({-44, 7}));
    EXPECT_EQ(t.context.controls[6]->getParentView(), panel);
    EXPECT_EQ(t.context.controls[7]->getParentView(), t.frame);
    EXPECT_EQ(t.context.controls[8], nullptr);

    TestWalk empty({rec(kFrame), rec(kEnd), rec(kView, 5), rec(kEnd)});
    EXPECT_EQ(empty.run(), 1);
    EXPECT_EQ(empty.frame->getNbViews(), 0);
    // An end-of-table record inside a panel ends the whole walk, not only the panel.
    TestWalk cut({rec(kFrame), rec(kPage, 2, 0, 0, 0, 10, 10), rec(kEnd), rec(kView, 5), rec(kEnd)});
    EXPECT_EQ(cut.run(), 2);
    EXPECT_EQ(cut.context.controls[5], nullptr);
}

TEST(TableWalk, CreatesTwoTextEntriesPerWalk)
{
    TestWalk t({rec(kFrame), rec(kTextEntry, 1), rec(kTextEntry + 1, 2), rec(kTextEntryLast, 3), rec(kEnd)});
    t.run();
    EXPECT_EQ(t.frame->getNbViews(), 2);
    EXPECT_EQ(t.context.controls[3], nullptr);
    EXPECT_EQ(t.state.textEntryCount, 2);
    t.run(); // the editor opened again
    EXPECT_EQ(t.frame->getNbViews(), 4);
}

TEST(TableWalk, LinksAndGroupsReachTheirTargets)
{
    TestWalk t({rec(kFrame), rec(kPage, 0, 0, 0, 0, 10, 10), rec(kClose), rec(kView, 1), rec(kView, 2), rec(kView, 3),
        rec(kLink, 1, 7, 2), rec(kLink2, 1, 3, 3), rec(kLink, 1, 4, 50), rec(kGroup, 1, 2, 3, -1),
        rec(kPanels, 2, 0, -1, -1), rec(kEnd)});
    t.run();
    // The link to a tag without a view is dropped.
    EXPECT_EQ(t.probe(1)->log, (Log{"link 2 as 7", "link 3 as 3", "partner 2", "partner 3"}));
    EXPECT_EQ(t.probe(2)->log, (Log{"panel 10"}));
    EXPECT_EQ(t.probe(3)->log, (Log{"link 1 as 3"}));
}

TEST(TableWalk, MissingBitmapStopsTheWalk)
{
    TestWalk t({rec(kFrame), rec(kView, 1, -1, 0, 0, 0, 0, "Missing.png"), rec(kView, 2), rec(kEnd)});
    EXPECT_EQ(t.run(), 1);
    EXPECT_TRUE(t.failed);
    EXPECT_EQ(t.frame->getNbViews(), 0);
}

// Positions of the window's views in their containers (-1: the window itself).
struct Placed {
    int tag, x, y, panel;
};
const Placed kPlaced[] = {{94, 814, 53, -1}, {95, 814, 25, -1}, {40, -1900, -700, -1}, {43, -1900, -600, -1},
    {46, -1900, -500, -1}, {59, 658, 134, -1}, {66, 721, 134, -1}, {51, 812, 101, -1}, {62, 597, 22, -1},
    {69, 761, 22, -1}, {81, 632, 24, -1}, {60, 647, 22, -1}, {61, 594, 42, -1}, {56, 614, 152, -1}, {57, 594, 87, -1},
    {58, 646, 59, -1}, {82, 744, 24, -1}, {67, 702, 22, -1}, {80, 705, 97, -1}, {68, 758, 42, -1}, {63, 739, 152, -1},
    {64, 732, 87, -1}, {65, 705, 59, -1}, {50, 847, 91, -1}, {53, 810, 152, -1}, {49, 812, 117, -1}, {86, 967, 152, -1},
    {55, 962, 92, -1}, {74, 927, 91, -1}, {103, 23, 20, -1}, {36, 317, 90, -1}, {87, 317, 20, -1}, {75, 20, 163, -1},
    {76, 80, 163, -1}, {77, 140, 163, -1}, {78, 200, 163, -1}, {79, 260, 163, -1}, {107, 1037, 21, -1},
    {108, 1058, 21, -1}, {105, 1038, 35, -1}, {106, 1060, 35, -1}, {104, 1048, 32, -1}, {109, 1037, 158, -1},
    {5, 0, 0, 2}, {6, 0, 39, 2}, {7, 0, 78, 2}, {8, 0, 117, 2}, {100, 46, 6, 2}, {9, 0, 0, 3}, {10, 0, 39, 3},
    {11, 0, 78, 3}, {12, 0, 117, 3}, {101, 46, 6, 3}, {13, 0, 0, 4}, {14, 0, 39, 4}, {15, 0, 78, 4}, {16, 0, 117, 4},
    {102, 46, 6, 4}, {90, 2, 38, 0}, {96, 6, 11, 1}, {89, 360, 46, 1}, {20, 111, 39, 1}, {73, 199, 39, 1},
    {37, 292, 39, 1}, {19, 102, 68, 1}, {17, 140, 68, 1}, {2, 189, 68, 1}, {3, 227, 68, 1}, {4, 265, 68, 1},
    {52, 314, 68, 1}, {70, 385, 163, -1}, {71, 434, 163, -1}, {72, 483, 163, -1}, {91, 532, 23, -1}, {92, 532, 68, -1},
    {93, 532, 113, -1}, {110, 0, 0, 40}};
const int kHiddenHolders[]
    = {21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 38, 39, 41, 42, 44, 45, 47, 48};

TEST(TableWalk, EveryViewOfTheWindowAtItsPositionInItsContainer)
{
    WalkedWindow w;
    ASSERT_FALSE(w.walk.failed()) << w.walk.error();
    EXPECT_EQ(w.stop, kControlRecordCount - 1);
    // Panels at rest: settings and credits at their homes, band pages and MIDI learn hidden.
    EXPECT_EQ(w.panel(kPanelSettings).getViewSize().topLeft(), gui::CPoint({-363, 2}));
    EXPECT_EQ(w.panel(kPanelCredits).getViewSize().topLeft(), gui::CPoint({1081, 12}));
    EXPECT_TRUE(w.panel(kPanelSettings).isVisible() && w.panel(kPanelCredits).isVisible());
    for (int page : {kPageLowBand, kPageMidBand, kPageHighBand}) {
        EXPECT_EQ(w.panel(page).getViewSize(), CRect::fromSize(341, 14, 187, 155));
        EXPECT_FALSE(w.panel(page).isVisible());
    }
    EXPECT_EQ(w.panel(kPanelMidiLearn).getViewSize(), CRect::fromSize(204, 100, 208, 108));
    EXPECT_FALSE(w.panel(kPanelMidiLearn).isVisible());

    int missing = 0;
    for (const Placed& p : kPlaced) {
        gui::CView* view = w.context.controls[p.tag];
        if (!view) {
            ++missing;
            continue;
        }
        gui::CViewContainer* container = p.panel < 0 ? w.frame : w.context.panels[p.panel];
        EXPECT_EQ(view->getParentView(), container) << "tag " << p.tag;
        EXPECT_EQ(view->getViewSize().topLeft(), gui::CPoint({p.x, p.y})) << "tag " << p.tag;
    }
    for (int tag : kHiddenHolders) {
        if (gui::CView* holder = w.context.controls[tag])
            EXPECT_EQ(holder->getViewSize().topLeft(), gui::CPoint({-100, -100})) << "tag " << tag;
        else
            ++missing;
    }
    if (missing > 0)
        GTEST_SKIP() << missing << " records of the window still have no view (their factories return null)";
}

// Not a check: the picture to look at (settings, credits, a band page and MIDI learn open).
TEST(TableWalk, RendersTheWholeWindowOffscreen)
{
    WalkedWindow w;
    for (int panel : {kPanelSettings, kPanelCredits, kPageMidBand})
        w.panel(panel).setVisible(true);
    static_cast<CK_AssignMidiCC*>(w.context.controls[kTagMidiLearn])->openFor(kTagMasterGain, 74, {900, 120});
    w.tick(80);
    const std::string path = ::testing::TempDir() + "layout-window.png";
    ASSERT_TRUE(w.frame->renderToPng(path, nullptr));
    std::printf("window rendered to %s\n", path.c_str());
}

} // namespace
} // namespace brelvik::editor::test
