// VerticalFader: a Fader marked as the vertical kind.
#include "gui/controls/VerticalFader.h"

VerticalFader::VerticalFader(const UiRect& bounds, ControlListener* listener, int32_t tag, int32_t minPosition,
                             int32_t maxPosition, Pixmap* handle, Pixmap* background, const UiPoint& imageOffset,
                             int32_t style)
    : Fader(bounds, listener, tag, minPosition, maxPosition, handle, background, imageOffset,
            style | FaderVertical) {}
