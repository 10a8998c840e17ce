// The product's window built by the table walk offscreen, with the bitmaps built into the plug-in,
// and ticked as the editor ticks it: controls first, then every container.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "editor/layout/CK_PanelContainer.h"
#include "editor/layout/CK_TableWalk.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "platform/Resources.h"

namespace brelvik::editor::test {

class EmbeddedBitmaps : public gui::CBitmapResolver {
public:
    bool findPng(const std::string& name, std::vector<uint8_t>& bytes) override
    {
        const void* data = nullptr;
        size_t size = 0;
        if (!ck_findResource(name.c_str(), "PNG", &data, &size))
            return false;
        const auto* begin = static_cast<const uint8_t*>(data);
        bytes.assign(begin, begin + size);
        return true;
    }
};

struct WalkedWindow {
    WalkedWindow()
    {
        gui::CBitmap* background = gui::CBitmap::load(bitmaps, "BGD.png", nullptr);
        frame->setBackground(background);
        background->forget();
        stop = walk.createControls(frame, 1);
    }
    ~WalkedWindow() { frame->forget(); }

    void tick(int ticks = 1)
    {
        for (int t = 0; t < ticks; ++t) {
            for (gui::CView* view : context.controls)
                if (view)
                    view->onFrameTick();
            tickContainers(*frame);
        }
    }
    CK_PanelContainer& panel(int number) { return *static_cast<CK_PanelContainer*>(context.panels[number]); }

    FakeEditorContext context;
    EmbeddedBitmaps bitmaps;
    gui::CFrame* frame = new gui::CFrame(1100, 176);
    CK_TableWalk walk{context, bitmaps};
    int stop = 0;

private:
    static void tickContainers(gui::CViewContainer& container)
    {
        container.onFrameTick();
        container.forEachChild([](gui::CView& child) {
            if (child.isContainer())
                tickContainers(static_cast<gui::CViewContainer&>(child));
        });
    }
};

} // namespace brelvik::editor::test
