#pragma once

#include <cstdint>

namespace brelvik::gui {

// Mouse buttons and modifier keys held during an event.
enum CButton : uint32_t {
    kLButton = 1u << 0,
    kMButton = 1u << 1,
    kRButton = 1u << 2,
    kShift = 1u << 3,
    kControl = 1u << 4,
    kAlt = 1u << 5,
    kDoubleClick = 1u << 6,
};

class CButtonState {
public:
    CButtonState(uint32_t state = 0) : state_(state) { }
    uint32_t get() const { return state_; }
    bool has(uint32_t bits) const { return (state_ & bits) != 0; }
    bool isLeftButton() const { return has(kLButton); }
    bool isRightButton() const { return has(kRButton); }
    bool isDoubleClick() const { return has(kDoubleClick); }
    // The buttons alone, without modifiers and the double-click mark.
    uint32_t buttons() const { return state_ & (kLButton | kMButton | kRButton); }
    bool operator==(const CButtonState& o) const { return state_ == o.state_; }
    bool operator!=(const CButtonState& o) const { return state_ != o.state_; }

private:
    uint32_t state_;
};

enum class CMouseEventResult { kNotHandled, kHandled };

enum class CVirtualKey {
    kNone,
    kBackspace,
    kTab,
    kEnter,
    kEscape,
    kLeft,
    kRight,
    kUp,
    kDown,
    kHome,
    kEnd,
    kDelete,
};

// A key press: a character (Unicode code point, 0 for none) or a virtual key, with the modifiers.
struct CKeyEvent {
    uint32_t character = 0;
    CVirtualKey virt = CVirtualKey::kNone;
    uint32_t modifiers = 0;
};

} // namespace brelvik::gui
