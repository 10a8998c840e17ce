// brelvik-gui-check: the view toolkit's Windows backends against its Linux ones. Built for Linux,
// --make-reference DIR draws a small scene that uses every drawing call with cairo and writes it to
// DIR/toolkit-scene.png. Built for Windows and run under wine, --reference DIR decodes that PNG, draws
// the same scene with GDI+ and compares the pixels, then opens the scene in a child window of a
// top-level window and reads the window back, sends it mouse and key messages, hangs a timer on
// it, and opens and closes it many times. The last line reads "ALL CHECKS PASSED" on success.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/backend/DrawBackend.h"
#include "tests/windows/CheckReport.h"
#include "tests/windows/PixelCompare.h"
#include "tests/windows/ToolkitScene.h"

#ifdef _WIN32
#include <windows.h>

#include "gui/backend/PlatformWindow.h"
#include "tests/windows/TestWindow.h"
#endif

namespace {

using namespace brelvik;
using namespace brelvik::check;
using namespace brelvik::gui;

constexpr const char* kUsage = "Usage: brelvik-gui-check --make-reference DIR\n"
                               "       brelvik-gui-check --reference DIR [--write PNG]\n";
constexpr const char* kSceneFile = "/toolkit-scene.png";

// Backends may round colours and antialias edges differently, and fonts differ slightly between
// systems: at least this share of pixels must lie within kLevels per channel of the Linux render.
// Where the Linux render has an edge (its 3 x 3 neighbourhood spans more than kLevels), a pixel also
// matches when it is within kLevels of one of those neighbours: wine's GDI+ draws shapes without
// antialiasing, so an edge pixel takes the colour of one side instead of a blend of both.
constexpr double kMinShareWithin = 0.98;
constexpr int kLevels = 8;

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Pixels of light text on the dark background.
int inkIn(const uint32_t* pixels, int width, const CRect& area)
{
    int ink = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            ink += ((pixels[y * width + x] >> 16) & 0xFF) > 128;
    return ink;
}

// Pixel (x, y) of a packed image, with coordinates clamped to its edges.
uint32_t pixelAt(const uint32_t* pixels, int x, int y)
{
    x = x < 0 ? 0 : (x >= kSceneWidth ? kSceneWidth - 1 : x);
    y = y < 0 ? 0 : (y >= kSceneHeight ? kSceneHeight - 1 : y);
    return pixels[y * kSceneWidth + x];
}

bool matchesAtEdge(uint32_t ours, const uint32_t* reference, int x, int y)
{
    const uint32_t centre = pixelAt(reference, x, y);
    bool edge = false;
    bool nearOne = false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const uint32_t neighbour = pixelAt(reference, x + dx, y + dy);
            edge = edge || channelDifference(neighbour, centre) > kLevels;
            nearOne = nearOne || channelDifference(neighbour, ours) <= kLevels;
        }
    return edge && nearOne;
}

void compareWithReference(CheckReport& report, const PixelBuffer& ours, const CBitmap& reference)
{
    if (!report.expect(reference.getWidth() == ours.width && reference.getHeight() == ours.height,
            "reference scene size", std::to_string(reference.getWidth()) + " x " + std::to_string(reference.getHeight())))
        return;
    size_t exact = 0;
    size_t within = 0;
    int largest = 0;
    size_t bitmapsOff = 0;
    for (int y = 0; y < ours.height; ++y)
        for (int x = 0; x < ours.width; ++x) {
            const uint32_t pixel = ours.at(x, y);
            const int d = channelDifference(pixel, pixelAt(reference.pixels(), x, y));
            exact += d <= kLevels;
            within += d <= kLevels || matchesAtEdge(pixel, reference.pixels(), x, y);
            largest = d > largest ? d : largest;
            bitmapsOff += kSceneBitmapArea.contains({x, y}) && d > kLevels;
        }
    const size_t count = ours.pixels.size();
    char detail[240];
    std::snprintf(detail, sizeof detail,
        "%.2f %% of %zu pixels within %d levels per channel, edges allowing a neighbour (at least %.0f %%); "
        "%.2f %% without that allowance, largest difference %d",
        100.0 * within / count, count, kLevels, kMinShareWithin * 100.0, 100.0 * exact / count, largest);
    report.expect(static_cast<double>(within) / count >= kMinShareWithin, "scene matches the Linux render", detail);
    report.expect(bitmapsOff == 0, "bitmaps (plain, faded, strip frame, rotated) match the Linux render",
        std::to_string(bitmapsOff) + " pixels more than " + std::to_string(kLevels) + " levels off");

    const int inkOurs = inkIn(ours.pixels.data(), ours.width, kSceneTextArea);
    const int inkReference = inkIn(reference.pixels(), ours.width, kSceneTextArea);
    report.expect(inkReference > 0 && inkOurs > inkReference * 7 / 10 && inkOurs < inkReference * 13 / 10,
        "text has the Linux render's weight",
        std::to_string(inkOurs) + " light pixels, Linux " + std::to_string(inkReference) + " (within 30 %)");
}

