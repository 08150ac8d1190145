// Headless half of Pixmap: embedded BMP resources' sizes read at load and their pixels decoded at the
// first drawing, and the three ways of drawing them.
#include "gui/core/Pixmap.h"

#include "gui/core/DrawSurface.h"
#include "gui/platform/cairo/BmpDecoder.h"
#include "gui/platform/cairo/DeviceContext.h"
#include "gui/platform/cairo/HeadlessResources.h"
#include "gui/platform/cairo/PixelRaster.h"

#include <cairo.h>

namespace {

DeviceContext* targetOf(DrawSurface* surface) {
    return surface ? DeviceContext::fromHandle(surface->deviceContext) : nullptr;
}

// Blits the pixmap's area into the surface's context (area shifted by the surface's offset and mapped to
// its scale) through mix.
template <typename Mix>
void blitInto(DrawSurface* surface, const PixmapBlit& blit, Mix mix) {
    DeviceContext* dc = targetOf(surface);
    if (!dc || !blit.bitmap || !dc->target()) return;
    PixelRaster source(static_cast<cairo_surface_t*>(blit.bitmap), UiRect{});
    PixelRaster target(dc->target(), dc->effectiveClip());
    target.blit(source, blit.from.h, blit.from.v, blit.area.left, blit.area.top, blit.area.width(), blit.area.height(),
                mix);
}

cairo_surface_t* decodeBytes(int32_t id) {
    const HeadlessResources::Bytes bytes = HeadlessResources::find(id);
    return BmpDecoder::decode(bytes.data, bytes.size);
}

}  // namespace

void Pixmap::loadResource() {
    const HeadlessResources::Bytes bytes = HeadlessResources::find(resourceId & 0xFFFF);
    int32_t w = 0, h = 0;
    if (!BmpDecoder::readSize(bytes.data, bytes.size, w, h)) return;
    width = w;
    height = h;
    pixelsPending = true;
}

void Pixmap::decodeResource() { bitmap = decodeBytes(resourceId & 0xFFFF); }

void Pixmap::loadScaledResource(int32_t id, ScaledArt& art) {
    cairo_surface_t* image = decodeBytes(id);
    if (!image) return;
    art.bitmap = image;
    art.width = cairo_image_surface_get_width(image);
    art.height = cairo_image_surface_get_height(image);
}

void Pixmap::createBlank() {
    if (width <= 0 || height <= 0) return;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return;
    }
    bitmap = image;
}

void Pixmap::destroyBitmaps() {
    if (bitmap) cairo_surface_destroy(static_cast<cairo_surface_t*>(bitmap));
    if (mask) cairo_surface_destroy(static_cast<cairo_surface_t*>(mask));
    bitmap = mask = nullptr;
    for (ScaledArt& art : scaledArt) {
        if (art.bitmap) cairo_surface_destroy(static_cast<cairo_surface_t*>(art.bitmap));
        art = ScaledArt{};
    }
}

void Pixmap::draw(DrawSurface* surface, const UiRect& area, const UiPoint& from) {
    PixmapBlit blit;
    if (!mapBlit(surface, area, from, blit)) return;
    blitInto(surface, blit, [](int32_t, int32_t, uint32_t, uint32_t, uint32_t&) { return true; });
}

void Pixmap::drawTransparent(DrawSurface* surface, const UiRect& area, const UiPoint& from) {
    PixmapBlit blit;
    if (!mapBlit(surface, area, from, blit)) return;
    // A mask describes the 100 % picture only; other scales leave the transparent colour out instead.
    auto* maskImage = blit.bitmap == bitmap ? static_cast<cairo_surface_t*>(mask) : nullptr;
    if (maskImage) {
        // With a mask, its bit decides (set: the destination stays), not the pixel's colour.
        cairo_surface_flush(maskImage);
        const unsigned char* bits = cairo_image_surface_get_data(maskImage);
        const int32_t stride = cairo_image_surface_get_stride(maskImage);
        const int32_t maskWidth = cairo_image_surface_get_width(maskImage);
        const int32_t maskHeight = cairo_image_surface_get_height(maskImage);
        blitInto(surface, blit, [&](int32_t sx, int32_t sy, uint32_t, uint32_t, uint32_t&) {
            if (sx >= maskWidth || sy >= maskHeight) return false;
            return bits[size_t(sy) * stride + sx] == 0;
        });
        return;
    }
    const uint32_t transparent = rgbOf(transparentColour);
    blitInto(surface, blit,
             [transparent](int32_t, int32_t, uint32_t rgb, uint32_t, uint32_t&) { return rgb != transparent; });
}

void Pixmap::drawBlended(DrawSurface* surface, const UiRect& area, const UiPoint& from, uint8_t alpha) {
    // Constant source opacity over the destination, rounded like AlphaBlend's integer arithmetic.
    const uint32_t a = alpha;
    PixmapBlit blit;
    if (!mapBlit(surface, area, from, blit)) return;
    blitInto(surface, blit,
             [a](int32_t, int32_t, uint32_t rgb, uint32_t destination, uint32_t& out) {
                 out = 0;
                 for (int shift = 0; shift < 24; shift += 8) {
                     const uint32_t s = rgb >> shift & 0xFF;
                     const uint32_t d = destination >> shift & 0xFF;
                     out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
                 }
                 return true;
             });
}

void Pixmap::buildMask(DrawSurface* surface, const UiPoint& where) {
    if (mask) cairo_surface_destroy(static_cast<cairo_surface_t*>(mask));
    mask = nullptr;
    if (width <= 0 || height <= 0) return;
    cairo_surface_t* maskImage = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
    if (cairo_surface_status(maskImage) != CAIRO_STATUS_SUCCESS) {  // an error surface has no pixels
        cairo_surface_destroy(maskImage);
        return;
    }
    cairo_surface_flush(maskImage);
    unsigned char* bits = cairo_image_surface_get_data(maskImage);
    const int32_t stride = cairo_image_surface_get_stride(maskImage);
    // Pixels of the transparent colour become 1; what lies outside the surface's image stays 0.
    DeviceContext* dc = targetOf(surface);
    if (dc && dc->target()) {
        PixelRaster source(dc->target(), UiRect{});
        const uint32_t transparent = rgbOf(transparentColour);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const int32_t sx = where.h + x;
                const int32_t sy = where.v + y;
                if (sx < 0 || sy < 0 || sx >= source.imageWidth() || sy >= source.imageHeight()) continue;
                if (source.get(sx, sy) == transparent) bits[size_t(y) * stride + x] = 0xFF;
            }
        }
    }
    cairo_surface_mark_dirty(maskImage);
    mask = maskImage;
}
