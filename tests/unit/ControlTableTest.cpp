#include "shell/ControlTable.h"
#include "shell/ControlTypes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

const int kUnassignedParameters[] = {0, 1, 18, 54, 83, 84, 85, 88, 97, 98, 99};

const char* const kAnyBitmap = "<any>";

struct ExpectedView {
    int record, type, tag, x, y;
    const char* bitmap; // kAnyBitmap: some bitmap, its name is ours to choose
    int container;      // panel number, -1 for the window
};

// Every view-creating record of the layout except the hidden holders.
const ExpectedView kExpectedViews[] = {
    {5,   41, 94,  814,   53,   nullptr,           -1},
    {6,   42, 95,  814,   25,   nullptr,           -1},
    {10,  20, 40,  -1900, -700, nullptr,           -1},
    {13,  20, 43,  -1900, -600, nullptr,           -1},
    {16,  20, 46,  -1900, -500, nullptr,           -1},
    {19,  22, 59,  658,   134,  "EnMb.png",        -1},
    {20,  22, 66,  721,   134,  "EnMb.png",        -1},
    {21,  22, 51,  812,   101,  "SpMb.png",        -1},
    {23,  22, 62,  597,   22,   "HType.png",       -1},
    {24,  22, 69,  761,   22,   "HType.png",       -1},
    {26,  10, 81,  632,   24,   "HD.png",          -1},
    {27,  10, 60,  647,   22,   "Led_OnOff.png",   -1},
    {28,  0,  61,  594,   42,   "KnobS.png",       -1},
    {29,  10, 56,  614,   152,  "Led_OnOff.png",   -1},
    {30,  0,  57,  594,   87,   "KnobL.png",       -1},
    {31,  0,  58,  646,   59,   "KnobS.png",       -1},
    {32,  10, 82,  744,   24,   "HD.png",          -1},
    {33,  10, 67,  702,   22,   "Led_OnOff.png",   -1},
    {34,  10, 80,  705,   97,   "HB.png",          -1},
    {35,  0,  68,  758,   42,   "KnobS.png",       -1},
    {36,  10, 63,  739,   152,  "Led_OnOff.png",   -1},
    {37,  0,  64,  732,   87,   "KnobL.png",       -1},
    {38,  0,  65,  705,   59,   "KnobS.png",       -1},
    {39,  0,  50,  847,   91,   "KnobS.png",       -1},
    {40,  10, 53,  810,   152,  "Led_OnOff.png",   -1},
    {41,  14, 49,  812,   117,  "Spkr_Hp.png",     -1},
    {43,  13, 86,  967,   152,  "Bypass.png",      -1},
    {44,  0,  55,  962,   92,   "KnobL.png",       -1},
    {45,  0,  74,  927,   91,   "KnobS.png",       -1},
    {64,  86, 103, 23,    20,   nullptr,           -1},
    {66,  10, 36,  317,   90,   "eqon.png",        -1},
    {67,  14, 87,  317,   20,   "splits.png",      -1},
    {69,  14, 75,  20,    163,  "RedOn.png",       -1},
    {70,  14, 76,  80,    163,  "YelOn.png",       -1},
    {71,  14, 77,  140,   163,  "BlueOn.png",      -1},
    {72,  14, 78,  200,   163,  "CyanOn.png",      -1},
    {73,  14, 79,  260,   163,  "GreenOn.png",     -1},
    {98,  7,  107, 1037,  21,   "clip.png",        -1},
    {99,  7,  108, 1058,  21,   "clip.png",        -1},
    {100, 74, 105, 1038,  35,   "PkBar.png",       -1},
    {101, 74, 106, 1060,  35,   "PkBar.png",       -1},
    {102, 58, 104, 1048,  32,   "BarScale.png",    -1},
    {105, 36, 109, 1037,  158,  nullptr,           -1},
    {109, 0,  5,   0,     0,    "KnobS.png",       2},
    {110, 2,  6,   0,     39,   "KnobS.png",       2},
    {111, 0,  7,   0,     78,   "KnobS.png",       2},
    {112, 0,  8,   0,     117,  "KnobS.png",       2},
    {113, 66, 100, 46,    6,    nullptr,           2},
    {120, 0,  9,   0,     0,    "KnobS.png",       3},
    {121, 2,  10,  0,     39,   "KnobS.png",       3},
    {122, 0,  11,  0,     78,   "KnobS.png",       3},
    {123, 0,  12,  0,     117,  "KnobS.png",       3},
    {124, 67, 101, 46,    6,    nullptr,           3},
    {131, 0,  13,  0,     0,    "KnobS.png",       4},
    {132, 2,  14,  0,     39,   "KnobS.png",       4},
    {133, 0,  15,  0,     78,   "KnobS.png",       4},
    {134, 0,  16,  0,     117,  "KnobS.png",       4},
    {135, 68, 102, 46,    6,    nullptr,           4},
    {143, 18, 90,  2,     38,   "CreditsBut.png",  0},
    {150, 15, 96,  6,     11,   kAnyBitmap,        1},
    {153, 18, 89,  360,   46,   "SettingsBut.png", 1},
    {154, 22, 20,  111,   39,   "PeakRMS.png",     1},
    {155, 22, 73,  199,   39,   "CompMode.png",    1},
    {156, 22, 37,  292,   39,   "meterselect.png", 1},
    {157, 2,  19,  102,   68,   "KnobS.png",       1},
    {158, 0,  17,  140,   68,   "KnobS.png",       1},
    {159, 2,  2,   189,   68,   "KnobS.png",       1},
    {160, 2,  3,   227,   68,   "KnobS.png",       1},
    {161, 2,  4,   265,   68,   "KnobS.png",       1},
    {162, 0,  52,  314,   68,   "KnobS.png",       1},
    {165, 10, 70,  385,   163,  "LowOn.png",       -1},
    {167, 10, 71,  434,   163,  "MidOn.png",       -1},
    {169, 10, 72,  483,   163,  "HighOn.png",      -1},
    {170, 18, 91,  532,   23,   "LowBut.png",      -1},
    {171, 18, 92,  532,   68,   "MidBut.png",      -1},
    {172, 18, 93,  532,   113,  "HighBut.png",     -1},
    {183, 56, 110, 0,     0,    "AsnMidiCC.png",   40},
};

