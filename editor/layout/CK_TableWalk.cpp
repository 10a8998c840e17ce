#include "editor/layout/CK_TableWalk.h"

#include "editor/CK_EditorContext.h"
#include "editor/CK_GroupMember.h"
#include "editor/CK_LinkedView.h"
#include "editor/ViewFactories.h"
#include "editor/images/CK_GUI_Image.h"
#include "editor/layout/CK_LayoutColours.h"
#include "editor/layout/CK_LayoutFonts.h"
#include "editor/layout/CK_PanelContainer.h"
#include "editor/midilearn/CK_AssignMidiCC.h"
#include "gui/CBitmap.h"
#include "gui/CViewContainer.h"
#include "shell/ControlTypes.h"
#include "shell/ParameterTags.h"

using brelvik::gui::CBitmap;
using brelvik::gui::CRect;
using brelvik::gui::CView;
using brelvik::gui::CViewContainer;

namespace {

constexpr int16_t kNoPartner = -1;
// Band pages rest where they open, hidden, and switch at once without fading.
constexpr int kPageHideMode = 1;
constexpr float kPageSpeed = 1.0f;
constexpr float kPageNoFade = 1.0f;
constexpr int kSliderSettings = 116; // the table's sliders: width x, height y, vertical aux
constexpr int kImageFirst = ControlType::kImage, kImageLast = 62; // images; animation mode = type - kImage

bool isImage(int type)
{
    return type >= kImageFirst && type <= kImageLast;
}

bool hasText(const char* text)
{
    return text && *text;
}

} // namespace

std::vector<CK_ViewFactory> CK_TableWalk::defaultFactories()
{
    return {&createControlView, &createDisplayView, &createTextView};
}

CK_TableWalk::CK_TableWalk(CK_EditorContext& context, brelvik::gui::CBitmapResolver& bitmaps,
    const CK_ControlRecord* table, int recordCount, std::vector<CK_ViewFactory> factories)
    : context_(context), bitmaps_(bitmaps), table_(table), recordCount_(recordCount), factories_(std::move(factories))
{
}

CK_TableWalk::~CK_TableWalk() = default;

int CK_TableWalk::createControls(CViewContainer* container, int first)
{
    ++depth_;
    int index = first;
    while (index < recordCount_ && walkRecord(container, index))
        ++index;
    // The views hold their own references to the bitmaps by now.
    if (--depth_ == 0)
        decoded_.clear();
    return index;
}

bool CK_TableWalk::walkRecord(CViewContainer* container, int& index)
{
    using namespace ControlType;
    const CK_ControlRecord& record = table_[index];
    if (endsTable(record.type) || record.type == kClose)
        return false;
    switch (record.type) {
    case kPanel:
    case kPage:
        // Goes on after the panel's end record; its walk may also have ended the table.
        index = createPanel(container, record, index);
        return !failed() && index < recordCount_ && !endsTable(table_[index].type);
    case kGroup: group(record, false); return true;
    case kPanels: group(record, true); return true;
    case kLink: link(record, false); return true;
    case kLink2: link(record, true); return true;
    default: break;
    }
    if (record.type > kLink2) {
        applySetting(record);
        return true;
    }
    if (record.type < kGroup)
        return createView(container, record);
    return true;
}

bool CK_TableWalk::createView(CViewContainer* container, const CK_ControlRecord& record)
{
    const bool textEntry = ControlType::isTextEntry(record.type);
    if (textEntry && state_.textEntryCount >= kMaxTextEntries)
        return true;
    CBitmap* bitmap = bitmapOf(record);
    if (failed())
        return false;
    CView* view = makeView(record, bitmap);
    if (!view)
        return true;
    if (textEntry)
        ++state_.textEntryCount;
    if (hasText(record.tooltip))
        view->setTooltipText(record.tooltip);
    container->addView(view);
    if (record.parameter >= 0 && record.parameter < kParameterCount)
        context_.setControl(record.parameter, view);
    return true;
}

CView* CK_TableWalk::makeView(const CK_ControlRecord& record, CBitmap* bitmap)
{
    if (record.type == ControlType::kMidiLearn && bitmap)
        return new CK_AssignMidiCC(
            CRect::fromSize(record.x, record.y, bitmap->getWidth(), bitmap->getHeight()), context_);
    if (isImage(record.type) && bitmap) {
        const int frames = record.controller > 0 ? record.controller : 1;
        auto* image
            = new CK_GUI_Image(CRect::fromSize(record.x, record.y, bitmap->getWidth(), bitmap->getHeight() / frames),
                bitmap, record.min != 0.0f, frames);
        if (record.type > kImageFirst) {
            CK_GUI_Image::Animation animation;
            animation.mode = static_cast<CK_GUI_Image::Mode>(record.type - kImageFirst);
            animation.cubic = state_.animStyleHigh != 0;
            animation.directionStep = state_.animFrames;
            animation.speed = state_.animValue;
            animation.holdTicks = static_cast<int>(state_.animX);
            image->setAnimation(animation);
        }
        return image;
    }
    for (CK_ViewFactory factory : factories_)
        if (CView* view = factory(record, state_, context_, bitmap))
            return view;
    return nullptr;
}

