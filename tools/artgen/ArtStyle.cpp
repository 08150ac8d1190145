// Colours, the panel's background and text helpers shared by every picture of the generator.
#include "tools/artgen/ArtStyle.h"

#include <cmath>
#include <cstring>

#include "editor/PanelLayout.h"

namespace art {

namespace {

// Small integer hash: the grain must be the same on every run and every machine.
uint32_t hashRow(uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352du;
    v ^= v >> 15;
    v *= 0x846ca68bu;
    v ^= v >> 16;
    return v;
}

int channelOf(uint32_t rgb, int shift) { return static_cast<int>((rgb >> shift) & 0xffu); }

}  // namespace

uint32_t mix(uint32_t a, uint32_t b, double t) {
    uint32_t out = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        const double v = channelOf(a, shift) + (channelOf(b, shift) - channelOf(a, shift)) * t;
        out |= static_cast<uint32_t>(std::lround(std::fmin(255.0, std::fmax(0.0, v)))) << shift;
    }
    return out;
}

uint32_t panelRowColour(int row, int percent) {
    const uint32_t top = 0x2a5cab, bottom = 0x1c468e;
    // The gradient runs over panel units: a device row's centre, in units.
    const double unitRow = (row + 0.5) * 100.0 / percent - 0.5;
    const double t = unitRow / (layout::kPanelHeight - 1);
    const uint32_t base = mix(top, bottom, t);
    // Grain of -2..+2 levels, a little stronger every few rows like a brushed sheet.
    const int grain = static_cast<int>(hashRow(static_cast<uint32_t>(row) + 977u) % 5u) - 2;
    uint32_t out = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        int v = channelOf(base, shift) + grain;
        v = v < 0 ? 0 : (v > 255 ? 255 : v);
        out |= static_cast<uint32_t>(v) << shift;
    }
    return out;
}

void fillPanelRows(cairo_t* cr, int x, int y, int width, int height, int firstRow, int percent) {
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    for (int r = 0; r < height; ++r) {
        setColour(cr, panelRowColour(firstRow + r, percent));
        cairo_rectangle(cr, x, y + r, width, 1);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void setColour(cairo_t* cr, uint32_t rgb, double alpha) {
    cairo_set_source_rgba(cr, channelOf(rgb, 16) / 255.0, channelOf(rgb, 8) / 255.0, channelOf(rgb, 0) / 255.0,
                          alpha);
}

void setFont(cairo_t* cr, const char* family, double size, bool bold) {
    cairo_select_font_face(cr, family, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double textWidth(cairo_t* cr, const char* text) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    return extents.x_advance;
}

void drawText(cairo_t* cr, const char* text, double x, double midY, Align align, double tracking) {
    const size_t count = std::strlen(text);
    const double width = textWidth(cr, text) + tracking * (count > 0 ? count - 1 : 0);
    double left = x;
    if (align == Align::Centre) left = x - width / 2;
    if (align == Align::Right) left = x - width;
    cairo_text_extents_t capital;
    cairo_text_extents(cr, "H", &capital);
    // Snapped in device space, so text stays crisp under a scaling matrix.
    double baseline = midY - capital.y_bearing / 2;
    cairo_user_to_device(cr, &left, &baseline);
    left = std::round(left);
    baseline = std::round(baseline);
    cairo_device_to_user(cr, &left, &baseline);
    if (tracking == 0.0) {
        cairo_move_to(cr, left, baseline);
        cairo_show_text(cr, text);
        return;
    }
    char one[2] = {0, 0};
    for (size_t i = 0; i < count; ++i) {
        one[0] = text[i];
        cairo_move_to(cr, left, baseline);
        cairo_show_text(cr, one);
        left += textWidth(cr, one) + tracking;
    }
}

}  // namespace art
