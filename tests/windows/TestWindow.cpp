#include "tests/windows/TestWindow.h"

#include <cstring>

namespace brelvik::check {

void runMessages(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        MSG message;
        // A timer whose work outlasts its period always has a message waiting: the time bound
        // holds between messages too.
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            if (GetTickCount() - start > milliseconds)
                break;
        }
        Sleep(1);
    } while (GetTickCount() - start < milliseconds);
}

HWND makeTopLevelWindow(const wchar_t* title, int width, int height)
{
    static const wchar_t* kClass = L"BrelvikCheckHost";
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassExW(&wc); // fails harmlessly when a second window asks again
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND hwnd = CreateWindowExW(0, kClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, r.right - r.left,
        r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(hwnd);
    return hwnd;
}

std::vector<uint32_t> readWindow(HWND hwnd, int width, int height, bool print)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
    HDC windowDc = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        if (print)
            PrintWindow(hwnd, memory, PW_CLIENTONLY);
        else
            BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
        std::memcpy(pixels.data(), bits, pixels.size() * 4);
        SelectObject(memory, old);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(hwnd, windowDc);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFFu;
    return pixels;
}

} // namespace brelvik::check
