// Pixmap, neutral half: construction order and reference counting.
#include "gui/core/Pixmap.h"

#include "gui/core/DrawSurface.h"

Pixmap::Pixmap(int32_t resourceId) : resourceId(resourceId) { loadResource(); }

Pixmap::Pixmap(int32_t width, int32_t height) : width(width), height(height) { createBlank(); }

Pixmap::~Pixmap() { destroyBitmaps(); }

void Pixmap::retain() { ++retainCount; }

bool Pixmap::mapBlit(const DrawSurface* surface, const UiRect& area, const UiPoint& from, PixmapBlit& blit) {
    if (!bitmap || !surface) return false;
    blit.bitmap = bitmap;
    blit.area = surface->toDevice(area);
    blit.from = from;
    const int32_t percent = surface->scale;
    // Blank pixmaps and ids above the resource script's range have no artwork at other scales.
    if (percent == uiscale::kUnit || resourceId == 0 || (resourceId & 0xFFFF) >= 500) return true;
    ScaledArt& art = scaledArt[percent == 150 ? 0 : 1];
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
