// The logo blocks: dark inset plates carrying our mark and names.
#include "tools/artgen/LogoArt.h"

#include "tools/artgen/ArtStyle.h"

namespace art {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kAmber = 0xffb428;

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 1.5 * kPi);
    cairo_close_path(cr);
}

void drawPlate(cairo_t* cr, double x, double y) {
    roundedRect(cr, x + 0.5, y + 0.8, kLogoWidth, kLogoHeight, 4);
    setColour(cr, 0xa9c2ec, 0.40);
    cairo_fill(cr);
    roundedRect(cr, x, y, kLogoWidth, kLogoHeight, 4);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, y, 0, y + kLogoHeight);
    cairo_pattern_add_color_stop_rgb(fill, 0.0, 0.055, 0.11, 0.22);
    cairo_pattern_add_color_stop_rgb(fill, 1.0, 0.035, 0.075, 0.16);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    setColour(cr, 0x030814, 0.9);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void drawName(cairo_t* cr, double centre, double midY, double size) {
    setFont(cr, "Liberation Sans Narrow", size, true);
    setColour(cr, 0xffffff);
    drawText(cr, "VozuvAzirOVA", centre, midY, Align::Centre);
}

}  // namespace

void drawMark(cairo_t* cr, double cx, double cy, double radius) {
    // A soft amber glow under the curve's knee.
    cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, 1.0, 0.7, 0.15, 0.22);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, 1.0, 0.7, 0.15, 0.0);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);

    setColour(cr, 0xe6ecf7);
    cairo_set_line_width(cr, radius * 0.11);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_stroke(cr);

    // Transfer curve: 1:1 below the knee, a shallow ratio above it; the tips sit on the ring.
    const double s = radius / 14.0;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 2.3 * s);
    setColour(cr, kAmber);
    cairo_move_to(cr, cx - 8.0 * s, cy + 8.0 * s);
    cairo_line_to(cr, cx + 0.5 * s, cy - 0.5 * s);
    cairo_curve_to(cr, cx + 2.0 * s, cy - 2.0 * s, cx + 3.0 * s, cy - 2.4 * s, cx + 9.5 * s, cy - 4.0 * s);
    cairo_stroke(cr);
    cairo_arc(cr, cx + 0.5 * s, cy - 0.5 * s, 1.6 * s, 0, 2 * kPi);
    setColour(cr, 0xffffff);
    cairo_fill(cr);
}

void drawProductLogo(cairo_t* cr, double x, double y) {
    drawPlate(cr, x, y);
    const double centre = x + kLogoWidth / 2;
    drawMark(cr, centre, y + 25, 14);
    drawName(cr, centre, y + 52, 9.5);
    setColour(cr, kAmber, 0.85);
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, centre - 16, y + 60.5);
    cairo_line_to(cr, centre + 16, y + 60.5);
    cairo_stroke(cr);
    setFont(cr, "Liberation Sans", 5.5, true);
    setColour(cr, 0xaec4ea);
    drawText(cr, "STEREO", centre, y + 68, Align::Centre, 1.2);
    drawText(cr, "COMPRESSOR", centre, y + 77, Align::Centre, 0.6);
}

void drawMakerLogo(cairo_t* cr, double x, double y) {
    drawPlate(cr, x, y);
    const double centre = x + kLogoWidth / 2;
    setFont(cr, "Liberation Sans", 8.0, true);
    setColour(cr, 0xaec4ea);
    drawText(cr, "BroVane", centre, y + 14, Align::Centre, 0.15);
    drawMark(cr, centre, y + 41, 14);
    drawName(cr, centre, y + 68, 9.5);
    setColour(cr, kAmber, 0.85);
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, centre - 16, y + 76.5);
    cairo_line_to(cr, centre + 16, y + 76.5);
    cairo_stroke(cr);
}

}  // namespace art
