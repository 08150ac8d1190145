// Drawing surface over a memory bitmap, for double buffering.
// Split: set-up and clearing in gui/core/OffscreenSurface.cpp; bitmap and blits in gui/platform/<backend>/OffscreenSurface.cpp.
#pragma once

#include <cstdint>

#include "gui/core/DrawSurface.h"

class Pixmap;

class OffscreenSurface : public DrawSurface {
public:
    // window must own a child window; the whole bitmap takes backgroundColour.
    OffscreenSurface(PluginWindow* window, int32_t width, int32_t height, UiColor backgroundColour);
    // Over a pixmap's picture: its own bitmap (not owned) or an owned copy; 20 by 20 black without a pixmap.
    OffscreenSurface(DrawSurface* surface, Pixmap* pixmap, bool usePixmapBitmap);
    ~OffscreenSurface() override;

    // Copies area's size from (from.h, from.v) of this bitmap, unshifted, to area shifted by target's offset.
    void copyTo(DrawSurface* target, const UiRect& area, const UiPoint& from);

    // The bitmap's size in device pixels: width and height at the window's scale.
    int32_t deviceWidth() const { return uiscale::toDevice(width, scale); }
    int32_t deviceHeight() const { return uiscale::toDevice(height, scale); }
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }

    Pixmap* pixmap = nullptr;  // only for the from-pixmap constructor; not owned
    int32_t height = 0;
    int32_t width = 0;
    bool ownsBitmap = true;
    UiColor backgroundColour = colourBlack;
    NativeHandle savedBitmap = nullptr;  // selected in the memory context before the surface's bitmap

private:
    // Backend: memory context and bitmap of width by height compatible with the window (deviceContext and
    // windowHandle slots); leaves both null when the window has no child window or creation fails.
    void createBitmap();
    // Backend: memory context compatible with surface's, holding the pixmap's bitmap or an owned copy of it.
    void createBitmapFromPixmap(DrawSurface* surface, bool usePixmapBitmap);
    // Backend: deletes the memory context and, when owned, the bitmap.
    void destroyBitmap();
};
