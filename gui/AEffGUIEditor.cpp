#include "gui/AEffGUIEditor.h"

#include <chrono>

#include "gui/CFrame.h"

namespace brelvik::gui {

int32_t AEffGUIEditor::knobMode = 2;

bool AEffGUIEditor::getRect(CEditorRect** result)
{
    if (!result)
        return false;
    *result = &rect;
    return true;
}

bool AEffGUIEditor::open(void* parentWindow)
{
    systemWindow = parentWindow;
    return true;
}

void AEffGUIEditor::close()
{
    systemWindow = nullptr;
}

void AEffGUIEditor::idle()
{
    if (!frame)
        return;
    frame->pumpEvents();
    doIdleStuff();
    frame->idle(monotonicMs());
}

void AEffGUIEditor::setParameter(int32_t, float) { }

uint64_t AEffGUIEditor::monotonicMs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace brelvik::gui
