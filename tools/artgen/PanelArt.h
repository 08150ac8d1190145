// The front panel: rack panel, logo blocks, meter windows, framed sections with captions and scales.
#pragma once

class Canvas;

namespace art {

// Pictures the panel shows where the controls sit, copied pixel for pixel.
struct PanelParts {
    const Canvas& knobStrip;
    const Canvas& meterUnlit;
    const Canvas& greenMeterUnlit;
    const Canvas& readoutBar;
};

void drawPanel(Canvas& panel, const PanelParts& parts);

}  // namespace art
