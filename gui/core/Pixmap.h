// Reference-counted bitmap loaded from the module's resources: its size at once, its pixels when first drawn.
// Split: counting and accessors in gui/core/Pixmap.cpp; loading, drawing, deletion in gui/platform/<backend>/Pixmap.cpp.
#pragma once

#include <cstdint>

#include "gui/core/UiScale.h"
#include "gui/core/UiTypes.h"

class DrawSurface;

// Where one pixmap drawing lands in device pixels: the bitmap drawn from (the artwork for the surface's
// scale when there is one), the destination rectangle and the source corner.
struct PixmapBlit {
    NativeHandle bitmap = nullptr;
    UiRect area;
    UiPoint from;
};

class Pixmap {
public:
    // Finds the bitmap resource whose id is the low 16 bits of resourceId and reads its size from its
    // header; size 0 by 0 when it fails. The pixels are made when the pixmap is first drawn: an editor
    // that is never opened decodes none.
    explicit Pixmap(int32_t resourceId);
    // A blank bitmap compatible with the screen.
    Pixmap(int32_t width, int32_t height);

    Pixmap(const Pixmap&) = delete;
    Pixmap& operator=(const Pixmap&) = delete;

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    int32_t getResourceId() const { return resourceId; }
    // The system's bitmap, made from the resource at the first call; null when that fails.
    NativeHandle getHandle() { return makeBitmap() ? bitmap : nullptr; }
    // The resource was found (its pixels may still be to make).
    bool isLoaded() const { return bitmap != nullptr || pixelsPending; }
    int32_t getRetainCount() const { return retainCount; }

    void retain();
    // The last reference deletes the bitmaps and the pixmap; a count of 0 or less does nothing.
    void release();

    void setTransparentColour(UiColor colour) { transparentColour = colour; }
    UiColor getTransparentColour() const { return transparentColour; }

    // area: destination in the surface's coordinates (shifted by its offset); from: source corner.
    void draw(DrawSurface* surface, const UiRect& area, const UiPoint& from);
    void drawTransparent(DrawSurface* surface, const UiRect& area, const UiPoint& from);
    void drawBlended(DrawSurface* surface, const UiRect& area, const UiPoint& from, uint8_t alpha);
    // Mask from what surface shows at where (unshifted): 1 where it has the transparent colour.
    void buildMask(DrawSurface* surface, const UiPoint& where);

    // The blit for a drawing at the surface's scale; false when there is nothing to draw.
    bool mapBlit(const DrawSurface* surface, const UiRect& area, const UiPoint& from, PixmapBlit& blit);

    // Artwork of the same resource drawn at 150 % and 200 %, loaded at its first use.
    struct ScaledArt {
        NativeHandle bitmap = nullptr;  // owned
        int32_t width = 0;
        int32_t height = 0;
        bool tried = false;
    };

    int32_t resourceId = 0;
    int32_t retainCount = 1;
    int32_t width = 0;
    int32_t height = 0;
    UiColor transparentColour = colourDefaultTransparent;
    NativeHandle bitmap = nullptr;  // owned
    bool pixelsPending = false;     // a resource's header was read, its bitmap not made yet
    NativeHandle mask = nullptr;    // owned; null unless buildMask made one
    ScaledArt scaledArt[uiscale::kStepCount - 1];  // 150 %, 200 %

private:
    ~Pixmap();  // only release deletes

    // The bitmap of a loaded resource, made now if it is still to make; false without one.
    bool makeBitmap();
    // Backend: width and height from the resource's header, and pixelsPending set (left 0 on failure).
    void loadResource();
    // Backend: bitmap from the resource whose header loadResource read (left null on failure).
    void decodeResource();
    // Backend: blank bitmap of width by height.
    void createBlank();
    // Backend: the bitmap of resource id into art (left empty when the module has none).
    void loadScaledResource(int32_t id, ScaledArt& art);
    // Backend: deletes bitmap, mask and the scaled artwork, each when present.
    void destroyBitmaps();
};
