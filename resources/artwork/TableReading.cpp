#include "resources/artwork/TableReading.h"

#include "resources/artwork/BitmapCatalogue.h"
#include "shell/ControlTable.h"

namespace {

// Control type codes of the table.
constexpr int kTypeKnob = 0;
constexpr int kTypeCurvedKnob = 2;
constexpr int kTypeClipLamp = 7;
constexpr int kTypeLedSwitch = 10;
constexpr int kTypeLoopSwitch = 13;
constexpr int kTypeOnOff = 14;
constexpr int kTypeMomentary = 15;
constexpr int kTypeExclusive = 18;
constexpr int kTypeImageMenu = 22;
constexpr int kTypeReadout = 36;
constexpr int kTypeGlobalValue = 41;
constexpr int kTypeGlobalName = 42;
constexpr int kTypeMidiLearn = 56;
constexpr int kTypeImage = 58;
constexpr int kTypeCurveFirst = 66;
constexpr int kTypeCurveLast = 69;
constexpr int kTypeMeterFirst = 70;
constexpr int kTypeMeterLast = 76;
constexpr int kTypeEqView = 86;
constexpr int kTypeTextSettings = 113;
constexpr int kTypeKnobFrames = 114;
constexpr int kTypeAnimation = 115;
constexpr int kTypePanelHome = 117;
constexpr int kTypePanel = 120;
constexpr int kTypePage = 121;
constexpr int kTypeClose = 122;
constexpr int kTypeEnd = 123;

// Parameter indices (tags) of the table that the artwork names.
constexpr int kAttack = 2, kHold = 3, kRelease = 4;
constexpr int kLowThreshold = 5, kLowRatio = 6, kLowKnee = 7, kLowGain = 8;
constexpr int kLookAhead = 17, kSensitivity = 19, kMetering = 20;
constexpr int kEqActiveTag = 36, kMeterTypeTag = 37;
constexpr int kHeadphoneTag = 49, kSpatial = 50, kSpatialMode = 51, kHeadphoneShift = 52, kSpatialActive = 53;
constexpr int kMasterGain = 55, kBassOn = 56, kBassDynamics = 57, kBassFrequency = 58, kBassMode = 59;
constexpr int kPsychoBass = 60, kPsychoBassLevel = 61, kLowHarmonics = 62, kHighOn = 63, kHighDynamics = 64;
constexpr int kHighFrequency = 65, kHighMode = 66, kPsychoHigh = 67, kPsychoHighLevel = 68;
constexpr int kHighHarmonics = 69, kLowActive = 70, kMidActive = 71, kHighActive = 72, kCompMode = 73;
constexpr int kParallel = 74, kEqBand1Active = 75, kEqBand5Active = 79, kHighFilter = 80;
constexpr int kPsyBassMode = 81, kPsyHighMode = 82, kBypassTag = 86;
constexpr int kSettingsButtonTag = 89, kCreditsButtonTag = 90, kLowPageButtonTag = 91, kHighPageButtonTag = 93;
constexpr int kGlobalValueTag = 94, kGlobalNameTag = 95, kCurveLowTag = 100, kEqViewTag = 103;
constexpr int kScaleTag = 104, kMeterLeftTag = 105, kMeterRightTag = 106, kClipLeftTag = 107;
constexpr int kClipRightTag = 108, kReadoutTag = 109;
constexpr int kCreditsPanelNumber = 0, kSettingsPanelNumber = 1, kLowPageNumber = 2, kMidiPanelNumber = 40;

int countChoices(const char* choices)
{
    int n = 0;
    for (const char* c = choices; c && *c; ++c)
        n += *c == ',';
    return n;
}

bool kindOf(int type, CK_ViewKind* kind)
{
    switch (type) {
    case kTypeKnob: *kind = CK_ViewKind::Knob; return true;
    case kTypeCurvedKnob: *kind = CK_ViewKind::CurvedKnob; return true;
    case kTypeClipLamp: *kind = CK_ViewKind::ClipLamp; return true;
    case kTypeLedSwitch: *kind = CK_ViewKind::LedSwitch; return true;
    case kTypeLoopSwitch: *kind = CK_ViewKind::LoopSwitch; return true;
    case kTypeOnOff: *kind = CK_ViewKind::OnOff; return true;
    case kTypeMomentary: *kind = CK_ViewKind::Momentary; return true;
    case kTypeExclusive: *kind = CK_ViewKind::Exclusive; return true;
    case kTypeImageMenu: *kind = CK_ViewKind::ImageMenu; return true;
    case kTypeReadout: *kind = CK_ViewKind::Readout; return true;
    case kTypeGlobalValue: *kind = CK_ViewKind::GlobalValue; return true;
    case kTypeGlobalName: *kind = CK_ViewKind::GlobalName; return true;
    case kTypeMidiLearn: *kind = CK_ViewKind::MidiLearn; return true;
    case kTypeImage: *kind = CK_ViewKind::Image; return true;
    case kTypeEqView: *kind = CK_ViewKind::EqView; return true;
    case kTypePanel: *kind = CK_ViewKind::Panel; return true;
    case kTypePage: *kind = CK_ViewKind::Page; return true;
    default: break;
    }
    if (type >= kTypeCurveFirst && type <= kTypeCurveLast) {
        *kind = CK_ViewKind::CurveView;
        return true;
    }
    if (type >= kTypeMeterFirst && type <= kTypeMeterLast) {
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
    for (int r = 1; r < kControlRecordCount && kControlTable[r].type < kTypeEnd; ++r) {
        const CK_ControlRecord& rec = kControlTable[r];
        switch (rec.type) {
        case kTypeKnobFrames: knobFrames = rec.x; continue;
        case kTypeAnimation: animFrames = rec.controller; continue;
        case kTypeTextSettings: textWidth = rec.x; textHeight = rec.y; continue;
        case kTypePanelHome: homeX = rec.x; homeY = rec.y; continue;
        case kTypeClose:
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
            const int scales = rec.type - kTypeMeterFirst;
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
        {kLowThreshold, "THRESH", S::LeftVertical, false},
        {kLowRatio, "RATIO", S::LeftVertical, false},
        {kLowKnee, "KNEE", S::LeftVertical, false},
        {kLowGain, "GAIN", S::LeftVertical, false},
        {kLowHarmonics, "TYPE", S::Above, false},
        {kPsyBassMode, "DYN", S::Above, false},
        {kPsychoBass, "PSYCHO", S::Above, false},
        {kPsychoBassLevel, "HARMONICS", S::RightTop, false},
        {kBassDynamics, "DYNAMICS", S::Above, false},
        {kBassFrequency, "FREQ", S::Below, false},
        {kBassMode, nullptr, S::OptionsRight, false},
        {kBassOn, "DYN", S::Left, false},
        {kPsychoHigh, "PSYCHO", S::Above, false},
        {kPsyHighMode, "DYN", S::Above, false},
        {kHighHarmonics, "TYPE", S::Above, false},
        {kPsychoHighLevel, "HARMONICS", S::LeftTop, false},
        {kHighFrequency, "FREQ", S::LeftVertical, false},
        {kHighFilter, "BP", S::Right, false},
        {kHighDynamics, "DYNAMICS", S::Above, false},
        {kHighMode, nullptr, S::OptionsLeft, false},
        {kHighOn, "DYN", S::Right, false},
        {kSpatialMode, "BANDS", S::Above, false},
        {kSpatial, "WIDTH", S::Right, true},
        {kParallel, "PARALLEL", S::Below, true},
        {kMasterGain, "MASTER", S::Above, false},
        {kSensitivity, "SENS", S::Below, true},
        {kLookAhead, "AHEAD", S::Below, true},
        {kAttack, "ATTACK", S::Below, true},
        {kHold, "HOLD", S::Below, true},
        {kRelease, "RELEASE", S::Below, true},
        {kHeadphoneShift, "SHIFT", S::Below, true},
        {kMetering, "RESPONSE", S::Above, false},
        {kCompMode, "CHANNELS", S::Above, false},
        {kMeterTypeTag, "METER", S::Above, false},
    };
    return captions;
}

const std::vector<CK_Section>& ck_sections()
{
    static const std::vector<CK_Section> sections = {
        {"PARAMETRIC EQ", {kEqViewTag, kEqBand1Active, kEqBand5Active, kEqActiveTag}, false},
        {"MULTIBAND COMPRESSOR", {kLowThreshold, kCurveLowTag, kLowPageButtonTag, kHighPageButtonTag, kLowActive, kMidActive, kHighActive}, true},
        {"BASS", {kLowHarmonics, kPsychoBass, kPsychoBassLevel, kBassDynamics, kBassFrequency, kBassOn, kBassMode}, false},
        {"TREBLE", {kHighHarmonics, kPsychoHigh, kPsychoHighLevel, kHighDynamics, kHighFrequency, kHighOn, kHighMode}, false},
        {"SPATIAL", {kSpatialMode, kSpatial, kSpatialActive, kHeadphoneTag}, false},
        {"OUTPUT", {kClipLeftTag, kClipRightTag, kMeterLeftTag, kMeterRightTag, kReadoutTag}, false},
    };
    return sections;
}

const std::vector<CK_Section>& ck_settingsGroups()
{
    static const std::vector<CK_Section> groups = {
        {"DETECTOR", {kSensitivity, kLookAhead}, false},
        {"ENVELOPE", {kAttack, kHold, kRelease}, false},
        {"HEADPHONES", {kHeadphoneShift}, false},
    };
    return groups;
}

const int CK_Tags::kEqView = kEqViewTag;
const int CK_Tags::kCurveLow = kCurveLowTag;
const int CK_Tags::kGlobalName = kGlobalNameTag;
const int CK_Tags::kGlobalValue = kGlobalValueTag;
const int CK_Tags::kMeterLeft = kMeterLeftTag;
const int CK_Tags::kMeterRight = kMeterRightTag;
const int CK_Tags::kScale = kScaleTag;
const int CK_Tags::kReadout = kReadoutTag;
const int CK_Tags::kBypass = kBypassTag;
const int CK_Tags::kMeterType = kMeterTypeTag;
const int CK_Tags::kCreditsPanel = kCreditsPanelNumber;
const int CK_Tags::kSettingsPanel = kSettingsPanelNumber;
const int CK_Tags::kLowPage = kLowPageNumber;
const int CK_Tags::kMidiPanel = kMidiPanelNumber;
const int CK_Tags::kSettingsButton = kSettingsButtonTag;
const int CK_Tags::kCreditsButton = kCreditsButtonTag;
const int CK_Tags::kLowPageButton = kLowPageButtonTag;
