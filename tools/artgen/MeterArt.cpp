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

// The light across a lamp's height, top to foot, at the six rows of the 100 % picture; other heights
// take it at their rows' centres.
double lampLift(int row, int height) {
    static const double lift[] = {0.38, 0.16, 0.0, 0.0, -0.14, -0.32};
    constexpr int last = 5;
    double u = (row + 0.5) * 6.0 / height - 0.5;
    u = u < 0 ? 0 : (u > last ? last : u);
    const int i = static_cast<int>(u);
    const double f = u - i;
    return f == 0.0 ? lift[i] : lift[i] + (lift[i + 1] - lift[i]) * f;
}

// One lamp row: lit lamps have a bright top and a darker foot, unlit ones are the colour seen through
// dark glass.
uint32_t lampPixel(uint32_t base, bool lit, int row, int height) {
    const uint32_t colour = lit ? base : mix(base, kGap, 0.8);
    const double t = lampLift(row, height) * (lit ? 1.0 : 0.5);
    return t >= 0 ? mix(colour, 0xffffff, t) : mix(colour, 0x000000, -t);
}

}  // namespace

void drawMeter(Canvas& canvas, MeterColours colours, bool lit) {
    const int width = canvas.width(), height = canvas.height();
    const int pitch = width / layout::kMeterSegments;
    const int gap = pitch / 8 > 1 ? pitch / 8 : 1;
    const int lamp = pitch - gap;
    for (int x = 0; x < width; ++x) {
        const int segment = x / pitch, column = x % pitch;
        for (int y = 0; y < height; ++y) {
            uint32_t p = kGap;
            if (column < lamp) {
                p = lampPixel(segmentColour(colours, segment), lit, y, height);
                // Softened corners make each lamp read as a rounded LED.
                const bool corner = (column == 0 || column == lamp - 1) && (y == 0 || y == height - 1);
                if (corner) p = mix(p, kGap, 0.55);
            }
            canvas.setPixel(x, y, p);
        }
    }
}

void drawReadoutBar(Canvas& canvas, int percent) {
    const int w = canvas.width(), h = canvas.height();
    const int edge = percent >= 200 ? percent / 100 : 1;  // edge lines in whole device pixels
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t p = mix(0xdadee3, 0xc5cbd2, (y - edge) / double(h - 2 * edge - 1));
            if (x >= w - edge) p = 0xdde1e5;
            if (y >= h - edge) p = 0xe8ebee;
            if (x < edge) p = 0xa4acb7;
            if (y < edge) p = 0x8e97a4;  // inset: the panel's shadow falls on the top edge
            canvas.setPixel(x, y, p);
        }
    }
}

}  // namespace art
