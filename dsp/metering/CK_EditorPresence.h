// Tells metering modules whether an editor is open to show what they measure. An owner that
// implements it lets them compute; without it they stay idle.
#pragma once

class CK_EditorPresence {
public:
    // Called on the audio thread: must not lock or block.
    virtual bool editorOpen() const = 0;

protected:
    ~CK_EditorPresence() = default;
};
