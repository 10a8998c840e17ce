#include "gui/CFrame.h"

#include "gui/CDrawContext.h"
#include "gui/CTooltipSupport.h"
#include "gui/backend/DrawBackend.h"
#include "gui/backend/PlatformWindow.h"

namespace brelvik::gui {

namespace {
constexpr size_t kMaxInvalidAreas = 32;

bool isSelfOrInside(const CView* view, const CView* ancestor)
{
    for (const CView* v = view; v; v = v->getParentView())
        if (v == ancestor)
            return true;
    return false;
}
} // namespace

CFrame::CFrame(int width, int height)
    : CViewContainer(CRect{0, 0, width, height}), buffer_(width, height), context_(createDrawContext(buffer_))
{
    invalid_.reserve(kMaxInvalidAreas);
    setBackgroundColor(kBlackCColor);
    invalidateAll();
}

CFrame::~CFrame()
{
    setTooltipSupport(nullptr);
    setFocusView(nullptr);
    if (modal_) {
        modal_->removed();
        modal_->forget();
        modal_ = nullptr;
    }
    removeAll();
    close();
}

bool CFrame::open(void* parentWindow, std::string* error)
{
    close();
    window_ = createPlatformWindow(parentWindow, *this, error);
    if (!window_)
        return false;
    invalidateAll();
    return true;
}

void CFrame::close()
{
    window_.reset();
}

bool CFrame::isWindowOpen() const
{
    return window_ && window_->isOpen();
}

void CFrame::pumpEvents()
{
    if (window_)
        window_->pump();
}

void CFrame::invalidRect(const CRect& frameArea)
{
    const CRect area = frameArea.intersect(size_);
    if (area.isEmpty())
        return;
    for (CRect& r : invalid_) {
        if (r.intersects(area)) {
            r = r.unite(area);
            return;
        }
    }
    if (invalid_.size() < kMaxInvalidAreas) {
        invalid_.push_back(area);
        return;
    }
    CRect all = area;
    for (const CRect& r : invalid_)
        all = all.unite(r);
    invalid_.assign(1, all);
}

void CFrame::paint(const CRect& area)
{
    CDrawContextState state(*context_);
    context_->clipRect(area);
    drawRect(*context_, area);
    if (modal_ && modal_->getViewSize().intersects(area))
        modal_->draw(*context_);
    if (tooltips_)
        tooltips_->draw(*context_);
}

void CFrame::flush()
{
    if (invalid_.empty())
        return;
    for (const CRect& area : invalid_)
        paint(area);
    if (window_ && window_->isOpen())
        for (const CRect& area : invalid_)
            window_->present(buffer_, area);
    invalid_.clear();
}

void CFrame::idle(uint64_t nowMs)
{
    if (tooltips_)
        tooltips_->idle(nowMs);
    flush();
}

bool CFrame::renderToPng(const std::string& path, std::string* error)
{
    invalidateAll();
    flush();
    return writePng(buffer_, path, error);
}

PixelBuffer CFrame::renderView(CView& view)
{
    const CRect size = view.getViewSize();
    PixelBuffer buffer(size.width(), size.height());
    std::unique_ptr<CDrawContext> context = createDrawContext(buffer);
    context->translate(-size.left, -size.top);
    context->clipRect(size);
    view.draw(*context);
    return buffer;
}

bool CFrame::renderViewToPng(CView& view, const std::string& path, std::string* error)
{
    return writePng(renderView(view), path, error);
}

void CFrame::mouseDown(const CPoint& where, const CButtonState& buttons)
{
    if (tooltips_)
        tooltips_->hide();
    CPoint p = where;
    if (sendToModal([&](CView& modal) { modal.onMouseDown(p, buttons); }))
        return;
    if (focus_ && !(focus_->getFrameRect().contains(where)))
        setFocusView(nullptr);
    mouseCaptured_ = onMouseDown(p, buttons) == CMouseEventResult::kHandled;
}

void CFrame::mouseUp(const CPoint& where, const CButtonState& buttons)
{
    CPoint p = where;
    if (sendToModal([&](CView& modal) { modal.onMouseUp(p, buttons); }))
        return;
    if (mouseCaptured_) {
        mouseCaptured_ = false;
        onMouseUp(p, buttons);
    }
    setHover(getViewAt(where, buttons), where, buttons);
}

void CFrame::mouseMoved(const CPoint& where, const CButtonState& buttons)
{
    CPoint p = where;
    if (sendToModal([&](CView& modal) { modal.onMouseMoved(p, buttons); }))
        return;
    if (mouseCaptured_) {
        onMouseMoved(p, buttons);
        return;
    }
    setHover(getViewAt(where, buttons), where, buttons);
    if (hover_) {
        CPoint local = hover_->frameToLocal(where);
        hover_->onMouseMoved(local, buttons);
    }
    if (tooltips_)
        tooltips_->mouseMoved(where);
}

void CFrame::mouseWheel(const CPoint& where, float distance, const CButtonState& buttons)
{
    if (modal_)
        return;
    onWheel(where, distance, buttons);
}

void CFrame::mouseLeft()
{
    if (!mouseCaptured_)
        setHover(nullptr, {}, {});
}

bool CFrame::keyDown(const CKeyEvent& key)
{
    bool used = false;
    if (!sendToModal([&](CView& modal) { used = modal.onKeyDown(key); }) && focus_)
        used = focus_->onKeyDown(key);
    return used;
}

void CFrame::setHover(CView* view, const CPoint& where, const CButtonState& buttons)
{
    if (view == hover_)
        return;
    if (hover_) {
        CPoint local = hover_->frameToLocal(where);
        hover_->onMouseExited(local, buttons);
    }
    hover_ = view;
    if (hover_) {
        CPoint local = hover_->frameToLocal(where);
        hover_->onMouseEntered(local, buttons);
    }
    if (tooltips_)
        tooltips_->hoverChanged(hover_, where);
}

void CFrame::setFocusView(CView* view)
{
    if (view == focus_)
        return;
    CView* old = focus_;
    focus_ = view;
    if (old)
        old->looseFocus();
    if (focus_)
        focus_->takeFocus();
}

void CFrame::setModalView(CView* view)
{
    if (modal_) {
        modal_->invalid();
        modal_->removed();
        modal_->forget();
    }
    modal_ = view;
    modalClosing_ = false;
    if (modal_) {
        if (tooltips_)
            tooltips_->hide();
        modal_->attached(this);
        modal_->invalid();
    }
}

void CFrame::closeModalView()
{
    modalClosing_ = modal_ != nullptr;
}

void CFrame::finishModalClose()
{
    if (modalClosing_)
        setModalView(nullptr);
}

void CFrame::setTooltipSupport(CTooltipSupport* tooltips)
{
    if (tooltips)
        tooltips->remember();
    if (tooltips_) {
        tooltips_->hide();
        tooltips_->forget();
    }
    tooltips_ = tooltips;
}

void CFrame::viewWillBeRemoved(CView* view)
{
    if (isSelfOrInside(hover_, view)) {
        hover_ = nullptr;
        if (tooltips_)
            tooltips_->hoverChanged(nullptr, {});
    }
    if (isSelfOrInside(focus_, view))
        focus_ = nullptr;
}

} // namespace brelvik::gui
