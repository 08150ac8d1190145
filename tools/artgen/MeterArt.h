// The small pictures: meter segments (lit and unlit, mixed or all green) and the value bar.
#pragma once

class Canvas;

namespace art {

enum class MeterColours { GreenAmberRed, AllGreen };
// 96 x 6: 12 segments of 8 pixels, a 7-pixel lamp and a 1-pixel gap each.
void drawMeter(Canvas& canvas, MeterColours colours, bool lit);
// 51 x 9: the light grey bar under the value texts.
void drawReadoutBar(Canvas& canvas);

}  // namespace art