const int kHolderTags[] = {21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 38, 39, 41, 42, 44, 45, 47, 48};

const CK_ControlRecord& rec(int i)
{
    return kControlTable[i];
}

std::string str(const char* s)
{
    return s ? s : "";
}

// Container of every record as the editor's walk sees it: -1 for the window, else the panel number.
// Records that open or close a container belong to the enclosing one.
std::vector<int> containersOfRecords()
{
    std::vector<int> result(kControlRecordCount, -1);
    std::vector<int> open;
    for (int i = 1; i < kControlRecordCount; ++i) {
        result[i] = open.empty() ? -1 : open.back();
        if (rec(i).type == ControlType::kPanel || rec(i).type == ControlType::kPage) open.push_back(rec(i).parameter);
        if (rec(i).type == ControlType::kClose && !open.empty()) {
            open.pop_back();
            result[i] = open.empty() ? -1 : open.back();
        }
    }
    return result;
}

// Layout state that the settings records set for the records after them.
struct LayoutState {
    int textWidth = 0, textHeight = 0, colour = -1;
    std::string font;
    int knobFrames = -1;
    int animStyleHigh = 0, animFrames = 0;
    float animValue = 1.0f;
    int panelHomeX = 0, panelHomeY = 0, panelHideMode = 0;
    float panelSpeed = 0.0f, panelFade = 0.0f;
};

// The layout state in force when each record is reached.
std::vector<LayoutState> layoutStates()
{
    std::vector<LayoutState> states(kControlRecordCount);
    LayoutState s;
    for (int i = 1; i < kControlRecordCount; ++i) {
        states[i] = s;
        const CK_ControlRecord& r = rec(i);
        switch (r.type) {
        case ControlType::kText: s.textWidth = r.x; s.textHeight = r.y; s.colour = r.controller; break;
        case ControlType::kKnobFrames: s.knobFrames = r.x; break;
        case ControlType::kAnim:
            s.animStyleHigh = r.parameter; s.animFrames = r.controller; s.animValue = r.min;
            break;
        case ControlType::kPanelHome:
            s.panelHomeX = r.x; s.panelHomeY = r.y; s.panelHideMode = r.controller;
            s.panelSpeed = r.min; s.panelFade = r.max;
            break;
        case ControlType::kFont: s.font = str(r.bitmap); break;
        default: break;
        }
    }
    return states;
}

