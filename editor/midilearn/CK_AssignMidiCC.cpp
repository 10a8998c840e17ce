#include "editor/midilearn/CK_AssignMidiCC.h"

#include <algorithm>
#include <string>

#include "editor/CK_EditorContext.h"
#include "editor/layout/CK_PanelContainer.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/controls/COptionMenu.h"
#include "shell/CK_EditorInterface.h"
#include "shell/ControlTable.h"
#include "shell/ParameterTags.h"

using brelvik::gui::CButtonState;
using brelvik::gui::CColor;
using brelvik::gui::CDrawContext;
using brelvik::gui::CFrame;
using brelvik::gui::CMouseEventResult;
using brelvik::gui::COptionMenu;
using brelvik::gui::COptionMenuPopup;
using brelvik::gui::CPoint;
using brelvik::gui::CRect;

namespace {

constexpr int kNoController = -1;
constexpr int kControllerCount = 128;
// Rows of 14 pixels: the 129 entries take 12 rows of 11 columns inside the 176-pixel window.
constexpr double kMenuFontSize = 9.0;
// A panel that is already up (or fading out) returns to full opacity on the next tick.
constexpr float kFadeAtOnce = 1.0f;

} // namespace

// The list of controllers, opened at the click point. It remembers the parameter it was opened for,
// so that a choice never lands on another one.
class CK_AssignMidiCC::ControllerMenu : public COptionMenu {
public:
    ControllerMenu(CK_AssignMidiCC* owner, int32_t tag, int32_t controller, const CPoint& framePoint)
        : COptionMenu(CRect::fromSize(framePoint.x, framePoint.y, 1, 1), nullptr, -1, nullptr, kCheckStyle),
          owner_(owner), tag_(tag)
    {
        setFont({"Arial", kMenuFontSize});
        addEntry("None");
        for (int cc = 0; cc < kControllerCount; ++cc)
            addEntry("CC " + std::to_string(cc));
        setValue(static_cast<float>(controller + 1));
    }
    void disown() { owner_ = nullptr; }

    void menuChosen(int index) override
    {
        if (owner_)
            owner_->controllerChosen(tag_, index);
    }
    void menuClosed() override
    {
        if (owner_)
            owner_->controllerMenuClosed();
    }

private:
    CK_AssignMidiCC* owner_;
    int32_t tag_;
};

CK_AssignMidiCC::CK_AssignMidiCC(const CRect& size, CK_EditorContext& context) : CView(size), context_(context) { }

CK_AssignMidiCC::~CK_AssignMidiCC()
{
    if (menu_)
        menu_->disown();
}

CK_PanelContainer* CK_AssignMidiCC::panel() const
{
    return dynamic_cast<CK_PanelContainer*>(getParentView());
}

void CK_AssignMidiCC::openFor(int32_t tag, int32_t controller, const CPoint& framePoint)
{
    if (tag < 0 || tag >= kHostParameterCount)
        return;
    paramTag_ = tag;
    controller_ = std::clamp(controller, kNoController, kControllerCount - 1);
    learning_ = true;
    context_.host().clearLastController();
    requestRedraw();
    CK_PanelContainer* holder = panel();
    if (!holder)
        return;
    const bool wasVisible = holder->isVisible();
    if (!holder->slides()) {
        const CRect window = getFrame() ? getFrame()->getViewSize() : holder->getViewSize();
        const int width = holder->getWidth();
        const int height = holder->getHeight();
        const int left = std::clamp(framePoint.x - width / 2, 0, std::max(0, window.width() - width));
        const int top = std::clamp(framePoint.y - height / 2, 0, std::max(0, window.height() - height));
        holder->placeAt({left, top});
    }
    holder->setVisible(true);
    if (wasVisible)
        holder->setFadeSpeed(kFadeAtOnce);
}

void CK_AssignMidiCC::onFrameTick()
{
    if (learning_ && !menuOpen_) {
        const int32_t last = context_.host().lastControllerNumber();
        if (last >= 0 && last != controller_) {
            controller_ = std::min(last, kControllerCount - 1);
            requestRedraw();
        }
    }
    CView::onFrameTick();
}

CRect CK_AssignMidiCC::area(int left, int top, int right, int bottom) const
{
    return {size_.left + left, size_.top + top, size_.left + right, size_.top + bottom};
}

CRect CK_AssignMidiCC::nameArea() const
{
    return area(11, 28, 189, 48);
}

CRect CK_AssignMidiCC::controllerArea() const
{
    return area(140, 48, 190, 67);
}

CRect CK_AssignMidiCC::confirmArea() const
{
    return area(70, 74, 130, 93);
}

void CK_AssignMidiCC::draw(CDrawContext& context)
{
    setDirty(false);
    if (paramTag_ < 0)
        return;
    // The text fades faster than the panel it sits on, so it is gone before the panel is.
    const float fade = static_cast<float>(panelOpacity(*this)) / 255.0f;
    const auto faded = [fade](CColor c) { return c.withAlpha(static_cast<uint8_t>(c.alpha * fade + 0.5f)); };
    const char* name = CK_ParameterMap::instance().record(paramTag_).name;
    context.drawText(name ? name : "", nameArea(), font_, faded(brelvik::gui::kWhiteCColor));
    const std::string number = controller_ < 0 ? "None" : std::to_string(controller_);
    context.drawText(number, controllerArea(), font_, faded(brelvik::gui::kBlackCColor));
}

CMouseEventResult CK_AssignMidiCC::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    // The panel takes every click on it, so nothing behind it reacts.
    if (!buttons.isLeftButton() || paramTag_ <= 0)
        return CMouseEventResult::kHandled;
    if (controllerArea().contains(where))
        openControllerMenu(localToFrame(where));
    else if (confirmArea().contains(where))
        confirm();
    return CMouseEventResult::kHandled;
}

void CK_AssignMidiCC::openControllerMenu(const CPoint& framePoint)
{
    CFrame* frame = getFrame();
    if (!frame)
        return;
    if (menu_)
        menu_->disown();
    menu_ = brelvik::gui::SharedPointer<ControllerMenu>::adopt(
        new ControllerMenu(this, paramTag_, controller_, framePoint));
    menuOpen_ = true;
    frame->setModalView(new COptionMenuPopup(menu_.get()));
}

void CK_AssignMidiCC::controllerChosen(int32_t tag, int entry)
{
    if (tag != paramTag_)
        return;
    controller_ = entry - 1;
    requestRedraw();
}

void CK_AssignMidiCC::controllerMenuClosed()
{
    menuOpen_ = false;
    // A controller moved while the menu was open does not overrule what the user picked.
    context_.host().clearLastController();
    requestRedraw();
}

void CK_AssignMidiCC::confirm()
{
    context_.host().setLearnedController(paramTag_, controller_);
    learning_ = false;
    if (CK_PanelContainer* holder = panel())
        holder->setVisible(false);
    if (CFrame* frame = getFrame())
        frame->invalidateAll();
}
