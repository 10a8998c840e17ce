#include "editor/ViewFactories.h"

#include <algorithm>

#include "editor/controls/CK_AnimButton.h"
#include "editor/controls/CK_ButtonHub.h"
#include "editor/controls/CK_ExclusiveButton.h"
#include "editor/controls/CK_FloatStore.h"
#include "editor/controls/CK_HVSlider.h"
#include "editor/controls/CK_Knob.h"
#include "editor/controls/CK_OnOffButton.h"
#include "editor/controls/CK_OptionsImage.h"
#include "editor/controls/CK_RotateKnob.h"
#include "gui/CBitmap.h"
#include "shell/ControlTypes.h"

using namespace brelvik::gui;
namespace Type = ControlType;

namespace {

constexpr int kHighByte = 256;

// Frames of a strip: the layout's count, or as many square frames as the bitmap holds.
int stripFrames(int configured, const CBitmap& bitmap)
{
    if (configured > 0)
        return configured;
    return std::max(1, bitmap.getHeight() / std::max(1, bitmap.getWidth()));
}

CRect strip(const CK_ControlRecord& record, const CBitmap& bitmap, int frames)
{
    return CRect::fromSize(record.x, record.y, bitmap.getWidth(), bitmap.getHeight() / std::max(1, frames));
}

CView* createKnob(const CK_ControlRecord& r, const CK_LayoutState& state, CK_EditorContext& context, CBitmap& bitmap)
{
    const int frames = stripFrames(state.knobFrames, bitmap);
    return new CK_Knob(strip(r, bitmap, frames), context, r.parameter, frames, bitmap.getHeight() / frames, &bitmap,
        r.type - Type::kKnobFirst);
}

CView* createAnimButton(
    const CK_ControlRecord& r, const CK_LayoutState& state, CK_EditorContext& context, CBitmap& bitmap)
{
    const int frames = stripFrames(state.animFrames, bitmap);
    const int style = state.animStyleHigh * kHighByte + (r.type - Type::kAnimButtonFirst);
    return new CK_AnimButton(strip(r, bitmap, frames), context, r.parameter, frames, bitmap.getHeight() / frames,
        &bitmap, state.animValue, style, (r.flags & ControlFlag::kDisplayOnly) != 0);
}

CView* createTextMenu(
    const CK_ControlRecord& r, const CK_LayoutState& state, CK_EditorContext& context, CBitmap* bitmap)
{
    const CRect size = bitmap ? CRect::fromSize(r.x, r.y, bitmap->getWidth(), bitmap->getHeight())
                              : CRect::fromSize(r.x, r.y, state.textWidth, state.textHeight);
    auto* menu = new CK_COptionsText(size, context, r.parameter, bitmap, r.choices);
    if (state.font)
        menu->setFont(*state.font);
    menu->setFontColor(state.fontColour);
    menu->setBackColor(state.backColour);
    menu->setFrameColor(state.frameColour);
    return menu;
}

CView* createImageMenu(
    const CK_ControlRecord& r, const CK_LayoutState& state, CK_EditorContext& context, CBitmap& bitmap)
{
    const int frames = state.animFrames > 0 ? state.animFrames : std::max<int>(1, countChoices(r.choices));
    CK_COptionsImage::Motion motion;
    int clickMode = CK_COptionsImage::kClickSteps;
    if (r.type >= Type::kImageMenuEased) {
        motion.easing = state.animValue > 0.0f ? state.animValue : 1.0f;
        motion.exponential = state.animStyleHigh != 0;
    }
    if (r.type == Type::kImageMenuList)
        clickMode = CK_COptionsImage::kClickOpensList;
    if (r.type == Type::kImageMenuEmpty)
        clickMode = CK_COptionsImage::kClickStepsFromNone;
    return new CK_COptionsImage(
        strip(r, bitmap, frames), context, r.parameter, &bitmap, r.choices, frames, motion, clickMode);
}

// An invisible control: no size, never under the mouse.
CRect invisible(const CK_ControlRecord& r)
{
    return CRect::fromSize(r.x, r.y, 0, 0);
}

} // namespace

CView* createControlView(
    const CK_ControlRecord& record, const CK_LayoutState& state, CK_EditorContext& context, CBitmap* bitmap)
{
    const int type = record.type;
    const int32_t tag = record.parameter;
    switch (type) {
    case Type::kButtonHub:
        return new CK_GUI_Multi_Button_Hub(invisible(record), context, tag, countChoices(record.choices));
    case Type::kStore: return new CK_GUI_Float_Store(invisible(record), context, tag);
    case Type::kTextMenu: return createTextMenu(record, state, context, bitmap);
    default: break;
    }
    // Every other control draws its bitmap.
    if (!bitmap)
        return nullptr;
    switch (type) {
    case Type::kKnob:
    case Type::kSpringKnob:
    case Type::kCurvedKnob: return createKnob(record, state, context, *bitmap);
    case Type::kRotateKnob:
    case Type::kRotateSpringKnob: {
        const int layers = std::max(1, state.animFrames);
        return new CK_Rotate_Knob(strip(record, *bitmap, layers), context, tag, layers, bitmap, state.animX,
            state.animY, state.animValue, type == Type::kRotateSpringKnob);
    }
    case Type::kSlider:
    case Type::kSpringSlider:
        return new CK_HV_Slider(CRect::fromSize(record.x, record.y, state.sliderWidth, state.sliderHeight), context,
            tag, bitmap, state.sliderVertical != 0, type == Type::kSpringSlider);
    case Type::kExclusive:
    case Type::kExclusiveKeepOne:
        return new CK_ExclusiveButton(strip(record, *bitmap, 2), context, tag, bitmap, type == Type::kExclusive);
    default: break;
    }
    if (type >= Type::kAnimButtonFirst && type <= Type::kAnimButtonLast)
        return createAnimButton(record, state, context, *bitmap);
    if (type >= Type::kOnOffFirst && type <= Type::kOnOffLast)
        return new CK_COnOffButton(strip(record, *bitmap, 2), context, tag, bitmap, type - Type::kOnOffFirst);
    if (type >= Type::kOptionImageFirst && type <= Type::kImageMenuEmpty)
        return createImageMenu(record, state, context, *bitmap);
    return nullptr;
}