bool isHolderTag(int tag)
{
    for (int t : kHolderTags) {
        if (t == tag) return true;
    }
    return false;
}

TEST(ControlTable, EndsWithTheEndRecordAtItsLastIndex)
{
    ASSERT_EQ(kControlRecordCount, 186);
    EXPECT_EQ(rec(185).type, 123);
    for (int i = 0; i < 185; ++i) EXPECT_LT(rec(i).type, 123) << "record " << i;
}

TEST(ControlTable, FrameRecordNamesTheBackgroundAndDefinesNothing)
{
    const CK_ControlRecord& frame = rec(0);
    EXPECT_EQ(frame.parameter, -1);
    EXPECT_GE(frame.type, 102);
    EXPECT_STREQ(frame.name, "BGD.png");
    EXPECT_EQ(frame.min, 0.0f);
    EXPECT_EQ(frame.max, 0.0f);
}

TEST(ControlTable, ExtraFieldIsZeroEverywhere)
{
    for (int i = 0; i < kControlRecordCount; ++i) EXPECT_EQ(rec(i).extra, 0) << "record " << i;
}

TEST(ControlTableParameters, IndicesWithoutParameterMapToTheFrameRecord)
{
    const CK_ParameterMap& map = CK_ParameterMap::instance();
    for (int p : kUnassignedParameters) {
        EXPECT_EQ(map.recordOf(p), 0) << "parameter " << p;
        EXPECT_EQ(map.record(p).min, 0.0f);
        EXPECT_EQ(map.record(p).max, 0.0f);
        EXPECT_EQ(map.choiceCount(p), 0);
    }
    for (int p : {-1, 111, 112, 32767}) {
        EXPECT_EQ(map.recordOf(p), 0) << "index " << p;
        EXPECT_EQ(map.choiceCount(p), 0);
    }
}

TEST(ControlTableParameters, ChoiceCountsComeFromTheChoiceTexts)
{
    const CK_ParameterMap& map = CK_ParameterMap::instance();
    EXPECT_EQ(map.choiceCount(kTagMetering), 2);
    EXPECT_EQ(map.choiceCount(kTagMeterType), 4);
    EXPECT_EQ(map.choiceCount(kTagAttackContour), 7);
    EXPECT_EQ(map.choiceCount(kTagHoldContour), 7);
    EXPECT_EQ(map.choiceCount(kTagReleaseContour), 7);
    EXPECT_EQ(map.choiceCount(kTagSpatialMode), 3);
    EXPECT_EQ(map.choiceCount(kTagBassMode), 3);
    EXPECT_EQ(map.choiceCount(kTagLoHarmonics), 2);
    EXPECT_EQ(map.choiceCount(kTagCompMode), 2);
    EXPECT_EQ(map.choiceCount(kTagMasterGain), 0);  // a knob
    EXPECT_EQ(map.choiceCount(kTagLowActive), 0);   // a switch, although it has labels
    EXPECT_EQ(map.choiceCount(kTagEq1Freq), 0);     // a hidden holder
}

TEST(ControlTableLayout, ViewsSitAtTheirRecordsWithTheirPositionsAndBitmaps)
{
    const std::vector<int> containers = containersOfRecords();
    const CK_ParameterMap& map = CK_ParameterMap::instance();
    for (const ExpectedView& v : kExpectedViews) {
        SCOPED_TRACE("record " + std::to_string(v.record));
        const CK_ControlRecord& r = rec(v.record);
        EXPECT_EQ(r.type, v.type);
        EXPECT_EQ(r.parameter, v.tag);
        EXPECT_EQ(r.x, v.x);
        EXPECT_EQ(r.y, v.y);
        if (v.bitmap == kAnyBitmap) {
            EXPECT_FALSE(str(r.bitmap).empty());
        } else {
            EXPECT_STREQ(r.bitmap, v.bitmap);
        }
        EXPECT_EQ(containers[v.record], v.container);
        EXPECT_EQ(map.recordOf(v.tag), v.record) << "the view's record defines its parameter";
    }
}

