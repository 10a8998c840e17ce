#pragma once

#include <string>

#include "gui/CBaseObject.h"
#include "gui/CEvents.h"
#include "gui/CGeometry.h"

namespace brelvik::gui {

class CBitmap;
class CDrawContext;
class CFrame;
class CViewContainer;

// A rectangle of the window that draws itself and answers the mouse and the keyboard.
// Its size rectangle and every point it receives are in its parent's coordinates.
class CView : public CBaseObject {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    const CRect& getViewSize() const { return size_; }
    virtual void setViewSize(const CRect& size);
    int getWidth() const { return size_.width(); }
    int getHeight() const { return size_.height(); }
    // Converts between this view's parent coordinates and the frame's.
    CPoint localToFrame(const CPoint& p) const;
    CPoint frameToLocal(const CPoint& p) const;
    CRect getFrameRect() const;

    CViewContainer* getParentView() const { return parent_; }
    CFrame* getFrame() const;
    virtual bool isContainer() const { return false; }

    bool isVisible() const { return visible_; }
    // Visible, and so is every container it lies in.
    bool isShown() const;
    virtual void setVisible(bool visible);
    bool getMouseEnabled() const { return mouseEnabled_; }
    void setMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }

    // Drawing. draw() paints the whole view; drawRect() may skip what lies outside `update`
    // (in parent coordinates). The default draws the background bitmap at the view's origin.
    virtual void draw(CDrawContext& context);
    virtual void drawRect(CDrawContext& context, const CRect& update);
    // Asks the frame to repaint this view on its next flush.
    void invalid();
    bool isDirty() const { return dirty_; }
    void setDirty(bool dirty = true) { dirty_ = dirty; }
    // Values set outside drawing only count a redraw here; onFrameTick turns it into a repaint.
    void requestRedraw() { ++redrawCount_; }
    int getRedrawCount() const { return redrawCount_; }
    // Called on every frame tick on the window thread: repaints when a redraw was counted and the
    // view is shown (a view on a hidden panel waits; showing the panel repaints it whole).
    virtual void onFrameTick();

    void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background_; }

    const std::string& getTooltipText() const { return tooltip_; }
    void setTooltipText(std::string text) { tooltip_ = std::move(text); }

    // Events. Points are in parent coordinates.
    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
    // `distance` is in notches (one click of a wheel = 1, up or right positive).
    virtual bool onWheel(const CPoint& where, float distance, const CButtonState& buttons);
    virtual bool onKeyDown(const CKeyEvent& key);
    // Keyboard focus: the frame tells the view when it gains and loses it.
    virtual void takeFocus() { }
    virtual void looseFocus() { }

    // Whether `where` hits this view. With alpha hit testing on and a background bitmap, only pixels
    // whose alpha is above kAlphaHitThreshold count.
    virtual bool hitTest(const CPoint& where, const CButtonState& buttons = {});
    void setAlphaHitTest(bool enabled) { alphaHitTest_ = enabled; }
    static constexpr uint8_t kAlphaHitThreshold = 199;

    // Called by a container when this view joins or leaves it.
    virtual void attached(CViewContainer* parent);
    virtual void removed();

protected:
    // Where, in the background bitmap, the pixel drawn at the view's top-left corner comes from
    // (a strip view answers the offset of the frame it currently shows).
    virtual CPoint bitmapOriginForHitTest() const { return {}; }

    CRect size_;
    CBitmap* background_ = nullptr;

private:
    CViewContainer* parent_ = nullptr;
    bool visible_ = true;
    bool mouseEnabled_ = true;
    bool alphaHitTest_ = false;
    bool dirty_ = false;
    int redrawCount_ = 0;
    std::string tooltip_;
};

} // namespace brelvik::gui
