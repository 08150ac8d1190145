// VerticalFader: a Fader whose track always runs vertically.
#pragma once

#include "gui/controls/Fader.h"

class VerticalFader : public Fader {
public:
    VerticalFader(const UiRect& bounds, ControlListener* listener, int32_t tag, int32_t minPosition,
                  int32_t maxPosition, Pixmap* handle, Pixmap* background, const UiPoint& imageOffset,
                  int32_t style);
};
