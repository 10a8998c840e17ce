#include "tests/windows/EditorCheck.h"

#include <windows.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "gui/CBitmap.h"
#include "host/HostedPlugin.h"
#include "resources/artwork/TableReading.h"
#include "shell/ParameterTags.h"
#include "tests/windows/PixelCompare.h"
#include "tests/windows/TestWindow.h"

namespace brelvik::check {
namespace {

constexpr int kWidth = 1100;
constexpr int kHeight = 176;
constexpr const char* kSnapshotFile = "/editor-snapshot.png";
// As for the toolkit scene: fonts and antialiasing differ slightly between GDI+ and cairo.
constexpr double kMinShareWithin = 0.98;
constexpr int kLevels = 8;
constexpr int kOpenCloseCycles = 50;

// The editor's rectangle of a view that lies in the window itself (not on a panel).
CK_Rect windowRectOf(int tag, CK_ViewKind kind)
{
    for (const CK_PlacedView& view : ck_placedViews())
        if (view.tag == tag && view.kind == kind && view.parent < 0)
            return view.rect;
    return {};
}

LPARAM at(int x, int y)
{
    return MAKELPARAM(x, y);
}

std::string gestureText(const host::HostRecord& record)
{
    std::string text;
    for (const auto& [kind, index] : record.gestures)
        text += std::string(1, kind) + std::to_string(index) + " ";
    return text;
}

// Begin edit first, end edit last, automation of `tag` between them, at least `automations` of it.
bool isOneGesture(const host::HostRecord& record, int tag, size_t automations)
{
    const auto& g = record.gestures;
    if (g.size() < automations + 2 || g.front() != std::make_pair('b', tag) || g.back() != std::make_pair('e', tag))
        return false;
    for (size_t i = 1; i + 1 < g.size(); ++i)
        if (g[i] != std::make_pair('a', tag))
            return false;
    return true;
}

void compareWithSnapshot(CheckReport& report, const std::vector<uint32_t>& shot, const std::string& referenceDir)
{
    std::ifstream file(referenceDir + kSnapshotFile, std::ios::binary);
    const std::vector<uint8_t> png{std::istreambuf_iterator<char>(file), {}};
    std::string error;
    auto snapshot = gui::SharedPointer<gui::CBitmap>::adopt(gui::CBitmap::fromPng(png.data(), png.size(), &error));
    if (!report.expect(snapshot && snapshot->getWidth() == kWidth && snapshot->getHeight() == kHeight,
            "the Linux render of the editor decodes", error))
        return;
    size_t within = 0;
    int largest = 0;
    for (size_t i = 0; i < shot.size(); ++i) {
        const int d = channelDifference(shot[i], snapshot->pixels()[i] & 0xFFFFFFu);
        within += d <= kLevels;
        largest = d > largest ? d : largest;
    }
    char detail[160];
    std::snprintf(detail, sizeof detail, "%.2f %% of %zu pixels within %d levels per channel (at least %.0f %%), largest difference %d",
        100.0 * within / shot.size(), shot.size(), kLevels, kMinShareWithin * 100.0, largest);
    report.expect(static_cast<double>(within) / shot.size() >= kMinShareWithin,
        "the editor at program 0 looks like the Linux offscreen render", detail);
}

void dragMasterGain(CheckReport& report, host::HostedPlugin& plugin, HWND child)
{
    // "Master Gain dB": 60 px for the whole range, so 30 px up is half of it.
    const CK_Rect knob = windowRectOf(kTagMasterGain, CK_ViewKind::Knob);
    plugin.setParameter(kTagMasterGain, 0.25f);
    runMessages(1000); // the knob eases there (a click while it moves would stop it where it is drawn)
    plugin.clearRecord();
    const int x = knob.x + knob.width / 2, y = knob.y + knob.height / 2;
    SendMessageW(child, WM_MOUSEMOVE, 0, at(x, y));
    SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, at(x, y));
    runMessages(50);
    for (int step = 1; step <= 6; ++step) {
        SendMessageW(child, WM_MOUSEMOVE, MK_LBUTTON, at(x, y - 5 * step));
        runMessages(30);
    }
    SendMessageW(child, WM_LBUTTONUP, 0, at(x, y - 30));
    runMessages(100);
    const float value = plugin.getParameter(kTagMasterGain);
    report.expect(knob.width > 0 && std::abs(value - 0.75f) < 1e-4f,
        "a drag of 30 px up on \"Master Gain dB\" moves parameter 55 by 0.5",
        "from 0.25 to " + std::to_string(value) + " (knob at " + std::to_string(x) + "," + std::to_string(y) + ")");
    const host::HostRecord record = plugin.record();
    report.expect(isOneGesture(record, kTagMasterGain, 1), "the host sees beginEdit, automate, endEdit",
        std::to_string(record.gestures.size()) + " calls: " + gestureText(record));
}

void clickLedSwitch(CheckReport& report, host::HostedPlugin& plugin, HWND child)
{
    const CK_PlacedView* led = nullptr;
    for (const CK_PlacedView& view : ck_placedViews())
        if (view.kind == CK_ViewKind::LedSwitch && view.parent < 0 && view.tag >= 0 && view.tag < kHostParameterCount)
            led = &view;
    if (!report.expect(led != nullptr, "an LED switch in the window"))
        return;
    const float before = plugin.getParameter(led->tag);
    plugin.clearRecord();
    const int x = led->rect.x + led->rect.width / 2, y = led->rect.y + led->rect.height / 2;
    SendMessageW(child, WM_MOUSEMOVE, 0, at(x, y));
    SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, at(x, y));
    runMessages(50);
    SendMessageW(child, WM_LBUTTONUP, 0, at(x, y));
    runMessages(100);
    const float after = plugin.getParameter(led->tag);
    const host::HostRecord record = plugin.record();
    report.expect(after == (before > 0.5f ? 0.0f : 1.0f) && isOneGesture(record, led->tag, 1) && record.gestures.size() == 3,
        "a click on an LED switch toggles its parameter",
        "parameter " + std::to_string(led->tag) + " from " + std::to_string(before) + " to " + std::to_string(after)
            + "; host calls: " + gestureText(record));
}

