// HostWindow: class registration, frame-adjusted creation and capture through a 32-bit top-down DIB.
#include "tools/hostwindow/HostWindow.h"

#include <set>
#include <string>

namespace {

// The outer size of a client area of width x height in a window of that style.
SIZE outerSize(DWORD style, DWORD exStyle, int width, int height) {
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

bool hasClientSize(HWND window, int width, int height) {
    RECT client{0, 0, 0, 0};
    return GetClientRect(window, &client) && client.right == width && client.bottom == height;
}

}  // namespace

LRESULT CALLBACK HostWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxTrackSize = POINT{0x7FFF, 0x7FFF};  // the largest X11 window
    }
    return result;
}

HWND HostWindow::create(const HostWindowLook& look, const char* title, int width, int height) {
    static std::set<std::string> registered;
    if (!registered.count(look.className)) {
        WNDCLASSA description{};
        description.lpfnWndProc = windowProc;
        description.hInstance = GetModuleHandleA(nullptr);
        description.hCursor = look.cursor;
        description.hbrBackground = look.background;
        description.lpszClassName = look.className;
        if (RegisterClassA(&description)) registered.insert(look.className);
    }
    const SIZE outer = outerSize(look.style, 0, width, height);
    HWND window = CreateWindowExA(0, look.className, title, look.style, 40, 40, outer.cx, outer.cy, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window && !hasClientSize(window, width, height) && !setClientSize(window, width, height)) {
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}

bool HostWindow::setClientSize(HWND window, int width, int height) {
    const SIZE outer = outerSize(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)),
                                 static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)), width, height);
    return SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) &&
           hasClientSize(window, width, height);
}

bool HostWindow::capture(HWND window, bool redrawFirst, HostWindowPicture& picture) {
    RECT client{0, 0, 0, 0};
    if (!window || !GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return false;
    const int width = client.right, height = client.bottom;
    if (redrawFirst) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) {
        if (dib) DeleteObject(dib);
        return false;
    }
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, dib);
    const bool copied = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY | CAPTUREBLT) != 0;
    GdiFlush();
    if (copied) {
        const auto* p = static_cast<const uint32_t*>(bits);
        picture.width = width;
        picture.height = height;
        picture.pixels.assign(p, p + static_cast<size_t>(width) * static_cast<size_t>(height));
        for (uint32_t& v : picture.pixels) v &= 0xFFFFFF;
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(window, source);
    DeleteObject(dib);
    return copied;
}
