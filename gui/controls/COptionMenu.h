#pragma once

#include <string>
#include <vector>

#include "gui/controls/CParamDisplay.h"

namespace brelvik::gui {

// A control whose value is the index of one entry of a list; it shows that entry's title, and a left
// click opens the list as a pop-up drawn inside the frame (see COptionMenuPopup). The pop-up is not
// modal in the call: menuChosen and menuClosed report the outcome later.
class COptionMenu : public CParamDisplay {
public:
    enum Style : int {
        kCheckStyle = 1 << 0,    // the current entry carries a check mark
        kPopupAtTop = 1 << 1,    // the list opens at the view's top edge instead of below it
        kPopupCentered = 1 << 2, // the list is centred on the view horizontally
    };

    COptionMenu(
        const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr, int style = 0);

    void addEntry(const std::string& title);
    void removeAllEntries();
    int getNbEntries() const { return static_cast<int>(entries_.size()); }
    const std::string& getEntry(int index) const { return entries_[index].title; }
    void checkEntry(int index, bool checked);
    bool isEntryChecked(int index) const;
    // The entry the value selects (-1 for none); a menu that keeps its value in another form answers
    // its own.
    virtual int getCurrentIndex() const;
    int getStyle() const { return style_; }

    // Opens the pop-up list; false when the view is not in a frame or has no entries.
    bool popup();

    void setValue(float value) override;
    std::string getDisplayText() const override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

    // The user picked `index`. By default it becomes the value and is reported to the listener.
    virtual void menuChosen(int index);
    // The pop-up closed, with or without a choice. By default it ends the edit begun by the click.
    virtual void menuClosed();

private:
    struct Entry {
        std::string title;
        bool checked = false;
    };
    std::vector<Entry> entries_;
    int style_;
};

// The open list of a COptionMenu: entries in as many columns as the frame's height requires.
// Mouse: hover highlights, a click on an entry chooses it, a click outside dismisses.
// Keys: arrows move (left and right by a column), Enter chooses, Escape dismisses.
class COptionMenuPopup : public CView {
public:
    explicit COptionMenuPopup(COptionMenu* menu);
    ~COptionMenuPopup() override;

    int getHighlighted() const { return highlighted_; }
    // The entry at `where` (frame coordinates), or -1.
    int entryAt(const CPoint& where) const;
    CRect entryRect(int index) const;

    void draw(CDrawContext& context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onKeyDown(const CKeyEvent& key) override;
    void attached(CViewContainer* parent) override;

private:
    void layout();
    void setHighlighted(int index);
    void finish(int chosen);

    COptionMenu* menu_;
    int highlighted_;
    int rows_ = 1;
    int columnWidth_ = 0;
    int rowHeight_ = 0;
    bool finished_ = false;
};

} // namespace brelvik::gui
