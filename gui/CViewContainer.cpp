#include "gui/CViewContainer.h"

#include <algorithm>
#include <utility>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

namespace brelvik::gui {

CViewContainer::CViewContainer(const CRect& size) : CView(size) { }

CViewContainer::~CViewContainer()
{
    removeAll();
}

void CViewContainer::addView(CView* view)
{
    if (!view)
        return;
    children_.push_back(view);
    view->attached(this);
    view->invalid();
}

bool CViewContainer::removeView(CView* view, bool release)
{
    auto it = std::find(children_.begin(), children_.end(), view);
    if (it == children_.end())
        return false;
    view->invalid();
    releaseMouse(view);
    if (CFrame* frame = getFrame())
        frame->viewWillBeRemoved(view);
    children_.erase(it);
    view->removed();
    if (release)
        view->forget();
    return true;
}

void CViewContainer::removeAll()
{
    while (!children_.empty())
        removeView(children_.back());
}

void CViewContainer::forEachChild(const std::function<void(CView&)>& visit) const
{
    for (CView* child : children_)
        visit(*child);
}

void CViewContainer::releaseMouse(CView* view)
{
    if (mouseDownView_ == view)
        mouseDownView_ = nullptr;
}

void CViewContainer::draw(CDrawContext& context)
{
    drawRect(context, size_);
}

void CViewContainer::drawRect(CDrawContext& context, const CRect& update)
{
    CDrawContextState state(context);
    context.clipRect(size_);
    context.translate(size_.left, size_.top);
    const CRect local{0, 0, size_.width(), size_.height()};
    if (backgroundColor_.isVisible())
        context.fillRect(local, backgroundColor_);
    if (background_)
        context.drawBitmap(*background_, local, {0, 0});
    const CRect localUpdate = update.offset(-size_.left, -size_.top).intersect(local);
    for (CView* child : children_) {
        if (!child->isVisible() || !child->getViewSize().intersects(localUpdate))
            continue;
        CDrawContextState childState(context);
        context.clipRect(child->getViewSize());
        child->drawRect(context, localUpdate);
    }
    setDirty(false);
}

bool CViewContainer::hitTest(const CPoint& where, const CButtonState& buttons)
{
    return getViewAt(where, buttons) != nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& where, const CButtonState& buttons)
{
    if (!size_.contains(where))
        return nullptr;
    const CPoint local = where - size_.topLeft();
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        CView* child = *it;
        if (!child->isVisible() || !child->getMouseEnabled())
            continue;
        if (child->isContainer()) {
            if (CView* hit = static_cast<CViewContainer*>(child)->getViewAt(local, buttons))
                return hit;
        } else if (child->hitTest(local, buttons)) {
            return child;
        }
    }
    return nullptr;
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!size_.contains(where))
        return CMouseEventResult::kNotHandled;
    CPoint local = where - size_.topLeft();
    // Topmost first; a view that does not take the click lets it fall through to those behind.
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        CView* child = *it;
        if (!child->isVisible() || !child->getMouseEnabled() || !child->hitTest(local, buttons))
            continue;
        CPoint p = local;
        if (child->onMouseDown(p, buttons) == CMouseEventResult::kHandled) {
            mouseDownView_ = child;
            return CMouseEventResult::kHandled;
        }
    }
    return CMouseEventResult::kNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    CView* view = std::exchange(mouseDownView_, nullptr);
    if (!view)
        return CMouseEventResult::kNotHandled;
    CPoint local = where - size_.topLeft();
    return view->onMouseUp(local, buttons);
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!mouseDownView_)
        return CMouseEventResult::kNotHandled;
    CPoint local = where - size_.topLeft();
    return mouseDownView_->onMouseMoved(local, buttons);
}

bool CViewContainer::onWheel(const CPoint& where, float distance, const CButtonState& buttons)
{
    if (!size_.contains(where))
        return false;
    const CPoint local = where - size_.topLeft();
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        CView* child = *it;
        if (child->isVisible() && child->getMouseEnabled() && child->hitTest(local, buttons)
            && child->onWheel(local, distance, buttons))
            return true;
    }
    return false;
}

} // namespace brelvik::gui
