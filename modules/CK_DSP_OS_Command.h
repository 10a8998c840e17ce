// The module behind the editor's web-link button: when the button's parameter goes from zero to
// non-zero it asks a launcher to open the product's web page in the default browser. It computes
// no signal, has no outputs and rests permanently; events wake it only for their handling.
//
// Starting a process is a system call the audio thread must not make, so the module only hands the
// request to a CK_UrlLauncher (lock-free); without a launcher presses are ignored.
#pragma once

#include <cstdint>

#include "modules/CK_ModuleBase.h"

class CK_UrlLauncher;

class CK_DSP_OS_Command : public CK_ModuleStd {
public:
    enum Pin : int { kInWebLink = 0 };

    // Web addresses by input pin.
    static constexpr const char* kAddresses[] = {"https://brelvik-audio.example/suite"};
    static constexpr int kPins = sizeof(kAddresses) / sizeof(kAddresses[0]);

    explicit CK_DSP_OS_Command(CK_ModuleOwner* owner);

    void setLauncher(CK_UrlLauncher* launcher) { launcher_ = launcher; }

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;

private:
    CK_UrlLauncher* launcher_ = nullptr;
    bool pressed_[kPins] = {};
};
