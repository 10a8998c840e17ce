#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/CBaseObject.h"
#include "gui/CFontDesc.h"
#include "gui/CGeometry.h"

namespace brelvik::gui {

class CDrawContext;
class CFrame;
class CView;

// Shows the tooltip text of the view under the mouse once the mouse has rested on it for the delay.
// The tip is drawn by the frame as an overlay; line feeds in the text start new lines.
class CTooltipSupport : public CBaseObject {
public:
    // Attaches itself to `frame`, which keeps a reference until another support replaces it.
    CTooltipSupport(CFrame* frame, uint32_t delayMs = 500);

    void hoverChanged(CView* view, const CPoint& where);
    void mouseMoved(const CPoint& where);
    void hide();
    void idle(uint64_t nowMs);
    void draw(CDrawContext& context);

    bool isShowing() const { return showing_; }
    const std::vector<std::string>& getLines() const { return lines_; }
    const CRect& getTipRect() const { return tipRect_; }

private:
    void show();

    CFrame* frame_;
    uint32_t delayMs_;
    CView* view_ = nullptr;
    CPoint mouse_;
    bool waiting_ = false;
    bool clockStarted_ = false;
    uint64_t hoverStart_ = 0;
    bool showing_ = false;
    std::vector<std::string> lines_;
    CRect tipRect_;
    CFontDesc font_{"Arial", 12};
};

} // namespace brelvik::gui
