// One parameter's plain value with a fixed number of decimals, typed or read only (the peak
// read-out is one). Linked views and the processing side send it values.
#pragma once

#include "editor/CK_LinkedView.h"
#include "gui/controls/CTextEdit.h"

class CK_EditorContext;

class CK_CNumberEntry : public brelvik::gui::CTextEdit, public CK_LinkedView {
public:
    CK_CNumberEntry(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag, int decimals,
        bool readOnly, brelvik::gui::CBitmap* background = nullptr);

    // The tag whose control record gives the range (its own by default).
    void setRangeTag(int32_t tag) { rangeTag_ = tag; }
    bool isReadOnly() const { return readOnly_; }

    void setValue(float value) override;
    // Registers linked views; a value from the processing side or a linked view becomes the value.
    // Only an editable entry passes a linked view's value on to the effect; a read-only one is a
    // display and never sends anything back.
    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override;

    void onFrameTick() override;
    void draw(brelvik::gui::CDrawContext& context) override;

    brelvik::gui::CMouseEventResult onMouseEntered(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;

protected:
    void editCommitted(const std::string& text) override;

private:
    double plain() const;
    // The text, without its decimals when it does not fit the field with a pixel to spare each
    // side (a silent read-out's "-180.0" shows as "-180").
    std::string fittingText(brelvik::gui::CDrawContext& context) const;
    void present();

    CK_EditorContext& context_;
    int32_t rangeTag_;
    int decimals_;
    bool readOnly_;
    float lastShownValue_;
    CK_LinkList<8> links_;
};
