// The Windows checks' own windows: a top-level window to parent a plug-in's or the toolkit's child
// window, a message loop run for a while, and a window's client area read back as pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace brelvik::check {

// Dispatches this thread's messages for `milliseconds` (pending ones at least once).
void runMessages(DWORD milliseconds);

// A visible top-level window whose client area is `width` x `height`.
HWND makeTopLevelWindow(const wchar_t* title, int width, int height);

// The window's client area as 32-bit pixels (0x00RRGGBB), read through BitBlt from its DC or
// through PrintWindow.
std::vector<uint32_t> readWindow(HWND hwnd, int width, int height, bool print);

} // namespace brelvik::check
