// FilmstripKnob: picks the frame of the strip that shows the value.
#include "gui/controls/FilmstripKnob.h"

#include <cmath>

#include "gui/core/Pixmap.h"

FilmstripKnob::FilmstripKnob(const UiRect& bounds, ControlListener* listener, int32_t tag, int32_t frameCount,
                             int32_t frameHeight, Pixmap* strip, const UiPoint& imageOffset)
    : RotaryKnob(bounds, listener, tag, strip, nullptr, imageOffset),
      frameCount(frameCount),
      frameHeight(frameHeight) {
    inset = 0;
}

FilmstripKnob::~FilmstripKnob() = default;

int32_t FilmstripKnob::frameTop() {
    const float v = value;
    // A negative or NaN value shows the first frame.
    if (!(v >= 0.0f)) return 0;
    const int32_t span = (frameCount - 1) * frameHeight;  // first row of the last frame
    const double fraction = inverted ? 1.0 - static_cast<double>(v) : static_cast<double>(v);
    const double row = std::trunc(span * fraction);
    if (row < 0.0) return 0;
    // Beyond the last frame (a value above 1 set from outside): the row itself, kept within int range.
    if (row > span) return row > 2147483647.0 ? 2147483647 : static_cast<int32_t>(row);
    const int32_t t = static_cast<int32_t>(row);
    return frameHeight > 0 ? (t / frameHeight) * frameHeight : 0;
}

void FilmstripKnob::draw(DrawSurface* surface) {
    if (background) {
        const UiPoint from{0, frameTop()};
        if (transparent)
            background->drawTransparent(surface, bounds, from);
        else
            background->draw(surface, bounds, from);
    }
    setDirty(false);
}
