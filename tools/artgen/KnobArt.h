// The knob film strip: 65 frames of one knob turning clockwise over 270 degrees, on the panel blue.
#pragma once

class Canvas;

namespace art {

// Draws frame `frame` (0 = minimum at the lower left, 64 = maximum at the lower right) of the strip,
// background included, with its top-left corner at the current origin of `canvas`'s context.
void drawKnobFrame(Canvas& canvas, int frame);
// The whole strip: 42 x (65 x 37).
void drawKnobStrip(Canvas& strip);

}  // namespace art
