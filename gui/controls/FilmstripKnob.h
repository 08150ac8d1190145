// FilmstripKnob: a rotary knob drawn as one frame of a vertical film strip; input is the RotaryKnob's.
#pragma once

#include <cstdint>

#include "gui/controls/RotaryKnob.h"

class FilmstripKnob : public RotaryKnob {
public:
    // strip: frameCount frames of frameHeight rows stacked top to bottom, the first showing the minimum.
    FilmstripKnob(const UiRect& bounds, ControlListener* listener, int32_t tag, int32_t frameCount,
                  int32_t frameHeight, Pixmap* strip, const UiPoint& imageOffset);
    ~FilmstripKnob() override;

    void draw(DrawSurface* surface) override;

    // First row of the strip that shows the current value.
    int32_t frameTop();

    void setInverted(bool flag) { inverted = flag; }
    bool isInverted() const { return inverted; }
    int32_t getFrameCount() const { return frameCount; }
    int32_t getFrameHeight() const { return frameHeight; }

protected:
    int32_t frameCount = 0;
    int32_t frameHeight = 0;
    bool inverted = false;  // the strip runs from the maximum (top) to the minimum
};
