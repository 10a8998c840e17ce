#pragma once

#include <functional>
#include <vector>

#include "gui/CView.h"

namespace brelvik::gui {

// A view that holds other views in drawing order (the last one is on top). Children's rectangles
// are relative to the container's top-left corner, and they are drawn clipped to the container.
class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    bool isContainer() const override { return true; }

    // Takes over the caller's reference to `view`.
    void addView(CView* view);
    // Detaches `view`; with `release` its reference is dropped (usually deleting it).
    bool removeView(CView* view, bool release = true);
    void removeAll();
    int getNbViews() const { return static_cast<int>(children_.size()); }
    CView* getView(int index) const { return children_[index]; }
    void forEachChild(const std::function<void(CView&)>& visit) const;

    void setBackgroundColor(const CColor& color) { backgroundColor_ = color; }
    const CColor& getBackgroundColor() const { return backgroundColor_; }

    void draw(CDrawContext& context) override;
    void drawRect(CDrawContext& context, const CRect& update) override;

    // The topmost visible, mouse-enabled leaf view hit by `where` (parent coordinates), or null.
    CView* getViewAt(const CPoint& where, const CButtonState& buttons = {});

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
    bool hitTest(const CPoint& where, const CButtonState& buttons = {}) override;

    // A child that leaves while it holds the mouse loses it.
    void releaseMouse(CView* view);

private:
    std::vector<CView*> children_;
    CView* mouseDownView_ = nullptr;
    CColor backgroundColor_ = kTransparentCColor;
};

} // namespace brelvik::gui
