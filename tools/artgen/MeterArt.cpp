// The small pictures, set pixel by pixel: at these sizes every pixel is a design decision.
#include "tools/artgen/MeterArt.h"

#include "tools/artgen/ArtStyle.h"
#include "tools/artgen/Canvas.h"
#include "editor/PanelLayout.h"

namespace art {

namespace {

constexpr uint32_t kGap = 0x0a0d12;
constexpr uint32_t kGreen = 0x33d24a;
constexpr uint32_t kAmber = 0xffad18;
constexpr uint32_t kRed = 0xff3224;

uint32_t segmentColour(MeterColours colours, int segment) {
    if (colours == MeterColours::AllGreen || segment < 7) return kGreen;
    return segment < 11 ? kAmber : kRed;
}

// One lamp row: lit lamps have a bright top and a darker foot, unlit ones are the colour seen through
// dark glass.
uint32_t lampPixel(uint32_t base, bool lit, int row) {
    static const double lift[] = {0.38, 0.16, 0.0, 0.0, -0.14, -0.32};
    const uint32_t colour = lit ? base : mix(base, kGap, 0.8);
    const double t = lift[row] * (lit ? 1.0 : 0.5);
    return t >= 0 ? mix(colour, 0xffffff, t) : mix(colour, 0x000000, -t);
}

}  // namespace

void drawMeter(Canvas& canvas, MeterColours colours, bool lit) {
    const int lamp = layout::kMeterWidth / layout::kMeterSegments - 1;
    for (int x = 0; x < layout::kMeterWidth; ++x) {
        const int segment = x / (lamp + 1), column = x % (lamp + 1);
        for (int y = 0; y < layout::kMeterHeight; ++y) {
            uint32_t p = kGap;
            if (column < lamp) {
                p = lampPixel(segmentColour(colours, segment), lit, y);
                // Softened corners make each lamp read as a rounded LED.
                const bool corner = (column == 0 || column == lamp - 1) && (y == 0 || y == layout::kMeterHeight - 1);
                if (corner) p = mix(p, kGap, 0.55);
            }
            canvas.setPixel(x, y, p);
        }
    }
}

void drawReadoutBar(Canvas& canvas) {
    const int w = layout::kReadoutWidth, h = layout::kReadoutHeight;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t p = mix(0xdadee3, 0xc5cbd2, (y - 1) / double(h - 3));
            if (x == w - 1) p = 0xdde1e5;
            if (y == h - 1) p = 0xe8ebee;
            if (x == 0) p = 0xa4acb7;
            if (y == 0) p = 0x8e97a4;  // inset: the panel's shadow falls on the top edge
            canvas.setPixel(x, y, p);
        }
    }
}

}  // namespace art
