// The logo blocks at the two ends of the panel, and the mark they share.
#pragma once

#include <cairo.h>

namespace art {

constexpr double kLogoWidth = 59.0;
constexpr double kLogoHeight = 87.0;

// The mark: a ring around a compressor's transfer curve (straight up to the knee, then flat).
void drawMark(cairo_t* cr, double cx, double cy, double radius);
// Product block: mark, name, "STEREO COMPRESSOR". Top-left corner at (x, y).
void drawProductLogo(cairo_t* cr, double x, double y);
// Maker block: the maker's name above the mark and the product name.
void drawMakerLogo(cairo_t* cr, double x, double y);

}  // namespace art
