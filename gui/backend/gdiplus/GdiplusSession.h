#pragma once

namespace brelvik::gui {

// GDI+ started by the first holder and shut down after the last one goes, so that neither happens
// while the module loads or unloads (GDI+ may not be started or stopped inside DllMain).
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    // False when GDI+ could not be started; nothing then draws.
    bool isRunning() const { return running_; }

private:
    bool running_ = false;
};

} // namespace brelvik::gui
