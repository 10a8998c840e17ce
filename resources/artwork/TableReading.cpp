#include "resources/artwork/TableReading.h"

#include "resources/artwork/BitmapCatalogue.h"
#include "shell/ControlTable.h"
#include "shell/ControlTypes.h"
#include "shell/ParameterTags.h"

namespace {

bool kindOf(int type, CK_ViewKind* kind)
{
    switch (type) {
    case ControlType::kKnob: *kind = CK_ViewKind::Knob; return true;
    case ControlType::kCurvedKnob: *kind = CK_ViewKind::CurvedKnob; return true;
    case ControlType::kClipLamp: *kind = CK_ViewKind::ClipLamp; return true;
    case ControlType::kLedSwitch: *kind = CK_ViewKind::LedSwitch; return true;
    case ControlType::kLoopSwitch: *kind = CK_ViewKind::LoopSwitch; return true;
    case ControlType::kOnOff: *kind = CK_ViewKind::OnOff; return true;
    case ControlType::kMomentary: *kind = CK_ViewKind::Momentary; return true;
    case ControlType::kExclusive: *kind = CK_ViewKind::Exclusive; return true;
    case ControlType::kImageMenu: *kind = CK_ViewKind::ImageMenu; return true;
    case ControlType::kReadout: *kind = CK_ViewKind::Readout; return true;
    case ControlType::kGlobalValue: *kind = CK_ViewKind::GlobalValue; return true;
    case ControlType::kGlobalName: *kind = CK_ViewKind::GlobalName; return true;
    case ControlType::kMidiLearn: *kind = CK_ViewKind::MidiLearn; return true;
    case ControlType::kImage: *kind = CK_ViewKind::Image; return true;
    case ControlType::kEqView: *kind = CK_ViewKind::EqView; return true;
    case ControlType::kPanel: *kind = CK_ViewKind::Panel; return true;
    case ControlType::kPage: *kind = CK_ViewKind::Page; return true;
    default: break;
    }
    if (ControlType::isCurveView(type)) {
        *kind = CK_ViewKind::CurveView;
        return true;
    }
    if (ControlType::isMeter(type)) {
        *kind = CK_ViewKind::Meter;
        return true;
    }
    return false;
}

// Walks the table as the editor lays out its window, keeping the layout state that sizes views.
std::vector<CK_PlacedView> walkTable()
{
    std::vector<CK_PlacedView> views;
    std::vector<int> panels; // open containers, innermost last
    int knobFrames = 0, animFrames = 0, textWidth = 0, textHeight = 0, homeX = 0, homeY = 0;
    for (int r = 1; r < kControlRecordCount && kControlTable[r].type < ControlType::kEnd; ++r) {
        const CK_ControlRecord& rec = kControlTable[r];
        switch (rec.type) {
        case ControlType::kKnobFrames: knobFrames = rec.x; continue;
        case ControlType::kAnim: animFrames = rec.controller; continue;
        case ControlType::kText: textWidth = rec.x; textHeight = rec.y; continue;
        case ControlType::kPanelHome: homeX = rec.x; homeY = rec.y; continue;
        case ControlType::kClose:
            if (!panels.empty()) panels.pop_back();
            continue;
        default: break;
        }
        CK_PlacedView v;
        if (!kindOf(rec.type, &v.kind))
            continue;
        v.record = r;
        v.tag = rec.parameter;
        v.bitmap = rec.bitmap;
        v.rect.x = rec.x;
        v.rect.y = rec.y;
        v.minimum = rec.min;
        v.maximum = rec.max;
        v.name = rec.name;
        v.choices = rec.choices;
        v.options = countChoices(rec.choices);
        v.parent = panels.empty() ? -1 : panels.back();
        const CK_BitmapInfo* bmp = ck_findBitmapInfo(rec.bitmap);
        const int w = bmp ? bmp->width : 0, h = bmp ? bmp->height : 0;
        switch (v.kind) {
        case CK_ViewKind::Knob:
        case CK_ViewKind::CurvedKnob: v.frames = knobFrames ? knobFrames : (w ? h / w : 0); break;
        case CK_ViewKind::ClipLamp:
        case CK_ViewKind::LedSwitch:
        case CK_ViewKind::LoopSwitch: v.frames = animFrames ? animFrames : (w ? h / w : 0); break;
        case CK_ViewKind::OnOff:
        case CK_ViewKind::Momentary:
        case CK_ViewKind::Exclusive: v.frames = 2; break;
        case CK_ViewKind::ImageMenu: v.frames = animFrames ? animFrames : v.options; break;
        case CK_ViewKind::Image: v.frames = rec.controller; break;
        case CK_ViewKind::Meter: {
            const int scales = rec.type - ControlType::kMeterFirst;
            v.frames = scales * ((rec.controller & 0xff00) ? 3 : 2);
            break;
        }
        case CK_ViewKind::MidiLearn:
        case CK_ViewKind::Panel: v.frames = bmp ? 1 : 0; break;
        default: v.frames = 0; break;
        }
        if (bmp && v.frames > 0) {
            v.rect.width = w;
            v.rect.height = h / v.frames;
        } else if (v.kind == CK_ViewKind::GlobalName || v.kind == CK_ViewKind::GlobalValue ||
                   v.kind == CK_ViewKind::Readout) {
            v.rect.width = textWidth;
            v.rect.height = textHeight;
        } else {
            v.rect.width = static_cast<int>(rec.min);
            v.rect.height = static_cast<int>(rec.max);
        }
        if (v.kind == CK_ViewKind::Panel) {
            v.homeX = homeX;
            v.homeY = homeY;
        } else if (v.kind == CK_ViewKind::Page) {
            v.homeX = v.rect.x;
            v.homeY = v.rect.y;
        }
        views.push_back(v);
        if (v.kind == CK_ViewKind::Panel || v.kind == CK_ViewKind::Page)
            panels.push_back(static_cast<int>(views.size()) - 1);
    }
    return views;
}

} // namespace

