// Colours, the panel's background and text helpers shared by every picture of the generator.
#pragma once

#include <cairo.h>

#include <cstdint>

namespace art {

// Panel blue of one absolute panel row: a vertical gradient with a faint brushed grain that varies by row
// only, so any part of the panel can be redrawn elsewhere (the knob strip) without a seam.
uint32_t panelRowColour(int row);
// Fills a rectangle of the current target with panel rows firstRow, firstRow + 1, ...
void fillPanelRows(cairo_t* cr, int x, int y, int width, int height, int firstRow);

void setColour(cairo_t* cr, uint32_t rgb, double alpha = 1.0);
uint32_t mix(uint32_t a, uint32_t b, double t);

enum class Align { Left, Centre, Right };
// Selects a font with grey anti-aliasing and hinted metrics, crisp at small sizes.
void setFont(cairo_t* cr, const char* family, double size, bool bold);
double textWidth(cairo_t* cr, const char* text);
// Draws one line whose capital letters are centred vertically on midY (snapped to the pixel grid).
void drawText(cairo_t* cr, const char* text, double x, double midY, Align align, double tracking = 0.0);

}  // namespace art
