#include "modules/CK_DSP_OS_Command.h"

#include "platform/UrlLauncher.h"

CK_DSP_OS_Command::CK_DSP_OS_Command(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner) {}

void CK_DSP_OS_Command::prepare()
{
    rest();
    for (bool& p : pressed_)
        p = false;
}

void CK_DSP_OS_Command::handleEvent(const CK_Event& e, int32_t)
{
    rest();
    if (e.pin >= kPins)
        return;
    const bool down = e.intValue != 0;
    const bool wasDown = pressed_[e.pin];
    pressed_[e.pin] = down;
    // Only a press opens the page: not a release, not a repeated value, and not the value that
    // every parameter announces after the graph is built.
    if (!down || wasDown || owner->graphRebuilt)
        return;
    if (launcher_)
        launcher_->requestOpen(kAddresses[e.pin]);
}
