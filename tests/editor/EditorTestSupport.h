// A stand-in effect and editor for driving editor views without the plug-in: records what the views
// send and answers what they ask.
#pragma once

#include <utility>
#include <vector>

#include "editor/CK_CControlListener.h"
#include "editor/CK_EditorContext.h"
#include "gui/CControl.h"
#include "gui/CView.h"
#include "gui/CViewContainer.h"
#include "shell/CK_EditorInterface.h"
#include "shell/ParameterTags.h"

namespace brelvik::editor::test {

class FakeEditorHost : public CK_EditorHost {
public:
    void setParameterAutomated(int32_t tag, float value) override
    {
        automated.emplace_back(tag, value);
        values[tag] = value;
    }
    float getParameter(int32_t tag) override { return tag < kHostParameterCount ? values[tag] : 0.0f; }
    void setParameterFromEditor(int32_t tag, float volts, bool) override { fromEditor.emplace_back(tag, volts); }
    void beginEdit(int32_t tag) override { edits.emplace_back(tag, true); }
    void endEdit(int32_t tag) override { edits.emplace_back(tag, false); }
    float editorValue(int32_t tag) const override { return values[tag]; }
    int32_t learnedController(int32_t parameter) override { return learned[parameter]; }
    void setLearnedController(int32_t parameter, int32_t controller) override { learned[parameter] = controller; }
    int32_t lastControllerNumber() const override { return lastController; }
    void clearLastController() override { lastController = -1; }
    float programSnapshot(int32_t parameter) const override { return snapshot[parameter]; }
    int32_t isProgramLoading() const override { return programLoading; }
    void setEditorOpening(bool value) override { opening = value; }
    bool isEditorOpening() const override { return opening; }
    void setGlobalDisplayTags(int32_t value, int32_t name) override
    {
        valueDisplayTag = value;
        nameDisplayTag = name;
        shown = -1;
    }
    int32_t globalValueDisplayTag() const override { return valueDisplayTag; }
    int32_t globalNameDisplayTag() const override { return nameDisplayTag; }
    void setShownTag(int32_t tag) override { shown = tag; }
    int32_t shownTag() const override { return shown; }
    CK_EditorMailbox& editorMailbox() override { return mailbox; }
    void setEditorAttached(bool attached) override { this->attached = attached; }

    float values[kParameterCount] = {};
    float snapshot[kParameterCount] = {};
    int32_t learned[kParameterCount] = {};
    std::vector<std::pair<int32_t, float>> automated;
    std::vector<std::pair<int32_t, float>> fromEditor;
    std::vector<std::pair<int32_t, bool>> edits; // (tag, true for begin)
    int32_t lastController = -1;
    int32_t programLoading = 0;
    bool opening = false;
    int32_t valueDisplayTag = -1;
    int32_t nameDisplayTag = -1;
    int32_t shown = -1;
    CK_EditorMailbox mailbox;
    bool attached = false;
};

// The editor side: forwards edits as the editor does, keeps views by tag, records MIDI-learn requests.
class FakeEditorContext : public CK_EditorContext, public CK_CControlListener {
public:
    FakeEditorContext()
    {
        for (auto& l : effect.learned)
            l = -1;
    }
    CK_EditorHost& host() override { return effect; }
    CK_CControlListener* listener() override { return this; }
    gui::CView* control(int32_t tag) override { return tag >= 0 && tag < kParameterCount ? controls[tag] : nullptr; }
    void setControl(int32_t tag, gui::CView* view) override { controls[tag] = view; }
    gui::CViewContainer* panel(int32_t tag) override { return tag >= 0 && tag <= 40 ? panels[tag] : nullptr; }
    void setPanel(int32_t tag, gui::CViewContainer* view) override { panels[tag] = view; }
    bool isOpening() const override { return effect.opening; }
    bool isApplyingProgramLoad() const override { return applyingProgramLoad; }

    void valueChanged(gui::CControl* control) override
    {
        effect.setParameterAutomated(control->getTag(), control->getValue());
    }
    void controlBeginEdit(gui::CControl* control) override { effect.beginEdit(control->getTag()); }
    void controlEndEdit(gui::CControl* control) override { effect.endEdit(control->getTag()); }
    void openMidiLearn(gui::CControl* control, const gui::CPoint& where) override
    {
        midiLearnRequests.emplace_back(control->getTag(), where);
    }

    FakeEditorHost effect;
    gui::CView* controls[kParameterCount] = {};
    gui::CViewContainer* panels[41] = {};
    bool applyingProgramLoad = false;
    std::vector<std::pair<int32_t, gui::CPoint>> midiLearnRequests;
};

} // namespace brelvik::editor::test
