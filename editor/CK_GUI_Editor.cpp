#include "editor/CK_GUI_Editor.h"

#include "editor/CK_LinkedView.h"
#include "editor/layout/CK_TableWalk.h"
#include "editor/midilearn/CK_AssignMidiCC.h"
#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "gui/CTooltipSupport.h"
#include "gui/CViewContainer.h"
#include "gui/backend/PlatformWindow.h"
#include "platform/Resources.h"
#include "shell/CK_EditorInterface.h"
#include "shell/ControlTable.h"
#include "vst/AudioEffect.h"

using namespace brelvik::gui;

namespace {

constexpr uint32_t kTooltipDelayMs = 500;
constexpr int kFirstLayoutRecord = 1; // record 0 names the background

} // namespace

CK_GUI_Editor::CK_GUI_Editor(AudioEffect* effect, CK_EditorHost& host) : AEffEditor(effect), host_(host)
{
    std::string error;
    background_ = CBitmap::load(*this, kControlTable[0].bitmap, &error);
    if (background_) {
        rect.right = static_cast<int16_t>(background_->getWidth());
        rect.bottom = static_cast<int16_t>(background_->getHeight());
    } else {
        openError_ = error;
    }
    if (effect)
        effect->setEditor(this);
}

CK_GUI_Editor::~CK_GUI_Editor()
{
    close();
    if (background_)
        background_->forget();
}

bool CK_GUI_Editor::getRect(ERect** result)
{
    static_assert(sizeof(ERect) == sizeof(CEditorRect), "the host's rectangle and ours have one layout");
    CEditorRect* own = nullptr;
    if (!result || !AEffGUIEditor::getRect(&own))
        return false;
    *result = reinterpret_cast<ERect*>(own);
    return true;
}

bool CK_GUI_Editor::getRect(CEditorRect** result)
{
    return AEffGUIEditor::getRect(result);
}

bool CK_GUI_Editor::open(void* parent)
{
    if (frame)
        return true;
    if (!background_)
        return false;
    frame = new CFrame(background_->getWidth(), background_->getHeight());
    frame->setBackground(background_);
    if (parent && !frame->open(parent, &openError_)) {
        frame->forget();
        frame = nullptr;
        return false;
    }
    AEffGUIEditor::open(parent);

    clearViews();
    opening_ = true;
    host_.setEditorOpening(true);
    CK_TableWalk walk(*this, *this);
    walk.createControls(frame, kFirstLayoutRecord);
    if (walk.failed()) { // a bitmap that does not decode: no editor, the effect goes on processing
        openError_ = walk.error();
        opening_ = false;
        host_.setEditorOpening(false);
        releaseFrame();
        return false;
    }
    tooltips_ = new CTooltipSupport(frame, kTooltipDelayMs);

    // Whatever was posted before now is older than the values pushed here.
    host_.editorMailbox().discard();
    for (int32_t tag = 0; tag < kHostParameterCount; ++tag)
        setParameter(tag, host_.getParameter(tag));
    // Bypass and the EQ view's mode live only between the editor and the effect: a reopened
    // editor shows them as the effect has them, not as a fresh control would.
    for (int32_t tag : {kTagBypass, kTagEqDisplaySelect})
        setParameter(tag, host_.editorValue(tag));
    opening_ = false;
    host_.setEditorOpening(false);

    // The settings panel slides open on every open; the effect's echo reaches the button on the first tick.
    host_.setParameterFromEditor(kTagSettingsButton, toVolts(kTagSettingsButton, 1.0f), false);
    host_.setEditorAttached(true);
    ticks_ = 0;
    nextTickMs_ = 0; // ticks count from the first idle call
    if (PlatformWindow* window = frame->getPlatformWindow())
        frameTimer_.start(window->nativeHandle(), kTickMs, &CK_GUI_Editor::onFrameTimer, this);
    return true;
}

void CK_GUI_Editor::close()
{
    if (!frame)
        return;
    // No tick and no posting from the processing side once any view goes.
    frameTimer_.stop();
    host_.setEditorAttached(false);
    if (tooltips_) {
        frame->setTooltipSupport(nullptr);
        tooltips_->forget();
        tooltips_ = nullptr;
    }
    releaseFrame();
}

void CK_GUI_Editor::releaseFrame()
{
    clearViews();
    CFrame* old = frame;
    frame = nullptr;
    old->close();
    old->forget();
    AEffGUIEditor::close();
}

void CK_GUI_Editor::idle()
{
    idleAt(monotonicMs());
}

void CK_GUI_Editor::onFrameTimer(void* editor)
{
    static_cast<CK_GUI_Editor*>(editor)->idle();
}

