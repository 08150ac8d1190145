// OffscreenSurface, neutral half: size, clip area and clearing to the background colour.
#include "gui/core/OffscreenSurface.h"

#include "gui/core/Pixmap.h"

OffscreenSurface::OffscreenSurface(PluginWindow* window, int32_t width, int32_t height, UiColor backgroundColour)
    : DrawSurface(window, nullptr, nullptr), height(height), width(width), ownsBitmap(true),
      backgroundColour(backgroundColour) {
    // A negative size swaps the ends, so the clip area is never inverted.
    clipArea = UiRect{width < 0 ? width : 0, height < 0 ? height : 0, width < 0 ? 0 : width, height < 0 ? 0 : height};
    createBitmap();
    UiRect whole{0, 0, width, height};
    setFillColour(backgroundColour);
    setFrameColour(backgroundColour);
    fillArea(whole);
    drawFrame(whole);
}

OffscreenSurface::OffscreenSurface(DrawSurface* surface, Pixmap* pixmap, bool usePixmapBitmap)
    : DrawSurface(surface ? surface->window : nullptr, nullptr, nullptr), pixmap(pixmap),
      height(pixmap ? pixmap->getHeight() : 20), width(pixmap ? pixmap->getWidth() : 20),
      ownsBitmap(!(pixmap && usePixmapBitmap)), backgroundColour(colourBlack) {
    clipArea = UiRect{0, 0, width, height};
    scale = uiscale::kUnit;  // a copy of the pixmap's own picture, pixel for pixel
    createBitmapFromPixmap(surface, usePixmapBitmap);
}

OffscreenSurface::~OffscreenSurface() { destroyBitmap(); }
