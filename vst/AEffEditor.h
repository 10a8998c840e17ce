// The editor side of a plug-in as the host sees it: the effect forwards the editor opcodes here.
#pragma once

#include "vst/VstInterface.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect_(effect) {}
    virtual ~AEffEditor() = default;

    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    // Writes a pointer to the editor's own persistent rectangle; answers true when it did.
    virtual bool getRect(ERect** rect) = 0;
    // parent: the host's window (an X11 window id on Linux, an HWND on Windows).
    virtual bool open(void* parent) = 0;
    virtual void close() = 0;
    virtual void idle() {}
    virtual bool onKeyDown(VstInt32 /*character*/, VstInt32 /*virtualKey*/, VstInt32 /*modifiers*/) { return false; }
    virtual bool onKeyUp(VstInt32 /*character*/, VstInt32 /*virtualKey*/, VstInt32 /*modifiers*/) { return false; }
    virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }
    virtual bool isOpen() const = 0;

    AudioEffect* effect() const { return effect_; }

private:
    AudioEffect* effect_;
};