TEST(ControlTableLayout, OnlyTheListedViewsAndHiddenHoldersCreateViews)
{
    std::set<int> listed;
    for (const ExpectedView& v : kExpectedViews) listed.insert(v.record);
    std::multiset<int> holders;
    for (int i = 1; i < kControlRecordCount; ++i) {
        const CK_ControlRecord& r = rec(i);
        if (r.type >= ControlType::kDefiningLimit || listed.count(i)) continue;
        SCOPED_TRACE("record " + std::to_string(i));
        EXPECT_EQ(r.type, 40);
        EXPECT_TRUE(isHolderTag(r.parameter)) << "tag " << r.parameter;
        EXPECT_LT(r.x, 0);
        EXPECT_LT(r.y, 0);
        EXPECT_EQ(r.bitmap, nullptr);
        holders.insert(r.parameter);
    }
    for (int t : kHolderTags) EXPECT_EQ(holders.count(t), 1u) << "holder for tag " << t;
}

TEST(ControlTableLayout, ContainersOpenBeforeAndCloseAfterTheirContent)
{
    std::vector<int> open;
    std::vector<std::pair<int, int>> opened; // (type, tag) in table order
    for (int i = 1; i < 185; ++i) {
        const CK_ControlRecord& r = rec(i);
        if (r.type == ControlType::kPanel || r.type == ControlType::kPage) {
            EXPECT_TRUE(open.empty()) << "record " << i << ": panels are not nested";
            open.push_back(r.parameter);
            opened.emplace_back(r.type, r.parameter);
        } else if (r.type == ControlType::kClose) {
            EXPECT_FALSE(open.empty()) << "record " << i << " closes nothing";
            if (!open.empty()) open.pop_back();
        }
    }
    EXPECT_TRUE(open.empty()) << "every container is closed before the end record";
    const std::vector<std::pair<int, int>> expected = {{121, 2}, {121, 3}, {121, 4}, {120, 0}, {120, 1}, {120, 40}};
    EXPECT_EQ(opened, expected);
}

TEST(ControlTableLayout, BandPagesHoldTheirKnobsAndCurveView)
{
    const std::vector<int> containers = containersOfRecords();
    const int firstRecord[] = {109, 120, 131};
    for (int page = 2; page <= 4; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        int pageRecord = -1;
        for (int i = 1; i < kControlRecordCount; ++i) {
            if (rec(i).type == ControlType::kPage && rec(i).parameter == page) pageRecord = i;
        }
        ASSERT_GT(pageRecord, 0);
        const CK_ControlRecord& r = rec(pageRecord);
        EXPECT_EQ(r.x, 341);
        EXPECT_EQ(r.y, 14);
        EXPECT_EQ(r.bitmap, nullptr);
        EXPECT_FLOAT_EQ(r.min, 187.0f);
        EXPECT_FLOAT_EQ(r.max, 155.0f);
        int views = 0;
        for (int i = 1; i < kControlRecordCount; ++i) {
            if (containers[i] == page && rec(i).type < ControlType::kDefiningLimit) ++views;
        }
        EXPECT_EQ(views, 5);
        for (int k = 0; k < 5; ++k) EXPECT_EQ(containers[firstRecord[page - 2] + k], page);
    }
}

TEST(ControlTableLayout, PanelsHaveTheirBitmapsOpenAndHomePositions)
{
    struct Panel {
        int tag, x, y;
        const char* bitmap;
        int homeX, homeY, hideMode;
        float speed, fade;
    };
    const Panel panels[] = {
        {0, 740, 12, "CreditsPanel.png", 1081, 12, 0, 0.1f, 1.0f},
        {1, 0, 2, "SettingsPanelD.png", -363, 2, 0, 0.1f, 1.0f},
        {40, 204, 100, "AsnMidiCC.png", 204, 100, 1, 0.1f, 0.0f},
    };
    const std::vector<LayoutState> states = layoutStates();
    for (const Panel& p : panels) {
        SCOPED_TRACE("panel " + std::to_string(p.tag));
        int found = -1;
        for (int i = 1; i < kControlRecordCount; ++i) {
            if (rec(i).type == ControlType::kPanel && rec(i).parameter == p.tag) found = i;
        }
        ASSERT_GT(found, 0);
        EXPECT_EQ(rec(found).x, p.x);
        EXPECT_EQ(rec(found).y, p.y);
        EXPECT_STREQ(rec(found).bitmap, p.bitmap);
        const LayoutState& s = states[found];
        EXPECT_EQ(s.panelHomeX, p.homeX);
        EXPECT_EQ(s.panelHomeY, p.homeY);
        EXPECT_EQ(s.panelHideMode, p.hideMode);
        EXPECT_FLOAT_EQ(s.panelSpeed, p.speed);
        EXPECT_FLOAT_EQ(s.panelFade, p.fade);
    }
}

