#include "gui/CView.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/CViewContainer.h"

namespace brelvik::gui {

CView::CView(const CRect& size) : size_(size) { }

CView::~CView()
{
    if (background_)
        background_->forget();
}

void CView::setViewSize(const CRect& size)
{
    invalid();
    size_ = size;
    invalid();
}

CPoint CView::localToFrame(const CPoint& p) const
{
    CPoint result = p;
    for (const CViewContainer* c = parent_; c; c = c->getParentView())
        result = result + c->getViewSize().topLeft();
    return result;
}

CPoint CView::frameToLocal(const CPoint& p) const
{
    const CPoint origin = localToFrame({0, 0});
    return p - origin;
}

CRect CView::getFrameRect() const
{
    return size_.offset(localToFrame({0, 0}));
}

CFrame* CView::getFrame() const
{
    CView* top = const_cast<CView*>(this);
    while (top->parent_)
        top = top->parent_;
    return dynamic_cast<CFrame*>(top);
}

void CView::setVisible(bool visible)
{
    if (visible_ == visible)
        return;
    if (!visible)
        invalid();
    visible_ = visible;
    if (visible)
        invalid();
}

void CView::draw(CDrawContext& context)
{
    if (background_)
        context.drawBitmap(*background_, size_, {0, 0});
    setDirty(false);
}

void CView::drawRect(CDrawContext& context, const CRect&)
{
    draw(context);
}

void CView::invalid()
{
    setDirty(false);
    if (CFrame* frame = getFrame())
        frame->invalidRect(getFrameRect());
}

bool CView::isShown() const
{
    for (const CView* view = this; view; view = view->getParentView())
        if (!view->isVisible())
            return false;
    return true;
}

void CView::onFrameTick()
{
    if (redrawCount_ != 0 && isShown()) {
        redrawCount_ = 0;
        invalid();
    }
}

void CView::setBackground(CBitmap* bitmap)
{
    if (bitmap)
        bitmap->remember();
    if (background_)
        background_->forget();
    background_ = bitmap;
    invalid();
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&)
{
    return CMouseEventResult::kNotHandled;
}
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&)
{
    return CMouseEventResult::kNotHandled;
}
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&)
{
    return CMouseEventResult::kNotHandled;
}
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&)
{
    return CMouseEventResult::kNotHandled;
}
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&)
{
    return CMouseEventResult::kNotHandled;
}
bool CView::onWheel(const CPoint&, float, const CButtonState&)
{
    return false;
}
bool CView::onKeyDown(const CKeyEvent&)
{
    return false;
}

bool CView::hitTest(const CPoint& where, const CButtonState&)
{
    if (!size_.contains(where))
        return false;
    if (!alphaHitTest_ || !background_)
        return true;
    const CPoint origin = bitmapOriginForHitTest();
    return background_->alphaAt(origin.x + where.x - size_.left, origin.y + where.y - size_.top) > kAlphaHitThreshold;
}

void CView::attached(CViewContainer* parent)
{
    parent_ = parent;
}

void CView::removed()
{
    parent_ = nullptr;
}

} // namespace brelvik::gui
