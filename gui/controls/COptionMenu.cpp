#include "gui/controls/COptionMenu.h"

#include <algorithm>
#include <cmath>

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

namespace brelvik::gui {

namespace {
constexpr int kRowPadding = 4;
constexpr int kCheckColumn = 18; // room for the check mark left of the titles
constexpr int kRightPadding = 10;
constexpr CColor kMenuBack{240, 240, 240, 255};
constexpr CColor kMenuBorder{120, 120, 120, 255};
constexpr CColor kMenuText{0, 0, 0, 255};
constexpr CColor kHighlightBack{51, 102, 204, 255};
constexpr CColor kHighlightText{255, 255, 255, 255};
} // namespace

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background, int style)
    : CParamDisplay(size, background), style_(style)
{
    setListener(listener);
    setTag(tag);
    setMax(0);
}

void COptionMenu::addEntry(const std::string& title)
{
    entries_.push_back({title, false});
    setMax(static_cast<float>(entries_.size() - 1));
}

void COptionMenu::removeAllEntries()
{
    entries_.clear();
    setMax(0);
    value_ = 0;
}

void COptionMenu::checkEntry(int index, bool checked)
{
    if (index >= 0 && index < getNbEntries())
        entries_[index].checked = checked;
}

bool COptionMenu::isEntryChecked(int index) const
{
    if (index < 0 || index >= getNbEntries())
        return false;
    return entries_[index].checked || ((style_ & kCheckStyle) && index == getCurrentIndex());
}

int COptionMenu::getCurrentIndex() const
{
    if (entries_.empty())
        return -1;
    return std::clamp(static_cast<int>(std::lround(value_)), 0, getNbEntries() - 1);
}

void COptionMenu::setValue(float value)
{
    value_ = value;
    invalid();
}

std::string COptionMenu::getDisplayText() const
{
    const int index = getCurrentIndex();
    return index < 0 ? std::string() : entries_[index].title;
}

bool COptionMenu::popup()
{
    CFrame* frame = getFrame();
    if (!frame || entries_.empty())
        return false;
    frame->setModalView(new COptionMenuPopup(this));
    return true;
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return CMouseEventResult::kNotHandled;
    beginEdit();
    if (!popup())
        endEdit();
    return CMouseEventResult::kHandled;
}

void COptionMenu::menuChosen(int index)
{
    setValue(static_cast<float>(index));
    reportValueChanged();
}

void COptionMenu::menuClosed()
{
    endEdit();
}

COptionMenuPopup::COptionMenuPopup(COptionMenu* menu)
    : CView(CRect{}), menu_(menu), highlighted_(menu->getCurrentIndex())
{
    menu_->remember();
}

COptionMenuPopup::~COptionMenuPopup()
{
    if (!finished_)
        menu_->menuClosed();
    menu_->forget();
}

void COptionMenuPopup::attached(CViewContainer* parent)
{
    CView::attached(parent);
    layout();
}

void COptionMenuPopup::layout()
{
    CFrame* frame = getFrame();
    if (!frame)
        return;
    CDrawContext& context = frame->getDrawContext();
    const CFontDesc& font = menu_->getFont();
    double widest = 0;
    for (int i = 0; i < menu_->getNbEntries(); ++i)
        widest = std::max(widest, context.textWidth(menu_->getEntry(i), font));
    rowHeight_ = static_cast<int>(std::ceil(context.lineHeight(font))) + kRowPadding;
    columnWidth_ = kCheckColumn + static_cast<int>(std::ceil(widest)) + kRightPadding;
    const CRect bounds = frame->getViewSize();
    const int n = menu_->getNbEntries();
    rows_ = std::clamp((bounds.height() - 2) / rowHeight_, 1, n);
    const int columns = (n + rows_ - 1) / rows_;
    const int width = columns * columnWidth_ + 2;
    const int height = rows_ * rowHeight_ + 2;

    const CRect owner = menu_->getFrameRect();
    int left = owner.left;
    if (menu_->getStyle() & COptionMenu::kPopupCentered)
        left = owner.left + (owner.width() - width) / 2;
    int top = (menu_->getStyle() & COptionMenu::kPopupAtTop) ? owner.top : owner.bottom;
    if (top + height > bounds.bottom)
        top = owner.top - height;
    left = std::clamp(left, 0, std::max(0, bounds.width() - width));
    top = std::clamp(top, 0, std::max(0, bounds.height() - height));
    size_ = CRect::fromSize(left, top, width, height);
}

