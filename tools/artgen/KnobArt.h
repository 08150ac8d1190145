// The knob film strip: 65 frames of one knob turning clockwise over 270 degrees, on the panel blue.
#pragma once

class Canvas;

namespace art {

struct Scale;

// Device rows of one frame at a scale (37 at 100 %): the knob's place on the panel spans that many.
int knobFrameHeight(const Scale& scale);
// The whole strip, frame 0 (minimum, lower left) to 64 (maximum, lower right): 42 x (65 x 37) at 100 %,
// each frame drawn natively at the scale.
void drawKnobStrip(Canvas& strip, const Scale& scale);

}  // namespace art
