// GDI half of OffscreenSurface: the memory context and bitmap, and the blit to another surface.
#include "gui/core/OffscreenSurface.h"

#include <windows.h>

#include "gui/core/Pixmap.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/win32/Win32Handles.h"

using win32::asBitmap;
using win32::asDc;

void OffscreenSurface::createBitmap() {
    HWND child = window ? win32::asWindow(window->getChildWindow()) : nullptr;
    if (!child) return;
    HDC windowContext = GetDC(child);
    HDC memory = CreateCompatibleDC(windowContext);
    HBITMAP picture = memory ? CreateCompatibleBitmap(windowContext, deviceWidth(), deviceHeight()) : nullptr;
    ReleaseDC(child, windowContext);
    if (!picture) {
        if (memory) DeleteDC(memory);
        return;
    }
    deviceContext = memory;
    windowHandle = picture;
    savedBitmap = SelectObject(memory, picture);
}

void OffscreenSurface::createBitmapFromPixmap(DrawSurface* surface, bool usePixmapBitmap) {
    HDC compatible = surface ? asDc(surface->deviceContext) : nullptr;
    HDC memory = CreateCompatibleDC(compatible);
    if (!memory) return;
    if (usePixmapBitmap && pixmap && pixmap->getHandle()) {
        ownsBitmap = false;
        deviceContext = memory;
        windowHandle = pixmap->getHandle();
        savedBitmap = SelectObject(memory, asBitmap(windowHandle));
        return;
    }
    // A memory context starts with a 1 by 1 monochrome bitmap: take the colour format from the surface,
    // or from the screen when there is none.
    HDC reference = compatible ? compatible : GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(reference, width, height);
    if (!compatible) ReleaseDC(nullptr, reference);
    if (!picture) {
        DeleteDC(memory);
        return;
    }
    ownsBitmap = true;
    deviceContext = memory;
    windowHandle = picture;
    savedBitmap = SelectObject(memory, picture);
    if (pixmap && pixmap->isLoaded()) {
        pixmap->draw(this, UiRect{0, 0, width, height}, UiPoint{0, 0});
    } else {
        PatBlt(memory, 0, 0, width, height, BLACKNESS);
    }
}

void OffscreenSurface::destroyBitmap() {
    HDC memory = asDc(deviceContext);
    if (memory) {
        if (savedBitmap) SelectObject(memory, savedBitmap);
        DeleteDC(memory);
    }
    if (ownsBitmap && windowHandle) DeleteObject(windowHandle);
    deviceContext = nullptr;
    windowHandle = nullptr;
    savedBitmap = nullptr;
}

void OffscreenSurface::copyTo(DrawSurface* target, const UiRect& area, const UiPoint& from) {
    if (!target) return;
    const UiRect to = target->toDevice(area);
    const UiPoint source = uiscale::toDevice(from, scale);
    BitBlt(asDc(target->deviceContext), to.left, to.top, to.width(), to.height(), asDc(deviceContext), source.h,
           source.v, SRCCOPY);
}
