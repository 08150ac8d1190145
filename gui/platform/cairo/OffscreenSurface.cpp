// Headless half of OffscreenSurface: memory contexts over RGB24 images and the copy to another surface.
#include "gui/core/OffscreenSurface.h"

#include "gui/core/Pixmap.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/cairo/DeviceContext.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "gui/platform/cairo/PixelRaster.h"

#include <cairo.h>

namespace {

// A bitmap compatible with a window: 32 bits per pixel, the top byte unused.
cairo_surface_t* createImage(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return nullptr;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return nullptr;
    }
    return image;
}

}  // namespace

void OffscreenSurface::createBitmap() {
    deviceContext = nullptr;
    windowHandle = nullptr;
    if (!window || !HeadlessWindow::isAlive(window->getChildWindow())) return;
    cairo_surface_t* image = createImage(deviceWidth(), deviceHeight());
    if (!image) return;
    DeviceContext* dc = DeviceContext::createMemory();
    savedBitmap = dc->selectBitmap(image);
    deviceContext = dc;
    windowHandle = image;
    ownsBitmap = true;
}

void OffscreenSurface::createBitmapFromPixmap(DrawSurface* surface, bool usePixmapBitmap) {
    (void)surface;  // every headless context is compatible with every other
    DeviceContext* dc = DeviceContext::createMemory();
    deviceContext = dc;
    if (usePixmapBitmap && pixmap && pixmap->getHandle()) {
        windowHandle = pixmap->getHandle();
        ownsBitmap = false;
        savedBitmap = dc->selectBitmap(static_cast<cairo_surface_t*>(windowHandle));
        return;
    }
    cairo_surface_t* image = createImage(width, height);
    windowHandle = image;
    ownsBitmap = image != nullptr;
    savedBitmap = dc->selectBitmap(image);
    if (!image) return;
    if (pixmap) {
        pixmap->draw(this, UiRect{0, 0, width, height}, UiPoint{0, 0});
    } else {
        PixelRaster raster(image, UiRect{0, 0, width, height});
        raster.fillRect(UiRect{0, 0, width, height}, 0x000000);
    }
}

void OffscreenSurface::destroyBitmap() {
    if (DeviceContext* dc = DeviceContext::fromHandle(deviceContext)) {
        dc->selectBitmap(static_cast<cairo_surface_t*>(savedBitmap));
        DeviceContext::release(dc);
    }
    deviceContext = nullptr;
    if (ownsBitmap && windowHandle) cairo_surface_destroy(static_cast<cairo_surface_t*>(windowHandle));
    windowHandle = nullptr;
}

void OffscreenSurface::copyTo(DrawSurface* target, const UiRect& area, const UiPoint& from) {
    if (!target) return;
    const UiRect to = target->toDevice(area);
    const UiPoint source = uiscale::toDevice(from, scale);
    DeviceContext::bitBlt(DeviceContext::fromHandle(target->deviceContext), to.left, to.top, to.width(), to.height(),
                          DeviceContext::fromHandle(deviceContext), source.h, source.v);
}