void openCloseWhileAudioRuns(CheckReport& report, host::HostedPlugin& plugin, HWND top)
{
    std::atomic<bool> done{false};
    std::atomic<long> blocks{0};
    std::thread audio([&] {
        std::vector<float> in(256, 0.25f), outL(256), outR(256);
        const float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        while (!done.load()) {
            plugin.process(inputs, outputs, 256);
            ++blocks;
        }
    });
    int opened = 0;
    const DWORD start = GetTickCount();
    for (int cycle = 0; cycle < kOpenCloseCycles; ++cycle) {
        if (plugin.openEditor(top))
            ++opened;
        runMessages(20); // the frame timer ticks
        plugin.idleEditor();
        plugin.closeEditor();
    }
    const DWORD elapsed = GetTickCount() - start;
    done.store(true);
    audio.join();
    const bool childGone = GetWindow(top, GW_CHILD) == nullptr;
    report.expect(opened == kOpenCloseCycles && childGone, "open and close cycles with audio running on another thread",
        std::to_string(opened) + " of " + std::to_string(kOpenCloseCycles) + " opened, " + std::to_string(blocks.load())
            + " blocks processed meanwhile in " + std::to_string(elapsed) + " ms, "
            + (childGone ? "no window left" : "a window left behind"));
}

// The host destroys its window with the editor still open: our window and its timer go with it,
// the next effEditIdle closes the editor, and effEditClose after that is harmless.
void parentDestroyedFirst(CheckReport& report, host::HostedPlugin& plugin)
{
    HWND top = makeTopLevelWindow(L"brelvik-plugin-check editor", kWidth, kHeight);
    const bool opened = top && plugin.openEditor(top);
    runMessages(100);
    DestroyWindow(top);
    runMessages(100);
    plugin.idleEditor();
    plugin.closeEditor();
    HWND again = makeTopLevelWindow(L"brelvik-plugin-check editor", kWidth, kHeight);
    const bool reopened = again && plugin.openEditor(again);
    runMessages(100);
    plugin.closeEditor();
    if (again)
        DestroyWindow(again);
    report.expect(opened && reopened, "the host destroys its window before effEditClose: nothing crashes, the editor opens again");
}

} // namespace

void checkEditor(const host::PluginLibrary& library, const std::string& referenceDir, CheckReport& report)
{
    std::string error;
    host::HostOptions options;
    auto plugin = host::HostedPlugin::load(library, options, error);
    if (!report.expect(plugin != nullptr, "plug-in instance", error))
        return;
    plugin->open();
    plugin->setSampleRate(48000.0f);
    plugin->setBlockSize(256);
    plugin->resume();

    int width = 0, height = 0;
    const bool announced = (plugin->effect()->flags & effFlagsHasEditor) != 0;
    const bool sized = plugin->editorSize(width, height);
    report.expect(announced && sized && width == kWidth && height == kHeight, "effEditGetRect is 1100 x 176",
        std::string(announced ? "editor announced, " : "no editor announced, ") + std::to_string(width) + " x "
            + std::to_string(height));

    HWND top = makeTopLevelWindow(L"brelvik-plugin-check editor", kWidth, kHeight);
    const bool opened = top && plugin->openEditor(top);
    HWND child = top ? GetWindow(top, GW_CHILD) : nullptr;
    RECT client{};
    if (child)
        GetClientRect(child, &client);
    if (report.expect(opened && child && client.right == kWidth && client.bottom == kHeight,
            "effEditOpen makes a child of the host's window",
            std::to_string(client.right) + " x " + std::to_string(client.bottom))) {
        // Only the message loop runs here, no effEditIdle: the editor's own timer brings the panels to rest.
        runMessages(3000);
        compareWithSnapshot(report, readWindow(child, kWidth, kHeight, false), referenceDir);
        dragMasterGain(report, *plugin, child);
        clickLedSwitch(report, *plugin, child);
        plugin->closeEditor();
        report.expect(GetWindow(top, GW_CHILD) == nullptr, "effEditClose removes the editor's window");
        openCloseWhileAudioRuns(report, *plugin, top);
    }
    if (top)
        DestroyWindow(top);
    parentDestroyedFirst(report, *plugin);
    plugin->suspend();
    plugin->close();
}

} // namespace brelvik::check
