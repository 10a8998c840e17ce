#include "editor/displays/CK_GUI_dBMeter.h"

#include <algorithm>
#include <cmath>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

using namespace brelvik::gui;

namespace {
constexpr float kCompressBelowDb = -30.0f;
constexpr int kContinuous = 255;
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
} // namespace

CK_GUI_dBMeter::CK_GUI_dBMeter(
    const CRect& size, CBitmap* bitmap, int style, float bottomDb, int segments, float endAngle, float startAngle)
    : CView(size), scales_(style & 0xff), twoLevel_(((style >> 8) & 0xff) != 0),
      bottomDb_(bottomDb < 0.0f ? bottomDb : -50.0f), pixelsPerDb_(static_cast<float>(size.height()) / bottomDb_),
      segmentHeight_(segments == kContinuous || segments <= 0 ? 1 : std::max(1, size.height() / segments)),
      markerHeight_(segmentHeight_), startAngle_(startAngle), anglePerDb_((endAngle - startAngle) / bottomDb_),
      level_(bottomDb_), secondLevel_(bottomDb_), shownLevel_(bottomDb_), shownSecond_(bottomDb_)
{
    setBackground(bitmap);
    setMouseEnabled(false);
    if (bitmap && scales_ > 0)
        sectionHeight_ = bitmap->getHeight() / scales_;
}

float CK_GUI_dBMeter::displayLevel(float db)
{
    return db < kCompressBelowDb ? (db - kCompressBelowDb) * 0.5f + kCompressBelowDb : db;
}

int CK_GUI_dBMeter::barOffset(float level) const
{
    return segmentHeight_ * static_cast<int>(level * pixelsPerDb_ / static_cast<float>(segmentHeight_));
}

void CK_GUI_dBMeter::link(CK_LinkedView* sender, const CK_LinkMessage& message)
{
    if (message.mode == CK_LinkMessage::kModeRegister) {
        if (message.id == kIdClip)
            clipTarget_ = sender;
        else if (message.id == kIdReadout)
            readoutTarget_ = sender;
        return;
    }
    if (message.id == kIdScale) {
        scaleIndex_ = std::clamp(static_cast<int>(message.mode), 0, std::max(0, scales_ - 1));
        requestRedraw();
        return;
    }
    // The processing side sends the largest peak since the last tick; keep the largest of several.
    if (twoLevel_ && message.id == kIdSecondLevel) {
        secondAccumulator_ = secondArrived_ ? std::max(secondAccumulator_, message.value) : message.value;
        secondArrived_ = true;
    } else {
        peakAccumulator_ = peakArrived_ ? std::max(peakAccumulator_, message.value) : message.value;
        peakArrived_ = true;
    }
    requestRedraw();
}

// The accumulated peak in dB (0 and below count as -180 dB), and the accumulator cleared.
float CK_GUI_dBMeter::takePeak(float& accumulator, bool& arrived)
{
    const float db = 20.0f * std::log10(std::max(accumulator, kQuietest));
    accumulator = kNone;
    arrived = false;
    return db;
}

void CK_GUI_dBMeter::fall(float& shown, float& speed, float target)
{
    speed += kFallAcceleration;
    shown = std::max(shown - speed, target);
}

void CK_GUI_dBMeter::onFrameTick()
{
    const float shownBefore = shownLevel_, secondBefore = shownSecond_;
    if (peakArrived_) {
        float level = takePeak(peakAccumulator_, peakArrived_);
        if (readoutTarget_ && level > readoutLevel_) {
            readoutLevel_ = level;
            readoutTarget_->link(this, valueMessage(kIdReadout, level + kScaleOffsetDb[std::min(scaleIndex_, 3)]));
        }
        level = displayLevel(level);
        if (scales_ > 0 && level > holdLevel_) {
            holdLevel_ = level;
            holdCounter_ = kHoldTicks;
            requestRedraw();
        }
        if (level < bottomDb_) {
            level = bottomDb_;
        } else if (level > 0.0f) {
            level = 0.0f;
            if (clipTarget_) {
                clipCounter_ = kClipTicks;
                clipTarget_->link(this, valueMessage(kIdClip, 1.0f));
            }
        }
        level_ = level;
        if (level > shownLevel_) {
            shownLevel_ = level;
            fallSpeed_ = 0.0f;
            holdOff_ = kHoldOffTicks;
        }
    }
    if (secondArrived_) {
        secondLevel_ = std::clamp(displayLevel(takePeak(secondAccumulator_, secondArrived_)), bottomDb_, 0.0f);
        if (secondLevel_ > shownSecond_) {
            shownSecond_ = secondLevel_;
            secondFallSpeed_ = 0.0f;
        }
    }

    if (holdOff_ >= 0)
        --holdOff_;
    if (holdOff_ < 0 && shownLevel_ > level_)
        fall(shownLevel_, fallSpeed_, level_);
    if (shownSecond_ > secondLevel_)
        fall(shownSecond_, secondFallSpeed_, secondLevel_);
    if (shownLevel_ != shownBefore || shownSecond_ != secondBefore)
        requestRedraw();

    if (holdCounter_ > 0 && --holdCounter_ == 0) {
        holdLevel_ = kNone;
        readoutLevel_ = kNone;
        requestRedraw();
    }
    if (clipCounter_ > 0 && --clipCounter_ == 0 && clipTarget_)
        clipTarget_->link(this, valueMessage(kIdClip, 0.0f));
    CView::onFrameTick();
}

void CK_GUI_dBMeter::draw(CDrawContext& context)
{
    const CBitmap* bitmap = getBackground();
    if (!bitmap)
        return;
    if (scales_ > 0) {
        drawBar(context);
        return;
    }
    const CRect source = CRect::fromSize(0, 0, bitmap->getWidth(), bitmap->getHeight());
    const CPoint centre{(size_.left + size_.right) / 2, (size_.top + size_.bottom) / 2};
    const double degrees = startAngle_ + anglePerDb_ * shownLevel_;
    context.drawBitmapRotated(*bitmap, source, centre, degrees * kRadiansPerDegree);
}

// Rows [fromRow, toRow) of the view from image `image` of the current scale (0 unlit, 1 lit, 2 second bar).
void CK_GUI_dBMeter::drawRows(CDrawContext& context, int fromRow, int toRow, int image) const
{
    if (toRow <= fromRow)
        return;
    const int sourceTop = scaleIndex_ * sectionHeight_ + image * getHeight() + fromRow;
    context.drawBitmap(
        *getBackground(), CRect{size_.left, size_.top + fromRow, size_.right, size_.top + toRow}, CPoint{0, sourceTop});
}

void CK_GUI_dBMeter::drawBar(CDrawContext& context) const
{
    const int height = getHeight();
    const int bar = std::clamp(barOffset(shownLevel_), 0, height);
    drawRows(context, 0, bar, 0);
    drawRows(context, bar, height, 1);
    if (twoLevel_ && shownSecond_ > bottomDb_)
        drawRows(context, std::clamp(barOffset(shownSecond_), 0, height), height, 2);
    if (holdLevel_ > kHoldLineFloor) {
        // Held levels above 0 dB sit at the top, those below the scale at the bottom row.
        const int line = std::clamp(barOffset(holdLevel_), 0, std::max(0, height - markerHeight_));
        drawRows(context, line, line + markerHeight_, 1);
    }
}
