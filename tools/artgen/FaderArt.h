// Toolkit art the editor does not show: a fader bay, its track and its handle.
#pragma once

class Canvas;

namespace art {

void drawFaderPanel(Canvas& canvas);   // 135 x 215
void drawFaderTrack(Canvas& canvas);   // 16 x 160
void drawFaderHandle(Canvas& canvas);  // 14 x 12, white corners left out by transparent drawing

}  // namespace art
