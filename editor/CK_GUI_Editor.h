// The plug-in's window. Created with the effect; the host opens and closes it through the editor
// opcodes. Opening builds every view from the control table; values reach the views through the
// effect's mailbox, which the frame tick empties on the window thread, so nothing but that thread
// ever touches a view.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/CK_CControlListener.h"
#include "editor/CK_EditorContext.h"
#include "editor/platform/CK_FrameTimer.h"
#include "gui/AEffGUIEditor.h"
#include "gui/CBitmap.h"
#include "shell/ParameterTags.h"
#include "vst/AEffEditor.h"

class CK_EditorHost;

namespace brelvik::gui {
class CTooltipSupport;
}

class CK_GUI_Editor : public AEffEditor,
                      public brelvik::gui::AEffGUIEditor,
                      public CK_CControlListener,
                      public CK_EditorContext,
                      public brelvik::gui::CBitmapResolver {
public:
    static constexpr int kTickMs = 14;
    // Ticks run at most this many at once after a stall, so the window catches up without a burst.
    static constexpr int kMaxTicksPerIdle = 8;
    static constexpr int kPanelCount = 41;

    // Installs itself as the effect's editor (which tells the host that the plug-in has one).
    CK_GUI_Editor(AudioEffect* effect, CK_EditorHost& host);
    ~CK_GUI_Editor() override;

    // The host's side.
    bool getRect(ERect** rect) override;
    bool getRect(brelvik::gui::CEditorRect** rect) override;
    // `parent` is the host's window; null opens the editor offscreen (snapshots, tests). False when
    // a bitmap cannot be decoded or the window cannot be made; the effect keeps processing.
    bool open(void* parent) override;
    void close() override;
    void idle() override;
    bool isOpen() const override { return frame != nullptr; }

    // Runs the ticks that are due at `nowMs` (a monotonic clock), then tooltips and painting. The
    // host's idle calls and the platform's frame timer both come here; a call made while one runs
    // (the window's messages being pumped) returns at once.
    void idleAt(uint64_t nowMs);
    // One frame tick: the mailbox, every control's tick, then panel motion and deferred redraws.
    void tick();
    uint64_t tickCount() const { return ticks_; }
    // Why the last open failed, if it did.
    const std::string& openError() const { return openError_; }

    // A parameter value for the control of `index` (window thread).
    void setParameter(int32_t index, float value) override;
    void doIdleStuff() override;

    // CK_CControlListener
    void valueChanged(brelvik::gui::CControl* control) override;
    void controlBeginEdit(brelvik::gui::CControl* control) override;
    void controlEndEdit(brelvik::gui::CControl* control) override;
    void openMidiLearn(brelvik::gui::CControl* control, const brelvik::gui::CPoint& where) override;

    // CK_EditorContext
    CK_EditorHost& host() override { return host_; }
    CK_CControlListener* listener() override { return this; }
    brelvik::gui::CView* control(int32_t tag) override;
    void setControl(int32_t tag, brelvik::gui::CView* view) override;
    brelvik::gui::CViewContainer* panel(int32_t tag) override;
    void setPanel(int32_t tag, brelvik::gui::CViewContainer* panel) override;
    bool isOpening() const override { return opening_; }
    bool isApplyingProgramLoad() const override { return applyingProgramLoad_; }

    // CBitmapResolver: the plug-in's own PNG resources.
    bool findPng(const std::string& name, std::vector<uint8_t>& bytes) override;

private:
    void takeMailbox();
    void walkPanels(brelvik::gui::CViewContainer& container);
    void clearViews();
    // Destroys the window and every view.
    void releaseFrame();
    static void onFrameTimer(void* editor);
    void runDueTicks(uint64_t nowMs);

    CK_EditorHost& host_;
    brelvik::gui::CBitmap* background_ = nullptr;
    brelvik::gui::CTooltipSupport* tooltips_ = nullptr;
    brelvik::gui::CView* controls_[kParameterCount] = {};
    brelvik::gui::CViewContainer* panels_[kPanelCount] = {};
    bool opening_ = false;
    bool applyingProgramLoad_ = false;
    uint64_t ticks_ = 0;
    uint64_t nextTickMs_ = 0;
    std::string openError_;
    CK_FrameTimer frameTimer_;
    bool idling_ = false;
};
