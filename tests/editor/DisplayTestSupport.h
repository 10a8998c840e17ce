// Helpers for the display views' tests: the plug-in's own bitmaps, a parameter control that
// records the link messages it receives, and mouse drags in frame coordinates.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/CK_LinkedView.h"
#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "platform/Resources.h"

namespace brelvik::editor::test {

// A bitmap embedded in the plug-in (the generated artwork), with the caller's reference.
inline gui::CBitmap* artwork(const char* name)
{
    const void* data = nullptr;
    size_t size = 0;
    if (!ck_findResource(name, "PNG", &data, &size))
        return nullptr;
    return gui::CBitmap::fromPng(static_cast<const uint8_t*>(data), size, nullptr);
}

// Stands in for a knob linked to a display view: records every message and brackets edits
// through its listener like a parameter control.
class LinkedKnob : public gui::CControl, public CK_LinkedView {
public:
    LinkedKnob(gui::CControlListener* listener, int32_t tag) : gui::CControl(gui::CRect{}, listener, tag) { }
    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override
    {
        messages.push_back(message);
        senders.push_back(sender);
    }
    const CK_LinkMessage& last() const { return messages.back(); }
    std::vector<CK_LinkMessage> messages;
    std::vector<CK_LinkedView*> senders;
};

inline void feed(CK_LinkedView& view, int32_t id, float value, int32_t mode = 0)
{
    view.link(nullptr, CK_LinkedView::valueMessage(id, value, mode));
}

// Path of a PNG that a rendering test leaves for a person to look at.
inline std::string renderPath(const std::string& name)
{
    return ::testing::TempDir() + name + ".png";
}

} // namespace brelvik::editor::test
