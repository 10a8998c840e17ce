// The output peak meter: a bar drawn from a strip of unlit and lit images (one pair per scale), a
// peak-hold line, a clip lamp and a peak readout fed through links, and the ballistics that make
// the bar rise at once and fall with growing speed. A needle mode rotates the bitmap instead.
#pragma once

#include "editor/CK_LinkedView.h"
#include "gui/CView.h"

class CK_GUI_dBMeter : public brelvik::gui::CView, public CK_LinkedView {
public:
    // Link ids: the clip lamp and the readout register under these; the scale message comes as this id.
    static constexpr int32_t kIdClip = 0;
    static constexpr int32_t kIdReadout = 1;
    static constexpr int32_t kIdSecondLevel = 1; // in two-level mode, values under this id feed the second bar
    static constexpr int32_t kIdScale = 110;

    static constexpr int kHoldTicks = 150;            // 2.1 s at 14 ms a tick
    static constexpr int kClipTicks = 70;             // about 1 s
    static constexpr int kHoldOffTicks = 3;           // the bar stays this many ticks before it falls
    static constexpr float kFallAcceleration = 0.05f; // dB per tick per tick
    static constexpr float kNone = -200.0f;           // no hold line, no readout
    static constexpr float kHoldLineFloor = -80.0f;   // hold levels at or below are not drawn
    static constexpr float kQuietest = 1.0e-9f;
    static constexpr float kScaleOffsetDb[4] = {0.0f, 12.0f, 14.0f, 20.0f}; // Std, K12, K14, K20

    // `style`: low byte the number of scales in the bitmap (0: needle mode), second byte non-zero for
    // a second bar. `segments`: 255 for a continuous bar, else the number of LED segments.
    // Needle mode turns from `startAngle` (at 0 dB) towards `endAngle` (at bottomDb), in degrees.
    CK_GUI_dBMeter(const brelvik::gui::CRect& size, brelvik::gui::CBitmap* bitmap, int style, float bottomDb,
        int segments, float endAngle, float startAngle);

    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override;
    void onFrameTick() override;
    void draw(brelvik::gui::CDrawContext& context) override;

    // What the ballistics hold, in dB after the display law.
    float shownLevel() const { return shownLevel_; }
    float shownSecond() const { return shownSecond_; }
    float holdLevel() const { return holdLevel_; }
    int scaleIndex() const { return scaleIndex_; }
    // Pixels from the top at which the bar of `level` starts (0 at 0 dB, the height at bottomDb).
    int barOffset(float level) const;
    // Display law: below -30 dB the scale is compressed by half.
    static float displayLevel(float db);

private:
    float takePeak(float& accumulator, bool& arrived);
    void fall(float& shown, float& speed, float target);
    void drawBar(brelvik::gui::CDrawContext& context) const;
    void drawRows(brelvik::gui::CDrawContext& context, int fromRow, int toRow, int image) const;

    int scales_;
    bool twoLevel_;
    float bottomDb_;
    float pixelsPerDb_;
    int segmentHeight_;
    int markerHeight_;
    int sectionHeight_ = 0;
    int scaleIndex_ = 0;
    float startAngle_;
    float anglePerDb_;

    float peakAccumulator_ = kNone;
    float secondAccumulator_ = kNone;
    bool peakArrived_ = false;
    bool secondArrived_ = false;
    float level_;
    float secondLevel_;
    float shownLevel_;
    float shownSecond_;
    float fallSpeed_ = 0.0f;
    float secondFallSpeed_ = 0.0f;
    int holdOff_ = 0;
    float holdLevel_ = kNone;
    int holdCounter_ = 0;
    float readoutLevel_ = kNone;
    int clipCounter_ = 0;

    CK_LinkedView* clipTarget_ = nullptr;
    CK_LinkedView* readoutTarget_ = nullptr;
};
