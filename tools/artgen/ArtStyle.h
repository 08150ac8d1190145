// Colours, the panel's background and text helpers shared by every picture of the generator.
#pragma once

#include <cairo.h>

#include <cstdint>

#include "gui/core/UiScale.h"

namespace art {

// The scale a picture is drawn at: vector parts through Cairo's matrix, pixel parts in device pixels
// placed where the toolkit maps panel units (uiscale::toDevice).
struct Scale {
    int percent = 100;
    double factor() const { return percent / 100.0; }
    int px(int unit) const { return uiscale::toDevice(unit, percent); }
    // Device size of something placed at unit position pos with unit size size.
    int span(int pos, int size) const { return px(pos + size) - px(pos); }
    // Where unit position pos falls inside its first device pixel (0 or 0.5 at 150 %).
    double phase(int pos) const { return pos * factor() - px(pos); }
};

// Panel blue of one absolute device row of the panel drawn at a scale: a vertical gradient with a faint
// brushed grain that varies by row only, so any part of the panel can be redrawn elsewhere (the knob
// strip) without a seam.
uint32_t panelRowColour(int row, int percent = 100);
// Fills a device rectangle of the current target (whatever its matrix) with panel device rows firstRow,
// firstRow + 1, ...
void fillPanelRows(cairo_t* cr, int x, int y, int width, int height, int firstRow, int percent = 100);

void setColour(cairo_t* cr, uint32_t rgb, double alpha = 1.0);
uint32_t mix(uint32_t a, uint32_t b, double t);

enum class Align { Left, Centre, Right };
// Selects a font with grey anti-aliasing and hinted metrics, crisp at small sizes.
void setFont(cairo_t* cr, const char* family, double size, bool bold);
double textWidth(cairo_t* cr, const char* text);
// Draws one line whose capital letters are centred vertically on midY (snapped to the device pixel grid).
void drawText(cairo_t* cr, const char* text, double x, double midY, Align align, double tracking = 0.0);

}  // namespace art
