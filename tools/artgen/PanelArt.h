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

struct Scale;

// Fills the panel canvas (762 x 104 units at the scale) with the parts drawn at the same scale.
void drawPanel(Canvas& panel, const PanelParts& parts, const Scale& scale);

}  // namespace art