int CK_TableWalk::createPanel(CViewContainer* container, const CK_ControlRecord& record, int index)
{
    CBitmap* bitmap = bitmapOf(record);
    if (failed())
        return index;
    const CRect open = bitmap
        ? CRect::fromSize(record.x, record.y, bitmap->getWidth(), bitmap->getHeight())
        : CRect::fromSize(record.x, record.y, static_cast<int>(record.min), static_cast<int>(record.max));
    auto* panel = new CK_PanelContainer(open);
    if (bitmap)
        panel->setBackground(bitmap);
    if (record.parameter >= 0 && record.parameter < kPanelSlots)
        context_.setPanel(record.parameter, panel);
    const bool page = record.type == ControlType::kPage;
    const bool hidden = page || state_.panelHideMode != 0;
    if (page) {
        panel->setPanelMotion(open, kPageHideMode, kPageSpeed, kPageNoFade);
    } else {
        const CRect home = CRect::fromSize(state_.panelHomeX, state_.panelHomeY, open.width(), open.height());
        panel->setPanelMotion(home, state_.panelHideMode, state_.panelSpeed, state_.panelFadeOff);
    }
    container->addView(panel);
    const int stop = createControls(panel, index + 1);
    if (hidden)
        panel->setVisibleAtOnce(false);
    return stop;
}

void CK_TableWalk::applySetting(const CK_ControlRecord& record)
{
    using namespace ControlType;
    switch (record.type) {
    case kText:
        state_.textWidth = record.x;
        state_.textHeight = record.y;
        state_.fontColour = layoutColour(record.controller);
        state_.backColour = layoutColour(record.controller + 1);
        state_.frameColour = layoutColour(record.controller + 2);
        break;
    case kKnobFrames: state_.knobFrames = record.x; break;
    case kAnim:
        state_.animStyleHigh = record.parameter;
        state_.animFrames = record.controller;
        state_.animX = record.x;
        state_.animY = record.y;
        state_.animValue = record.min;
        break;
    case kSliderSettings:
        state_.sliderWidth = record.x;
        state_.sliderHeight = record.y;
        state_.sliderVertical = record.controller;
        break;
    case kPanelHome:
        state_.panelHomeX = record.x;
        state_.panelHomeY = record.y;
        state_.panelHideMode = record.controller;
        state_.panelSpeed = record.min;
        state_.panelFadeOff = record.max;
        break;
    case kFont:
        if (const brelvik::gui::CFontDesc* font = layoutFont(record.bitmap))
            state_.font = font;
        break;
    default: break;
    }
}

void CK_TableWalk::link(const CK_ControlRecord& record, bool bothWays)
{
    auto* target = dynamic_cast<CK_LinkedView*>(context_.control(record.parameter));
    auto* partner = dynamic_cast<CK_LinkedView*>(context_.control(record.x));
    if (!target || !partner)
        return;
    const CK_LinkMessage message = CK_LinkedView::registerMessage(record.controller);
    target->link(partner, message);
    if (bothWays)
        partner->link(target, message);
}

void CK_TableWalk::group(const CK_ControlRecord& record, bool panels)
{
    auto* member = dynamic_cast<CK_GroupMember*>(context_.control(record.parameter));
    if (!member)
        return;
    for (int16_t other : {record.controller, record.x, record.y}) {
        if (other == kNoPartner)
            continue;
        if (panels) {
            if (CViewContainer* panel = context_.panel(other))
                member->addPanel(panel);
        } else if (CView* partner = context_.control(other)) {
            member->addPartner(partner);
        }
    }
}

CBitmap* CK_TableWalk::bitmapOf(const CK_ControlRecord& record)
{
    if (!hasText(record.bitmap))
        return nullptr;
    auto found = decoded_.find(record.bitmap);
    if (found != decoded_.end())
        return found->second.get();
    std::string reason;
    CBitmap* bitmap = CBitmap::load(bitmaps_, record.bitmap, &reason);
    if (!bitmap) {
        error_ = std::string("bitmap ") + record.bitmap + ": " + reason;
        return nullptr;
    }
    decoded_.emplace(record.bitmap, brelvik::gui::SharedPointer<CBitmap>::adopt(bitmap));
    return bitmap;
}
