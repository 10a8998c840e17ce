// A panel of the window (settings, credits, band pages, MIDI learn): it rests at a home position and
// slides or fades to its open position when shown. Motion and fading advance on the frame tick, so
// showing and hiding only set a target.
#pragma once

#include "gui/CViewContainer.h"

class CK_PanelContainer : public brelvik::gui::CViewContainer {
public:
    // `openRect` is where the panel shows when open.
    explicit CK_PanelContainer(const brelvik::gui::CRect& openRect);

    // Sets the rest position and moves the panel there. With `hideMode` not 0 the panel is hidden
    // at rest; `speed` is the fraction of the remaining way covered per tick; a `fadeSwitch` of 1
    // means the panel does not fade.
    void setPanelMotion(const brelvik::gui::CRect& home, int hideMode, float speed, float fadeSwitch);

    // Shows or hides with the panel's motion: a sliding panel moves, a fading one fades, any other
    // switches at once. Showing cancels a pending hide.
    void setVisible(bool show) override;
    // Shows or hides at once, stopping any motion (the layout's starting state).
    void setVisibleAtOnce(bool show);
    // Moves both the open and the home position to `topLeft` (a panel that fades in place).
    void placeAt(const brelvik::gui::CPoint& topLeft);
    // Opacity change per tick (1 reaches full opacity on the next tick); negative fades out.
    void setFadeSpeed(float speed) { fadeSpeed_ = speed; }

    // One step of fade and slide.
    void animatePanel();
    void onFrameTick() override;
    void drawRect(brelvik::gui::CDrawContext& context, const brelvik::gui::CRect& update) override;

    // 0 (transparent) to 255 (opaque); the panel and its views draw at this opacity.
    int opacity() const { return opacity_; }
    bool slides() const { return !(homeRect_ == openRect_); }
    const brelvik::gui::CRect& openRect() const { return openRect_; }
    const brelvik::gui::CRect& homeRect() const { return homeRect_; }
    const brelvik::gui::CRect& targetRect() const { return targetRect_; }

private:
    void moveTo(const brelvik::gui::CRect& rect);
    void fadeStep();
    void slideStep();

    brelvik::gui::CRect openRect_;
    brelvik::gui::CRect homeRect_;
    brelvik::gui::CRect targetRect_;
    float left_;
    float top_;
    float speed_ = 1.0f;
    float fadeSwitch_ = 1.0f;
    float fadeSpeed_ = 0.0f;
    float fadeLevel_ = 1.0f; // 0 to 1
    int opacity_ = 255;
    int hideMode_ = 0;
    bool hideAtEnd_ = false;
};

// The opacity (0 to 255) of the panel that holds `view`, directly or further up; 255 outside panels.
int panelOpacity(const brelvik::gui::CView& view);