#ifdef _WIN32

void compareWindow(CheckReport& report, const char* name, const std::vector<uint32_t>& shown, const PixelBuffer& buffer)
{
    size_t same = 0;
    for (size_t i = 0; i < shown.size(); ++i)
        same += (shown[i] & 0xFFFFFF) == (buffer.pixels[i] & 0xFFFFFF);
    report.expect(same == shown.size(), name,
        std::to_string(same) + " of " + std::to_string(shown.size()) + " pixels equal to the back buffer");
}

// Records the events that reach it, in its parent's coordinates.
class RecordingView : public CView {
public:
    using CView::CView;
    void draw(CDrawContext&) override { }
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override
    {
        log("down", where, buttons);
        return CMouseEventResult::kHandled;
    }
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override
    {
        log("moved", where, buttons);
        return CMouseEventResult::kHandled;
    }
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override
    {
        log("up", where, buttons);
        return CMouseEventResult::kHandled;
    }
    bool onWheel(const CPoint& where, float distance, const CButtonState&) override
    {
        events += "wheel " + std::to_string(where.x) + "," + std::to_string(where.y) + " "
            + std::to_string(static_cast<int>(distance)) + "; ";
        return true;
    }
    bool onKeyDown(const CKeyEvent& key) override
    {
        events += key.character ? "key " + std::string(1, static_cast<char>(key.character)) + "; "
                                : "key virtual " + std::to_string(static_cast<int>(key.virt)) + "; ";
        return true;
    }

    std::string events;

private:
    void log(const char* what, const CPoint& where, const CButtonState& buttons)
    {
        events += std::string(what) + " " + std::to_string(where.x) + "," + std::to_string(where.y)
            + (buttons.isLeftButton() ? " L" : "") + (buttons.isDoubleClick() ? " double" : "") + "; ";
    }
};

int g_ticks = 0;
void CALLBACK countTick(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_ticks;
}