void CK_GUI_Editor::idleAt(uint64_t nowMs)
{
    if (!frame || idling_)
        return;
    idling_ = true;
    runDueTicks(nowMs);
    idling_ = false;
}

void CK_GUI_Editor::runDueTicks(uint64_t nowMs)
{
    frame->pumpEvents();
    if (getSystemWindow() && !frame->isWindowOpen()) {
        close(); // the host destroyed its window under ours
        return;
    }
    if (nextTickMs_ == 0)
        nextTickMs_ = nowMs;
    if (nowMs >= nextTickMs_ + kMaxTicksPerIdle * kTickMs)
        nextTickMs_ = nowMs - (kMaxTicksPerIdle - 1) * kTickMs; // after a stall: catch up by the cap only
    while (frame && nextTickMs_ <= nowMs) {
        tick();
        nextTickMs_ += kTickMs;
    }
    if (frame)
        frame->idle(nowMs);
}

void CK_GUI_Editor::tick()
{
    if (!frame)
        return;
    ++ticks_;
    takeMailbox();
    doIdleStuff();
    walkPanels(*frame);
}

void CK_GUI_Editor::takeMailbox()
{
    CK_EditorMailbox& mailbox = host_.editorMailbox();
    mailbox.takeValues([this](int32_t tag, float value, bool duringProgramLoad) {
        applyingProgramLoad_ = duringProgramLoad;
        setParameter(tag, value);
        applyingProgramLoad_ = false;
    });
    mailbox.takeMessages([this](int32_t tag, const CK_LinkMessage& message) {
        if (auto* view = dynamic_cast<CK_LinkedView*>(controls_[tag]))
            view->link(nullptr, message);
    });
}

void CK_GUI_Editor::setParameter(int32_t index, float value)
{
    if (!frame || index < 0 || index >= kParameterCount)
        return;
    if (auto* control = dynamic_cast<CControl*>(controls_[index]))
        control->setValue(value);
}

void CK_GUI_Editor::doIdleStuff()
{
    for (CView* view : controls_)
        if (view)
            view->onFrameTick();
}

// Panels move and fade on their own tick; a container marked dirty as a whole repaints whole,
// otherwise only its dirty children do.
void CK_GUI_Editor::walkPanels(CViewContainer& container)
{
    container.onFrameTick();
    if (!container.isVisible())
        return;
    if (container.isDirty()) {
        container.setDirty(false);
        container.invalid();
        return;
    }
    for (int i = 0; i < container.getNbViews(); ++i) {
        CView* child = container.getView(i);
        if (child->isContainer()) {
            walkPanels(static_cast<CViewContainer&>(*child));
        } else if (child->isDirty() && child->isVisible()) {
            child->setDirty(false);
            child->invalid();
        }
    }
}

void CK_GUI_Editor::valueChanged(CControl* control)
{
    host_.setParameterAutomated(control->getTag(), control->getValue());
}

void CK_GUI_Editor::controlBeginEdit(CControl* control)
{
    host_.beginEdit(control->getTag());
}

void CK_GUI_Editor::controlEndEdit(CControl* control)
{
    host_.endEdit(control->getTag());
}

void CK_GUI_Editor::openMidiLearn(CControl* control, const CPoint& where)
{
    const int32_t tag = control->getTag();
    if (!frame || tag < 0 || tag >= kHostParameterCount)
        return;
    if (auto* learn = dynamic_cast<CK_AssignMidiCC*>(controls_[kTagMidiLearn]))
        learn->openFor(tag, host_.learnedController(tag), control->localToFrame(where));
}

CView* CK_GUI_Editor::control(int32_t tag)
{
    return tag >= 0 && tag < kParameterCount ? controls_[tag] : nullptr;
}

void CK_GUI_Editor::setControl(int32_t tag, CView* view)
{
    if (tag >= 0 && tag < kParameterCount)
        controls_[tag] = view;
}

CViewContainer* CK_GUI_Editor::panel(int32_t tag)
{
    return tag >= 0 && tag < kPanelCount ? panels_[tag] : nullptr;
}

void CK_GUI_Editor::setPanel(int32_t tag, CViewContainer* container)
{
    if (tag >= 0 && tag < kPanelCount)
        panels_[tag] = container;
}

bool CK_GUI_Editor::findPng(const std::string& name, std::vector<uint8_t>& bytes)
{
    const void* data = nullptr;
    size_t size = 0;
    if (!ck_findResource(name.c_str(), "PNG", &data, &size))
        return false;
    const auto* first = static_cast<const uint8_t*>(data);
    bytes.assign(first, first + size);
    return true;
}

void CK_GUI_Editor::clearViews()
{
    for (CView*& view : controls_)
        view = nullptr;
    for (CViewContainer*& container : panels_)
        container = nullptr;
}
