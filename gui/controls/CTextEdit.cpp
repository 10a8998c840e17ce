#include "gui/controls/CTextEdit.h"

#include "gui/CFrame.h"

namespace brelvik::gui {

namespace {
constexpr CColor kEditBack{255, 255, 255, 255};
constexpr CColor kEditText{0, 0, 0, 255};
constexpr int kEditInset = 3;

void appendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
} // namespace

CTextEdit::CTextEdit(
    const CRect& size, CControlListener* listener, int32_t tag, const std::string& text, CBitmap* background)
    : CParamDisplay(size, background), text_(text)
{
    setListener(listener);
    setTag(tag);
}

void CTextEdit::setText(const std::string& text)
{
    text_ = text;
    invalid();
}

void CTextEdit::beginTextEditing()
{
    if (CFrame* frame = getFrame())
        frame->setFocusView(this);
}

void CTextEdit::takeFocus()
{
    editing_ = true;
    cancelling_ = false;
    edited_ = text_;
    caret_ = edited_.size();
    invalid();
}

void CTextEdit::looseFocus()
{
    if (editing_)
        finishEditing(!cancelling_);
}

void CTextEdit::finishEditing(bool commit)
{
    editing_ = false;
    invalid();
    if (commit)
        editCommitted(edited_);
    else
        editCancelled();
}

void CTextEdit::editCommitted(const std::string& text)
{
    if (text == text_)
        return;
    setText(text);
    reportValueChanged();
}

CMouseEventResult CTextEdit::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return CMouseEventResult::kNotHandled;
    if (!editing_ && (!doubleClickStyle_ || buttons.isDoubleClick()))
        beginTextEditing();
    return CMouseEventResult::kHandled;
}

bool CTextEdit::onKeyDown(const CKeyEvent& key)
{
    if (!editing_)
        return false;
    switch (key.virt) {
    case CVirtualKey::kEnter:
    case CVirtualKey::kEscape: {
        cancelling_ = key.virt == CVirtualKey::kEscape;
        if (CFrame* frame = getFrame(); frame && frame->getFocusView() == this)
            frame->setFocusView(nullptr);
        else
            finishEditing(!cancelling_);
        return true;
    }
    case CVirtualKey::kBackspace:
        while (caret_ > 0) {
            const char removed = edited_[--caret_];
            edited_.erase(caret_, 1);
            if (!isContinuation(removed))
                break;
        }
        break;
    case CVirtualKey::kDelete:
        if (caret_ < edited_.size()) {
            size_t end = caret_ + 1;
            while (end < edited_.size() && isContinuation(edited_[end]))
                ++end;
            edited_.erase(caret_, end - caret_);
        }
        break;
    case CVirtualKey::kLeft:
        while (caret_ > 0 && isContinuation(edited_[--caret_])) { }
        break;
    case CVirtualKey::kRight:
        if (caret_ < edited_.size()) {
            ++caret_;
            while (caret_ < edited_.size() && isContinuation(edited_[caret_]))
                ++caret_;
        }
        break;
    case CVirtualKey::kHome: caret_ = 0; break;
    case CVirtualKey::kEnd: caret_ = edited_.size(); break;
    default:
        if (key.character < 0x20 || key.character == 0x7F)
            return false;
        {
            std::string typed;
            appendUtf8(typed, key.character);
            edited_.insert(caret_, typed);
            caret_ += typed.size();
        }
    }
    invalid();
    return true;
}

void CTextEdit::draw(CDrawContext& context)
{
    if (!editing_) {
        CParamDisplay::draw(context);
        return;
    }
    context.fillRect(size_, kEditBack);
    context.strokeRect(size_, getFontColor());
    const CRect textArea{size_.left + kEditInset, size_.top, size_.right - kEditInset, size_.bottom};
    context.drawText(edited_, textArea, getFont(), kEditText, CHoriTxtAlign::kLeft);
    const int caretX = textArea.left + static_cast<int>(context.textWidth(edited_.substr(0, caret_), getFont()));
    context.drawLine({caretX, size_.top + 3}, {caretX, size_.bottom - 4}, kEditText);
    setDirty(false);
}

} // namespace brelvik::gui
