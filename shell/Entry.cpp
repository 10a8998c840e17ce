// The plug-in's exported entry point, under both names that hosts look up.
#include <new>

#include "shell/CK_DSP_VST.h"
#if defined(BRELVIK_WITH_EDITOR)
#include "editor/CK_GUI_Editor.h"
#endif

#if defined(_WIN32)
#define BRELVIK_EXPORT extern "C" __declspec(dllexport)
#else
#define BRELVIK_EXPORT extern "C" __attribute__((visibility("default")))
#endif

BRELVIK_EXPORT AEffect* VST_CALL VSTPluginMain(audioMasterCallback host)
{
    // A host that reports no VST version is not a VST host.
    if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    try {
        auto* effect = new CK_DSP_VST(host);
#if defined(BRELVIK_WITH_EDITOR)
        new CK_GUI_Editor(effect, *effect); // owned by the effect from here on
#endif
        return effect->getAeffect();
    } catch (...) {
        return nullptr;
    }
}

#if !defined(_WIN32)
// Older hosts look up "main"; it is the same function under a second name.
extern "C" __attribute__((visibility("default"), alias("VSTPluginMain"))) AEffect* brelvikLegacyMain(
    audioMasterCallback host) __asm__("main");
#endif