CRect COptionMenuPopup::entryRect(int index) const
{
    const int column = index / rows_;
    const int row = index % rows_;
    return CRect::fromSize(
        size_.left + 1 + column * columnWidth_, size_.top + 1 + row * rowHeight_, columnWidth_, rowHeight_);
}

int COptionMenuPopup::entryAt(const CPoint& where) const
{
    for (int i = 0; i < menu_->getNbEntries(); ++i)
        if (entryRect(i).contains(where))
            return i;
    return -1;
}

void COptionMenuPopup::setHighlighted(int index)
{
    if (index == highlighted_)
        return;
    highlighted_ = index;
    invalid();
}

void COptionMenuPopup::finish(int chosen)
{
    if (finished_)
        return;
    finished_ = true;
    if (chosen >= 0)
        menu_->menuChosen(chosen);
    menu_->menuClosed();
    if (CFrame* frame = getFrame())
        frame->closeModalView();
}

void COptionMenuPopup::draw(CDrawContext& context)
{
    context.fillRect(size_, kMenuBack);
    context.strokeRect(size_, kMenuBorder);
    const CFontDesc& font = menu_->getFont();
    for (int i = 0; i < menu_->getNbEntries(); ++i) {
        const CRect row = entryRect(i);
        const bool lit = i == highlighted_;
        if (lit)
            context.fillRect(row, kHighlightBack);
        const CColor& ink = lit ? kHighlightText : kMenuText;
        if (menu_->isEntryChecked(i)) {
            const int cx = row.left + 5;
            const int cy = row.top + row.height() / 2;
            context.drawLine({cx, cy}, {cx + 3, cy + 3}, ink, 1.5);
            context.drawLine({cx + 3, cy + 3}, {cx + 9, cy - 4}, ink, 1.5);
        }
        const CRect title{row.left + kCheckColumn, row.top, row.right, row.bottom};
        context.drawText(menu_->getEntry(i), title, font, ink, CHoriTxtAlign::kLeft);
    }
    setDirty(false);
}

CMouseEventResult COptionMenuPopup::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!size_.contains(where)) {
        finish(-1);
        return CMouseEventResult::kHandled;
    }
    const int index = entryAt(where);
    if (buttons.isLeftButton() && index >= 0)
        finish(index);
    return CMouseEventResult::kHandled;
}

CMouseEventResult COptionMenuPopup::onMouseMoved(CPoint& where, const CButtonState&)
{
    const int index = entryAt(where);
    if (index >= 0)
        setHighlighted(index);
    return CMouseEventResult::kHandled;
}

bool COptionMenuPopup::onKeyDown(const CKeyEvent& key)
{
    const int n = menu_->getNbEntries();
    const int current = std::max(highlighted_, 0);
    switch (key.virt) {
    case CVirtualKey::kUp: setHighlighted((current + n - 1) % n); return true;
    case CVirtualKey::kDown: setHighlighted((current + 1) % n); return true;
    case CVirtualKey::kLeft: setHighlighted(std::max(current - rows_, 0)); return true;
    case CVirtualKey::kRight: setHighlighted(std::min(current + rows_, n - 1)); return true;
    case CVirtualKey::kEnter: finish(highlighted_); return true;
    case CVirtualKey::kEscape: finish(-1); return true;
    default: return false;
    }
}

} // namespace brelvik::gui