void windowChecks(CheckReport& report)
{
    std::unique_ptr<CFrame> frame = makeToolkitScene();
    auto* recorder = new RecordingView(CRect{190, 60, 230, 90});
    frame->addView(recorder);
    HWND top = makeTopLevelWindow(L"brelvik-gui-check", kSceneWidth, kSceneHeight);
    std::string error = top ? "" : "no top-level window (error " + std::to_string(GetLastError()) + ")";
    if (!report.expect(top && frame->open(top, &error), "child window of a top-level window", error))
        return;
    const HWND child = reinterpret_cast<HWND>(frame->getPlatformWindow()->nativeHandle());
    RECT client{};
    GetClientRect(child, &client);
    report.expect(GetParent(child) == top && client.right == kSceneWidth && client.bottom == kSceneHeight,
        "the child window has the frame's size",
        std::to_string(client.right) + " x " + std::to_string(client.bottom));
    frame->flush();
    runMessages(200);
    compareWindow(report, "the window shows the back buffer (BitBlt from the window)", readWindow(child, kSceneWidth, kSceneHeight, false),
        frame->getBackBuffer());
    compareWindow(report, "the window prints the back buffer (PrintWindow)", readWindow(child, kSceneWidth, kSceneHeight, true),
        frame->getBackBuffer());

    SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 70));
    SendMessageW(child, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(205, 75));
    SendMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(205, 75));
    SendMessageW(child, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(201, 71));
    SendMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(201, 71));
    // Capture taken away mid-drag ends the drag where the mouse was last seen.
    SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(202, 72));
    SetCapture(top);
    ReleaseCapture();
    POINT screen{210, 80};
    ClientToScreen(child, &screen);
    SendMessageW(child, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    frame->setFocusView(recorder);
    SendMessageW(child, WM_CHAR, 'a', 0);
    SendMessageW(child, WM_KEYDOWN, VK_LEFT, 0);
    const std::string expected = "down 200,70 L; moved 205,75 L; up 205,75 L; down 201,71 L double; up 201,71 L; "
                                 "down 202,72 L; up 202,72 L; wheel 210,80 1; key a; key virtual "
        + std::to_string(static_cast<int>(CVirtualKey::kLeft)) + "; ";
    report.expect(recorder->events == expected, "mouse and key messages reach the view", recorder->events);
    frame->setFocusView(nullptr);

    // The editor's frame tick: a 14 ms timer on our window, run by the message loop.
    g_ticks = 0;
    SetTimer(child, 1, 14, &countTick);
    runMessages(300);
    KillTimer(child, 1);
    report.expect(g_ticks >= 10 && g_ticks <= 30, "a 14 ms timer on the window ticks",
        std::to_string(g_ticks) + " ticks in 300 ms");

    wchar_t className[128] = {};
    GetClassNameW(child, className, 128);
    int opened = 0;
    for (int i = 0; i < 50; ++i) {
        frame->close();
        if (frame->open(top, &error)) {
            ++opened;
            frame->flush();
            runMessages(0);
        }
    }
    frame->close();
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    const bool classGone = !GetClassInfoExW(GetModuleHandleW(nullptr), className, &info);
    report.expect(opened == 50 && classGone, "50 open and close cycles, then the window class is unregistered",
        std::to_string(opened) + " opened, class " + (classGone ? "gone" : "still registered"));

    frame->open(top, &error);
    DestroyWindow(top);
    const bool closedWithParent = !frame->isWindowOpen();
    frame->flush();
    frame->close();
    report.expect(closedWithParent, "the host destroys the parent first: the window is closed, nothing crashes");
}

#endif

int makeReference(const std::string& dir)
{
    std::string error;
    std::unique_ptr<CFrame> frame = makeToolkitScene();
    if (!frame->renderToPng(dir + kSceneFile, &error)) {
        std::fprintf(stderr, "brelvik-gui-check: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s%s\n", dir.c_str(), kSceneFile);
    return 0;
}

int checkAgainst(const std::string& dir, const std::string& writePath)
{
    CheckReport report;
    std::string error;
    const std::vector<uint8_t> png = readFile(dir + kSceneFile);
    SharedPointer<CBitmap> reference
        = SharedPointer<CBitmap>::adopt(CBitmap::fromPng(png.data(), png.size(), &error));
    report.expect(static_cast<bool>(reference), "the Linux render decodes from PNG", error);

    // A frame drawn after the first one went (and GDI+ with it) gives the same pixels.
    std::vector<uint32_t> first = makeToolkitScene()->getBackBuffer().pixels;
    std::unique_ptr<CFrame> scene = makeToolkitScene();
    report.expect(first == scene->getBackBuffer().pixels, "drawing restarts after the last context went");
    if (reference)
        compareWithReference(report, scene->getBackBuffer(), *reference);

    if (!writePath.empty()) {
        const bool written = writePng(scene->getBackBuffer(), writePath, &error);
        const std::vector<uint8_t> back = readFile(writePath);
        SharedPointer<CBitmap> decoded = SharedPointer<CBitmap>::adopt(CBitmap::fromPng(back.data(), back.size(), &error));
        const bool same = decoded && decoded->getWidth() == kSceneWidth && decoded->getHeight() == kSceneHeight
            && std::memcmp(decoded->pixels(), scene->getBackBuffer().pixels.data(), kSceneWidth * kSceneHeight * 4) == 0;
        report.expect(written && same,
            "the render written as PNG reads back unchanged", written ? writePath : error);
    }
#ifdef _WIN32
    windowChecks(report);
#else
    report.note("the window checks run on Windows only");
#endif
    return report.finish();
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--make-reference")
        return makeReference(args[1]);
    if ((args.size() == 2 || (args.size() == 4 && args[2] == "--write")) && args[0] == "--reference")
        return checkAgainst(args[1], args.size() == 4 ? args[3] : std::string());
    std::fputs(kUsage, stderr);
    return 2;
}
