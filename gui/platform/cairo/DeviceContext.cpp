// Headless device contexts: creation, selection and the clip they draw through.
#include "gui/platform/cairo/DeviceContext.h"

#include "gui/core/DrawSurface.h"

#include "gui/platform/cairo/HeadlessFont.h"
#include "gui/platform/cairo/HeadlessSystem.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "gui/platform/cairo/PixelRaster.h"

#include <cairo.h>

#include <memory>

namespace {
constexpr uint32_t contextTag = 0x44435458;  // "DCTX": tells a live context from a stray handle
}

DeviceContext* DeviceContext::forWindow(HeadlessWindow* window) {
    if (!HeadlessWindow::isAlive(window)) return nullptr;
    DeviceContext* context = createMemory();
    context->window_ = window;
    return context;
}

DrawSurface* DeviceContext::newSurface(PluginWindow* owner, HeadlessWindow* window) {
    DeviceContext* context = forWindow(window);
    try {
        return new DrawSurface(owner, context, window);
    } catch (...) {
        release(context);
        throw;
    }
}

DeviceContext* DeviceContext::forPaint(HeadlessWindow* window, const UiRect& updateArea) {
    DeviceContext* context = forWindow(window);
    if (context) {
        context->hasUpdateArea_ = true;
        context->updateArea_ = updateArea;
    }
    return context;
}

DeviceContext* DeviceContext::createMemory() {
    // The stock objects first: making one may fail, and then no context is left behind.
    auto* pen = stockBlackPen();
    auto* brush = stockWhiteBrush();
    auto* font = stockSystemFont();
    auto* context = new DeviceContext;
    ++HeadlessSystem::liveDeviceContexts;
    context->tag_ = contextTag;
    context->pen_ = pen;
    context->brush_ = brush;
    context->font_ = font;
    return context;
}

void DeviceContext::release(DeviceContext* context) { delete context; }

DeviceContext::~DeviceContext() {
    --HeadlessSystem::liveDeviceContexts;
    tag_ = 0;
    if (bitmap_) cairo_surface_destroy(bitmap_);
}

DeviceContext* DeviceContext::fromHandle(NativeHandle handle) {
    auto* context = static_cast<DeviceContext*>(handle);
    return context && context->tag_ == contextTag ? context : nullptr;
}

cairo_surface_t* DeviceContext::target() const {
    if (window_) return HeadlessWindow::isAlive(window_) ? window_->image() : nullptr;
    return bitmap_;
}

UiRect DeviceContext::effectiveClip() const {
    cairo_surface_t* image = target();
    if (!image) return UiRect{};
    UiRect area{0, 0, cairo_image_surface_get_width(image), cairo_image_surface_get_height(image)};
    if (hasUpdateArea_) area.boundTo(updateArea_);
    if (hasClip_) area.boundTo(clip_);
    return area;
}

cairo_surface_t* DeviceContext::selectBitmap(cairo_surface_t* bitmap) {
    // The context keeps its own reference, so deleting a selected bitmap cannot leave it dangling.
    cairo_surface_t* previous = bitmap_;
    bitmap_ = bitmap ? cairo_surface_reference(bitmap) : nullptr;
    if (previous) cairo_surface_destroy(previous);
    return previous;
}

HeadlessPen* DeviceContext::selectPen(HeadlessPen* pen) {
    HeadlessPen* previous = pen_;
    if (pen) pen_ = pen;
    return previous;
}

HeadlessBrush* DeviceContext::selectBrush(HeadlessBrush* brush) {
    HeadlessBrush* previous = brush_;
    if (brush) brush_ = brush;
    return previous;
}

HeadlessFont* DeviceContext::selectFont(HeadlessFont* font) {
    HeadlessFont* previous = font_;
    if (font) font_ = font;
    return previous;
}

HeadlessPen* DeviceContext::stockBlackPen() {
    static HeadlessPen pen{PenSolid, 1, 0x000000, true};
    return &pen;
}

HeadlessPen* DeviceContext::stockNullPen() {
    static HeadlessPen pen{PenNull, 1, 0x000000, true};
    return &pen;
}

HeadlessBrush* DeviceContext::stockWhiteBrush() {
    static HeadlessBrush brush{0xFFFFFF, true};
    return &brush;
}

HeadlessFont* DeviceContext::stockSystemFont() {
    // The system font of a fresh context: a bold sans serif with a 16-pixel cell.
    // Freed when the library unloads: a host that loads and unloads the plug-in must not leak it.
    static const std::unique_ptr<HeadlessFont> font(HeadlessFont::createStock("Arial", 14, true));
    return font.get();
}

void DeviceContext::bitBlt(DeviceContext* target, int32_t x, int32_t y, int32_t width, int32_t height,
                           DeviceContext* source, int32_t sourceX, int32_t sourceY) {
    if (!target || !source || !target->target() || !source->target()) return;
    PixelRaster from(source->target(), UiRect{});
    PixelRaster to(target->target(), target->effectiveClip());
    to.blit(from, sourceX, sourceY, x, y, width, height);
}