TEST(ControlTableLayout, LinksJoinEqViewCurveViewsAndMeters)
{
    using Link = std::tuple<int, int, int>; // (tag, partner, id)
    std::set<Link> twoWay, oneWay;
    for (int i = 1; i < kControlRecordCount; ++i) {
        const CK_ControlRecord& r = rec(i);
        if (r.type == ControlType::kLink2) twoWay.emplace(r.parameter, r.x, r.controller);
        if (r.type == ControlType::kLink) oneWay.emplace(r.parameter, r.x, r.controller);
    }
    std::set<Link> expectedTwoWay;
    const int eqTags[] = {21, 24, 27, 30, 33, 22, 25, 28, 31, 34, 23, 26, 29, 32, 35, 75, 76, 77, 78, 79, 47, 48};
    for (int id = 0; id < 22; ++id) expectedTwoWay.emplace(103, eqTags[id], id);
    expectedTwoWay.emplace(103, 87, 30);
    for (int band = 0; band < 3; ++band) {
        for (int id = 0; id < 4; ++id) expectedTwoWay.emplace(100 + band, 5 + 4 * band + id, id);
    }
    EXPECT_EQ(twoWay, expectedTwoWay);
    EXPECT_EQ(oneWay, (std::set<Link>{{105, 107, 0}, {106, 108, 0}}));
}

TEST(ControlTableLayout, ButtonsControlTheirPanelsAndBandButtonsFormOneGroup)
{
    std::map<int, std::set<int>> panelsOf, partnersOf;
    for (int i = 1; i < kControlRecordCount; ++i) {
        const CK_ControlRecord& r = rec(i);
        if (r.type != ControlType::kGroup && r.type != ControlType::kPanels) continue;
        auto& list = r.type == ControlType::kGroup ? partnersOf[r.parameter] : panelsOf[r.parameter];
        for (int member : {static_cast<int>(r.controller), static_cast<int>(r.x), static_cast<int>(r.y)}) {
            if (member != -1) list.insert(member);
        }
    }
    EXPECT_EQ(panelsOf, (std::map<int, std::set<int>>{{90, {0}}, {89, {1}}, {91, {2}}, {92, {3}}, {93, {4}}}));
    EXPECT_EQ(partnersOf, (std::map<int, std::set<int>>{{91, {92, 93}}, {92, {91, 93}}, {93, {91, 92}}}));
}

TEST(ControlTableLayout, LinkAndListRecordsFollowTheViewsAndPanelsTheyName)
{
    std::set<int> views, panels;
    for (int i = 1; i < 185; ++i) {
        const CK_ControlRecord& r = rec(i);
        SCOPED_TRACE("record " + std::to_string(i));
        if (r.type < ControlType::kDefiningLimit) views.insert(r.parameter);
        if (r.type == ControlType::kPanel || r.type == ControlType::kPage) panels.insert(r.parameter);
        if (r.type == ControlType::kLink || r.type == ControlType::kLink2) {
            EXPECT_TRUE(views.count(r.parameter));
            EXPECT_TRUE(views.count(r.x));
        }
        if (r.type == ControlType::kGroup || r.type == ControlType::kPanels) {
            EXPECT_TRUE(views.count(r.parameter));
            const std::set<int>& pool = r.type == ControlType::kGroup ? views : panels;
            for (int member : {static_cast<int>(r.controller), static_cast<int>(r.x), static_cast<int>(r.y)}) {
                if (member != -1) {
                    EXPECT_TRUE(pool.count(member)) << "member " << member;
                }
            }
        }
    }
}

