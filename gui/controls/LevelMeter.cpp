// LevelMeter: ballistics of the shown level and the split of the two pictures.
#include "gui/controls/LevelMeter.h"

#include "gui/core/Pixmap.h"

namespace {

UiRect normalised(const UiRect& r) {
    UiRect n = r;
    if (n.left > n.right) {
        n.left = r.right;
        n.right = r.left;
    }
    if (n.top > n.bottom) {
        n.top = r.bottom;
        n.bottom = r.top;
    }
    return n;
}

}  // namespace

LevelMeter::LevelMeter(const UiRect& bounds, Pixmap* onPixmap, Pixmap* offPixmap, int32_t segmentCount,
                       int32_t style)
    : ValueControl(bounds, nullptr, 0, nullptr),
      onPixmap(onPixmap),
      offPixmap(offPixmap),
      segmentCount(segmentCount),
      style(style),
      onArea(normalised(bounds)),
      offArea(normalised(bounds)) {
    if (onPixmap) onPixmap->retain();
    if (offPixmap) offPixmap->retain();
}

LevelMeter::~LevelMeter() {
    if (onPixmap) onPixmap->release();
    if (offPixmap) offPixmap->release();
}

void LevelMeter::setDirty(bool flag) { dirty = flag; }

void LevelMeter::setDecay(float newDecay) { decay = newDecay; }

void LevelMeter::draw(DrawSurface* surface) {
    if (!onPixmap) return;
    clampValue();
    // The level rises at once and falls by at most decay per redraw.
    float shown = previousValue - decay;
    const float target = value;
    if (shown < target) shown = target;
    previousValue = shown;

    // A meter without segments is not meaningful; one segment keeps the arithmetic defined.
    const int32_t segments = segmentCount > 0 ? segmentCount : 1;
    UiPoint onFrom{0, 0};
    UiPoint offFrom{0, 0};
    if (style & MeterHorizontal) {
        const int32_t lit = static_cast<int32_t>(shown * segments + 0.5);
        const int32_t x = static_cast<int32_t>(static_cast<double>(lit) / segments * onPixmap->getWidth());
        onArea.right = bounds.left + x;
        offArea.left = bounds.left + x;
        offFrom = UiPoint{x, 0};
    } else {
        const int32_t dark = static_cast<int32_t>((maximum - shown) * segments + 0.5);
        const int32_t y = static_cast<int32_t>(static_cast<double>(dark) / segments * onPixmap->getHeight());
        offArea.bottom = bounds.top + y;
        onArea.top = bounds.top + y;
        onFrom = UiPoint{0, y};
    }

    if (offPixmap) {
        if (transparent)
            offPixmap->drawTransparent(surface, offArea, offFrom);
        else
            offPixmap->draw(surface, offArea, offFrom);
    }
    if (transparent)
        onPixmap->drawTransparent(surface, onArea, onFrom);
    else
        onPixmap->draw(surface, onArea, onFrom);
}
