// What the editor and the effect know of each other. The editor includes this header, never the
// effect's class: it calls the effect through CK_EditorHost and receives display values through
// CK_ValueReceiver.
#pragma once

#include <cstdint>

#include "shell/EditorMailbox.h"

// The effect as the editor sees it. Tags below kHostParameterCount are host parameters; the rest,
// up to kParameterCount, exist only between the editor and the modules.
class CK_EditorHost {
public:
    // A user edit: stores the value, posts it to the modules and, for host parameters, tells the host.
    virtual void setParameterAutomated(int32_t tag, float normalised) = 0;
    // The normalised value of a host parameter; 0 for editor-only tags (see editorValue).
    virtual float getParameter(int32_t tag) = 0;
    // A control movement in volts; the modules receive it only with send.
    virtual void setParameterFromEditor(int32_t tag, float volts, bool send) = 0;
    // Brackets a user gesture on a host parameter, so hosts record it as one automation pass.
    virtual void beginEdit(int32_t tag) = 0;
    virtual void endEdit(int32_t tag) = 0;
    // The normalised value of an editor-only tag (bypass, display switches, panels).
    virtual float editorValue(int32_t tag) const = 0;

    // MIDI learn: the controller assigned to a host parameter (-1 for none), and the last one received.
    virtual int32_t learnedController(int32_t parameter) = 0;
    virtual void setLearnedController(int32_t parameter, int32_t controller) = 0;
    virtual int32_t lastControllerNumber() const = 0;
    // Forgets the last controller received, so that the next one to arrive can be learned.
    virtual void clearLastController() = 0;

    // The value a parameter had when the current program was loaded (double-click reset).
    virtual float programSnapshot(int32_t parameter) const = 0;
    // -1 while a program change is being applied, else 0.
    virtual int32_t isProgramLoading() const = 0;
    // Raised by the editor while it pushes the initial values into its controls.
    virtual void setEditorOpening(bool opening) = 0;
    virtual bool isEditorOpening() const = 0;

    // The global value and name displays: their own tags, and the tag the value display shows
    // (-1 for none). Read from any thread.
    virtual void setGlobalDisplayTags(int32_t valueDisplayTag, int32_t nameDisplayTag) = 0;
    virtual int32_t globalValueDisplayTag() const = 0;
    virtual int32_t globalNameDisplayTag() const = 0;
    virtual void setShownTag(int32_t tag) = 0;
    virtual int32_t shownTag() const = 0;

    // Parameter values and module messages on their way to the editor.
    virtual CK_EditorMailbox& editorMailbox() = 0;
    // While an editor is attached the metering modules run and their messages are posted.
    virtual void setEditorAttached(bool attached) = 0;

protected:
    ~CK_EditorHost() = default;
};