TEST(ControlTableLayout, SettingsRecordsPrepareTheViewsAfterThem)
{
    const std::vector<LayoutState> s = layoutStates();
    // Global displays.
    for (int i : {5, 6}) {
        EXPECT_EQ(s[i].textWidth, 214);
        EXPECT_EQ(s[i].textHeight, 26);
        EXPECT_EQ(s[i].colour, 39);
        EXPECT_EQ(s[i].font, "Arial 24");
    }
    // Peak readout.
    EXPECT_EQ(s[105].textWidth, 26);
    EXPECT_EQ(s[105].textHeight, 10);
    EXPECT_EQ(s[105].colour, 15);
    EXPECT_EQ(s[105].font, "Arial 9");
    // Views of the settings panel.
    for (int i = 150; i <= 162; ++i) {
        if (rec(i).type >= ControlType::kDefiningLimit) continue;
        EXPECT_EQ(s[i].textWidth, 246) << "record " << i;
        EXPECT_EQ(s[i].textHeight, 18);
        EXPECT_EQ(s[i].colour, 12);
        EXPECT_EQ(s[i].font, "Arial 14");
    }
    // Knob strips take their frame count from the bitmap.
    for (int i = 1; i < kControlRecordCount; ++i) {
        if (rec(i).type <= ControlType::kCurvedKnob) {
            EXPECT_EQ(s[i].knobFrames, 0) << "record " << i;
        }
    }
    // Image menus show one bitmap frame per option.
    for (int i = 1; i < kControlRecordCount; ++i) {
        if (rec(i).type == ControlType::kImageMenu) {
            EXPECT_EQ(s[i].animFrames, 0) << "record " << i;
        }
    }
}

TEST(ControlTableLayout, AnimatedButtonsGetTheirFramesAndRates)
{
    const std::vector<LayoutState> s = layoutStates();
    struct Expected {
        int record, frames;
        float value;
        int styleHigh;
    };
    const Expected buttons[] = {
        {26, 3, 0.08f, -1}, {27, 3, 0.08f, -1}, {29, 3, 0.08f, -1}, {32, 3, 0.08f, -1}, {33, 3, 0.08f, -1},
        {34, 3, 0.08f, -1}, {36, 3, 0.08f, -1}, {40, 3, 0.08f, -1}, {66, 3, 0.08f, -1},
        {43, 14, 0.3333f, -1},                                          // bypass
        {98, 2, 1.0f, 0}, {99, 2, 1.0f, 0},                             // clip lamps
        {165, 7, 0.24f, -1}, {167, 7, 0.265f, -1}, {169, 7, 0.25f, -1}, // band switches
    };
    int animated = 0;
    for (int i = 1; i < kControlRecordCount; ++i) {
        if (rec(i).type >= ControlType::kClipLamp && rec(i).type <= ControlType::kLoopSwitch) ++animated;
    }
    EXPECT_EQ(animated, static_cast<int>(sizeof(buttons) / sizeof(buttons[0])));
    for (const Expected& b : buttons) {
        SCOPED_TRACE("record " + std::to_string(b.record));
        EXPECT_EQ(s[b.record].animFrames, b.frames);
        EXPECT_FLOAT_EQ(s[b.record].animValue, b.value);
        EXPECT_EQ(s[b.record].animStyleHigh, b.styleHigh);
    }
}

TEST(ControlTableLayout, DisplayViewsCarryTheirEditorValues)
{
    EXPECT_EQ(rec(102).controller, 4) << "scale legend: four frames";
    EXPECT_EQ(rec(100).controller, 255) << "left meter: one-pixel segments, one level";
    EXPECT_EQ(rec(101).controller, 255) << "right meter";
    for (int i : {113, 124, 135}) {
        EXPECT_EQ(rec(i).controller & 1, 1) << "curve view " << i << ": compressor part on";
        EXPECT_EQ(rec(i).controller & 2, 0) << "curve view " << i << ": expander part off";
    }
    EXPECT_EQ(rec(64).controller, 0x35) << "EQ view: 5 bands, 3 split regions";
}

} // namespace
