// A picture from a vertical strip of frames that can show a chosen frame, loop or bounce through
// its frames, cross-fade or slide from one frame to the next, and fade in and out. The window's
// meter scale legend is one: the processing side selects its frame with the meter type.
#pragma once

#include "editor/CK_LinkedView.h"
#include "gui/CView.h"

class CK_GUI_Image : public brelvik::gui::CView, public CK_LinkedView {
public:
    enum Mode : int {
        kStill = 0,     // shows the selected frame
        kLoop = 1,      // steps through the frames and starts again
        kBounce = 2,    // steps back and forth between the first and the last frame
        kCrossFade = 3, // loops, each frame fading in over the one before
        kSlide = 4,     // loops, each frame sliding in over the one before
    };

    // Ids of the messages it takes (see link).
    static constexpr int32_t kIdNext = 100;
    static constexpr int32_t kIdPrevious = 101;
    static constexpr int32_t kIdFade = 102;
    static constexpr int32_t kIdPosition = 103;

    struct Animation {
        Mode mode = kStill;
        bool cubic = false;    // slides ease out instead of moving evenly
        int directionStep = 0; // added to the slide direction (below, left, above, right) per frame
        float speed = 1.0f;    // frames per tick
        int holdTicks = 0;     // ticks each new frame rests before the animation goes on
    };

    // `frames` frames of equal height; a hidden image starts fully transparent.
    CK_GUI_Image(const brelvik::gui::CRect& size, brelvik::gui::CBitmap* bitmap, bool visible, int frames);

    void setAnimation(const Animation& animation);

    // Registers linked views (they are sent every newly selected frame). Otherwise by id: next and
    // previous frame (when the value is not 0), a fade with the mode field as alpha step per tick,
    // a frame at the value's fraction of the strip; the meter-scale ids select the frame given in
    // the mode field.
    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override;

    void onFrameTick() override;
    void draw(brelvik::gui::CDrawContext& context) override;
    // A left click tells the linked views the selected frame; without links the click passes through.
    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;

    int selectedFrame() const { return selected_; }
    // The frame drawn (the one arriving during a cross-fade or slide).
    int shownFrame() const { return static_cast<int>(position_); }
    int alpha() const { return alpha_; }

private:
    void select(int frame);
    void animate();
    void drawFrame(brelvik::gui::CDrawContext& context, int frame, const brelvik::gui::CPoint& offset, float alpha);

    int frameHeight_;
    int lastFrame_;
    int selected_ = 0;
    float position_ = 0.0f;
    int previousFrame_ = 0;
    Animation animation_;
    float speed_ = 1.0f; // signed: a bouncing image reverses it at the ends
    int holdCounter_ = 0;
    int transition_ = 0;
    int alpha_;
    int fadeStep_ = 0;
    bool sending_ = false;
    CK_LinkList<8> links_;
};