const char* ck_backgroundBitmap()
{
    return kControlTable[0].bitmap;
}

const std::vector<CK_PlacedView>& ck_placedViews()
{
    static const std::vector<CK_PlacedView> views = walkTable();
    return views;
}

CK_Rect ck_windowRect(const CK_PlacedView& view, bool panelsAtHome)
{
    CK_Rect r = view.rect;
    if (panelsAtHome && (view.kind == CK_ViewKind::Panel || view.kind == CK_ViewKind::Page)) {
        r.x = view.homeX;
        r.y = view.homeY;
    }
    if (view.parent >= 0) {
        const CK_Rect p = ck_windowRect(ck_placedViews()[view.parent], panelsAtHome);
        r.x += p.x;
        r.y += p.y;
    }
    return r;
}

int ck_findView(int tag, CK_ViewKind kind)
{
    const std::vector<CK_PlacedView>& views = ck_placedViews();
    for (size_t i = 0; i < views.size(); ++i)
        if (views[i].tag == tag && views[i].kind == kind)
            return static_cast<int>(i);
    return -1;
}

std::vector<std::string> ck_choiceLabels(const char* choices)
{
    std::vector<std::string> labels;
    std::string current;
    for (const char* c = choices; c && *c; ++c) {
        if (*c == ',') {
            labels.push_back(current);
            current.clear();
        } else {
            current += *c;
        }
    }
    return labels;
}

const std::vector<CK_Caption>& ck_captions()
{
    using S = CK_CaptionSide;
    static const std::vector<CK_Caption> captions = {
        {kTagLowThreshold, "THRESH", S::LeftVertical, false},
        {kTagLowRatio, "RATIO", S::LeftVertical, false},
        {kTagLowKnee, "KNEE", S::LeftVertical, false},
        {kTagLowGain, "GAIN", S::LeftVertical, false},
        {kTagLoHarmonics, "TYPE", S::Above, false},
        {kTagPsyBassMode, "DYN", S::Above, false},
        {kTagPsychoBass, "PSYCHO", S::Above, false},
        {kTagPsychoBassLevel, "HARMONICS", S::RightTop, false},
        {kTagBassDynamics, "DYNAMICS", S::Above, false},
        {kTagBassEnhFreq, "FREQ", S::Below, false},
        {kTagBassMode, nullptr, S::OptionsRight, false},
        {kTagBassOn, "DYN", S::Left, false},
        {kTagPsychoHigh, "PSYCHO", S::Above, false},
        {kTagPsyHighMode, "DYN", S::Above, false},
        {kTagHiHarmonics, "TYPE", S::Above, false},
        {kTagPsychoHighLevel, "HARMONICS", S::LeftTop, false},
        {kTagHighEnhFreq, "FREQ", S::LeftVertical, false},
        {kTagHighFilter, "BP", S::Right, false},
        {kTagHighDynamics, "DYNAMICS", S::Above, false},
        {kTagHighMode, nullptr, S::OptionsLeft, false},
        {kTagHighOn, "DYN", S::Right, false},
        {kTagSpatialMode, "BANDS", S::Above, false},
        {kTagSpatial, "WIDTH", S::Right, true},
        {kTagParallel, "PARALLEL", S::Below, true},
        {kTagMasterGain, "MASTER", S::Above, false},
        {kTagSensitivity, "SENS", S::Below, true},
        {kTagLookAhead, "AHEAD", S::Below, true},
        {kTagAttack, "ATTACK", S::Below, true},
        {kTagHold, "HOLD", S::Below, true},
        {kTagRelease, "RELEASE", S::Below, true},
        {kTagHeadphoneShift, "SHIFT", S::Below, true},
        {kTagMetering, "RESPONSE", S::Above, false},
        {kTagCompMode, "CHANNELS", S::Above, false},
        {kTagMeterType, "METER", S::Above, false},
    };
    return captions;
}

const std::vector<CK_Section>& ck_sections()
{
    static const std::vector<CK_Section> sections = {
        {"PARAMETRIC EQ", {kTagEqView, kTagEq1Active, kTagEq5Active, kTagEqActive}, false},
        {"MULTIBAND COMPRESSOR", {kTagLowThreshold, kTagLowCurve, kTagLowBandButton, kTagHighBandButton, kTagLowActive, kTagMidActive, kTagHighActive}, true},
        {"BASS", {kTagLoHarmonics, kTagPsychoBass, kTagPsychoBassLevel, kTagBassDynamics, kTagBassEnhFreq, kTagBassOn, kTagBassMode}, false},
        {"TREBLE", {kTagHiHarmonics, kTagPsychoHigh, kTagPsychoHighLevel, kTagHighDynamics, kTagHighEnhFreq, kTagHighOn, kTagHighMode}, false},
        {"SPATIAL", {kTagSpatialMode, kTagSpatial, kTagSpatialActive, kTagHeadphone}, false},
        {"OUTPUT", {kTagClipLeft, kTagClipRight, kTagPeakMeterLeft, kTagPeakMeterRight, kTagPeakReadout}, false},
    };
    return sections;
}

const std::vector<CK_Section>& ck_settingsGroups()
{
    static const std::vector<CK_Section> groups = {
        {"DETECTOR", {kTagSensitivity, kTagLookAhead}, false},
        {"ENVELOPE", {kTagAttack, kTagHold, kTagRelease}, false},
        {"HEADPHONES", {kTagHeadphoneShift}, false},
    };
    return groups;
}

