// HostWindow: class registration, frame-adjusted creation and capture through a 32-bit top-down DIB.
#include "tools/hostwindow/HostWindow.h"

#include <set>
#include <string>

HWND HostWindow::create(const HostWindowLook& look, const char* title, int width, int height) {
    static std::set<std::string> registered;
    if (!registered.count(look.className)) {
        WNDCLASSA description{};
        description.lpfnWndProc = DefWindowProcA;
        description.hInstance = GetModuleHandleA(nullptr);
        description.hCursor = look.cursor;
        description.hbrBackground = look.background;
        description.lpszClassName = look.className;
        if (RegisterClassA(&description)) registered.insert(look.className);
    }
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, look.style, FALSE, 0);
    return CreateWindowExA(0, look.className, title, look.style, 40, 40, outer.right - outer.left,
                           outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
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
