// Toolkit art the editor does not show: a fader bay in the panel's style, its track and its handle.
#include "tools/artgen/FaderArt.h"

#include <cstdio>

#include "tools/artgen/ArtStyle.h"
#include "tools/artgen/Canvas.h"
#include "tools/artgen/LogoArt.h"

namespace art {

void drawFaderPanel(Canvas& canvas) {
    cairo_t* cr = canvas.context();
    const int w = canvas.width(), h = canvas.height();
    cairo_pattern_t* blue = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(blue, 0.0, 0x2a / 255.0, 0x5c / 255.0, 0xab / 255.0);
    cairo_pattern_add_color_stop_rgb(blue, 1.0, 0x1c / 255.0, 0x46 / 255.0, 0x8e / 255.0);
    cairo_set_source(cr, blue);
    cairo_paint(cr);
    cairo_pattern_destroy(blue);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, 0xffffff, 0.3);
    cairo_move_to(cr, 0, 0.5);
    cairo_line_to(cr, w, 0.5);
    cairo_move_to(cr, 0.5, 0);
    cairo_line_to(cr, 0.5, h);
    cairo_stroke(cr);
    setColour(cr, 0x000000, 0.4);
    cairo_move_to(cr, 0, h - 0.5);
    cairo_line_to(cr, w, h - 0.5);
    cairo_move_to(cr, w - 0.5, 0);
    cairo_line_to(cr, w - 0.5, h);
    cairo_stroke(cr);

    drawMark(cr, 22, 20, 10);
    setFont(cr, "Liberation Sans", 9.0, true);
    setColour(cr, 0xffffff);
    drawText(cr, "VozuvAzirOVA", 38, 16, Align::Left);
    setFont(cr, "Liberation Sans", 6.0, true);
    setColour(cr, 0xaec4ea);
    drawText(cr, "LEVEL", 38, 25, Align::Left, 1.0);

    // Scale beside the track place (x 60..76, y 45..205): 0 at the bottom, 10 at the top.
    const double trackCentre = 67.5, top = 51, bottom = 199;
    setFont(cr, "Liberation Sans", 6.5, false);
    for (int i = 0; i <= 10; ++i) {
        const double y = bottom - (bottom - top) * i / 10.0;
        const bool major = i % 2 == 0;
        setColour(cr, 0xd5e0f2);
        cairo_move_to(cr, trackCentre - 20, y + 0.5);
        cairo_line_to(cr, trackCentre - (major ? 11 : 14), y + 0.5);
        cairo_move_to(cr, trackCentre + (major ? 11 : 14), y + 0.5);
        cairo_line_to(cr, trackCentre + 20, y + 0.5);
        cairo_stroke(cr);
        if (major) {
            char label[4];
            std::snprintf(label, sizeof label, "%d", i);
            drawText(cr, label, trackCentre - 24, y + 0.5, Align::Right);
            drawText(cr, label, trackCentre + 24, y + 0.5, Align::Left);
        }
    }
    // The recess the track sits in.
    setColour(cr, 0xa9c2ec, 0.45);
    cairo_rectangle(cr, trackCentre - 9, 44, 19, 163);
    cairo_fill(cr);
    setColour(cr, 0x0b1a36);
    cairo_rectangle(cr, trackCentre - 9, 44, 18, 162);
    cairo_fill(cr);
}

void drawFaderTrack(Canvas& canvas) {
    const int w = canvas.width(), h = canvas.height();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t p = 0x11254a;
            if (x >= 6 && x <= 9 && y >= 4 && y < h - 4) {
                p = x == 6 ? 0x000000 : (x == 9 ? 0x3a4a68 : 0x05080f);  // the slot
            } else if ((y - 8) % 16 == 0 && y >= 8 && y < h - 4 && (x <= 3 || x >= 12)) {
                p = 0x8ea8d4;  // ticks on both sides
            }
            canvas.setPixel(x, y, p);
        }
    }
}

void drawFaderHandle(Canvas& canvas) {
    const int w = canvas.width(), h = canvas.height();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t p = mix(0xe4e7eb, 0x9ba1aa, y / double(h - 1));
            if (y == 0 || x == 0) p = 0xf4f5f7;
            if (y == h - 1 || x == w - 1) p = 0x5d636c;
            if (y == h / 2 - 1) p = 0x1c1f24;  // the grip line across the cap
            if (y == h / 2) p = 0xfafbfc;
            const bool corner = (x == 0 || x == w - 1) && (y == 0 || y == h - 1);
            canvas.setPixel(x, y, corner ? 0xffffff : p);
        }
    }
}

}  // namespace art
