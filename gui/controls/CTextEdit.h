#pragma once

#include <string>

#include "gui/controls/CParamDisplay.h"

namespace brelvik::gui {

// A text field edited inside the frame: a click (or a double click with the double-click style)
// starts editing with a caret; typing edits, Enter commits, Escape cancels, and losing the focus
// (a click elsewhere) commits.
class CTextEdit : public CParamDisplay {
public:
    CTextEdit(const CRect& size, CControlListener* listener, int32_t tag, const std::string& text = {},
        CBitmap* background = nullptr);

    virtual void setText(const std::string& text);
    const std::string& getText() const { return text_; }
    void setDoubleClickStyle(bool on) { doubleClickStyle_ = on; }

    bool isEditingText() const { return editing_; }
    const std::string& getEditedText() const { return edited_; }
    size_t getCaret() const { return caret_; }
    // Starts editing (takes the frame's keyboard focus).
    void beginTextEditing();

    std::string getDisplayText() const override { return text_; }
    void draw(CDrawContext& context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    bool onKeyDown(const CKeyEvent& key) override;
    void takeFocus() override;
    void looseFocus() override;

protected:
    // The end of an edit. By default a commit takes the text and reports the change to the listener.
    virtual void editCommitted(const std::string& text);
    virtual void editCancelled() { }

private:
    void finishEditing(bool commit);

    std::string text_;
    std::string edited_;
    size_t caret_ = 0;
    bool editing_ = false;
    bool cancelling_ = false;
    bool doubleClickStyle_ = false;
};

} // namespace brelvik::gui
