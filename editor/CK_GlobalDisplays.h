// The two global displays at the top right of the window show the name and the value of the
// parameter the user points at. Parameter controls present themselves there on mouse enter, on a
// click and on an interactive change from a linked view, and keep the shown value current.
#pragma once

#include <cstdint>

class CK_EditorContext;

// The name display.
class CK_GlobalNameTarget {
public:
    virtual ~CK_GlobalNameTarget() = default;
    virtual void showName(int32_t tag) = 0;
};

// The value display; its value arrives through the control's setValue.
class CK_GlobalValueTarget {
public:
    virtual ~CK_GlobalValueTarget() = default;
    // Also records the tag on the effect as the shown one.
    virtual void showParameter(int32_t tag) = 0;
};

// Shows `tag` and its normalised `value` in both displays, unless the editor is opening.
void presentInGlobalDisplays(CK_EditorContext& context, int32_t tag, float value);
// Passes a new value of `tag` on to the value display when that display shows `tag`.
void forwardToGlobalValue(CK_EditorContext& context, int32_t tag, float value);
