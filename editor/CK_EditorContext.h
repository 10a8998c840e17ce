// What an editor view may ask of the editor that created it: the effect (through the editor
// interface), the listener for user edits, the other views by tag, and the editor's state flags.
// Lives as long as the editor; views use it on the window thread only.
#pragma once

#include <cstdint>

class CK_CControlListener;
class CK_EditorHost;

namespace brelvik::gui {
class CView;
class CViewContainer;
} // namespace brelvik::gui

class CK_EditorContext {
public:
    virtual ~CK_EditorContext() = default;
    virtual CK_EditorHost& host() = 0;
    virtual CK_CControlListener* listener() = 0;
    // The view created for a tag (0..110), or null.
    virtual brelvik::gui::CView* control(int32_t tag) = 0;
    virtual void setControl(int32_t tag, brelvik::gui::CView* view) = 0;
    // The panel container created for a panel tag (0..40), or null.
    virtual brelvik::gui::CViewContainer* panel(int32_t tag) = 0;
    virtual void setPanel(int32_t tag, brelvik::gui::CViewContainer* panel) = 0;
    // True while the editor pushes the effect's values into freshly built controls.
    virtual bool isOpening() const = 0;
    // True while the editor applies values that changed during a program load.
    virtual bool isApplyingProgramLoad() const = 0;
};
