// Pixmap, neutral half: construction order, the bitmap made at the first drawing, the artwork for the
// surface's scale, and reference counting.
#include "gui/core/Pixmap.h"

#include "gui/core/DrawSurface.h"

Pixmap::Pixmap(int32_t resourceId) : resourceId(resourceId) { loadResource(); }

Pixmap::Pixmap(int32_t width, int32_t height) : width(width), height(height) { createBlank(); }

Pixmap::~Pixmap() { destroyBitmaps(); }

void Pixmap::retain() { ++retainCount; }

bool Pixmap::makeBitmap() {
    if (!bitmap && pixelsPending) {
        pixelsPending = false;  // one try: a resource that fails once fails again
        decodeResource();
    }
    return bitmap != nullptr;
}

bool Pixmap::mapBlit(const DrawSurface* surface, const UiRect& area, const UiPoint& from, PixmapBlit& blit) {
    if (!surface || !makeBitmap()) return false;
    blit.bitmap = bitmap;
    blit.area = surface->toDevice(area);
    blit.from = from;
    const int32_t percent = surface->scale;
    // Blank pixmaps and ids above the resource script's range have no artwork at other scales.
    if (percent == uiscale::kUnit || resourceId == 0 || (resourceId & 0xFFFF) >= 500) return true;
    const int32_t step = uiscale::stepIndex(percent);
    if (step <= 0) return true;
    ScaledArt& art = scaledArt[step - 1];
    if (!art.tried) {
        art.tried = true;
        loadScaledResource(uiscale::scaledResourceId(resourceId & 0xFFFF, percent), art);
    }
    if (!art.bitmap || width <= 0 || height <= 0) {
        // No artwork at this scale: the 100 % picture at its own size, never stretched.
        blit.area.right = blit.area.left + area.width();
        blit.area.bottom = blit.area.top + area.height();
        return true;
    }
    // Source corners map by the artwork's own ratio, so film strip frames start on their first row.
    blit.bitmap = art.bitmap;
    blit.from = UiPoint{uiscale::floorDiv(int64_t(from.h) * art.width, width),
                        uiscale::floorDiv(int64_t(from.v) * art.height, height)};
    return true;
}

void Pixmap::release() {
    if (retainCount <= 0) return;
    if (--retainCount == 0) delete this;
}
