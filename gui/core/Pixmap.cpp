// Pixmap, neutral half: construction order and reference counting.
#include "gui/core/Pixmap.h"

Pixmap::Pixmap(int32_t resourceId) : resourceId(resourceId) { loadResource(); }

Pixmap::Pixmap(int32_t width, int32_t height) : width(width), height(height) { createBlank(); }

Pixmap::~Pixmap() { destroyBitmaps(); }

void Pixmap::retain() { ++retainCount; }

void Pixmap::release() {
    if (retainCount <= 0) return;
    if (--retainCount == 0) delete this;
}
