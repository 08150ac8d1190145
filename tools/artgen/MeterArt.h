// The small pictures: meter segments (lit and unlit, mixed or all green) and the value bar.
#pragma once

class Canvas;

namespace art {

enum class MeterColours { GreenAmberRed, AllGreen };
// Fills the canvas: 12 segments; at 96 x 6 (100 %) 8 pixels each, a 7-pixel lamp and a 1-pixel gap.
void drawMeter(Canvas& canvas, MeterColours colours, bool lit);
// Fills the canvas (51 x 9 at 100 %) with the light grey bar under the value texts.
void drawReadoutBar(Canvas& canvas, int percent);

}  // namespace art
