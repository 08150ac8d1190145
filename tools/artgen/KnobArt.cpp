// The knob film strip: a black knob with a white pointer inside a ring of scale ticks.
#include "tools/artgen/KnobArt.h"

#include <cmath>

#include "tools/artgen/ArtStyle.h"
#include "tools/artgen/Canvas.h"
#include "editor/PanelLayout.h"

namespace art {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double cx = layout::kKnobCentreX;
constexpr double cy = layout::kKnobCentreY;

// One strip serves every knob only if all knobs fall on the device grid alike: at 150 % that means
// left edges of one parity.
constexpr bool knobLeftsShareParity() {
    for (int left : layout::kKnobLefts)
        if ((left - layout::kKnobLefts[0]) % 2 != 0) return false;
    return true;
}
static_assert(knobLeftsShareParity(), "a knob at another sub-pixel phase needs a strip of its own");

// Unit vector of a panel angle (counter-clockwise, y up) in Cairo's y-down space.
void direction(double angle, double& dx, double& dy) {
    dx = std::cos(angle);
    dy = -std::sin(angle);
}

void drawScale(cairo_t* cr) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    setColour(cr, 0xc9d7ef, 0.45);
    cairo_set_line_width(cr, 0.9);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, 15.4, kPi * 0.75, kPi * 2.25);
    cairo_stroke(cr);
    for (int i = 0; i <= 10; ++i) {
        const bool major = i % 5 == 0;
        double dx, dy;
        direction(layout::kKnobStartAngle + layout::kKnobSweep * i / 10.0, dx, dy);
        const double inner = 14.0, outer = major ? 18.2 : 17.2;
        setColour(cr, major ? 0xf2f6fc : 0xc9d7ef);
        cairo_set_line_width(cr, major ? 1.4 : 1.0);
        cairo_move_to(cr, cx + dx * inner, cy + dy * inner);
        cairo_line_to(cr, cx + dx * outer, cy + dy * outer);
        cairo_stroke(cr);
    }
}

void drawBody(cairo_t* cr) {
    // Soft shadow thrown down and to the right.
    cairo_pattern_t* shadow = cairo_pattern_create_radial(cx + 0.8, cy + 1.6, 9.5, cx + 0.8, cy + 1.6, 14.2);
    cairo_pattern_add_color_stop_rgba(shadow, 0.0, 0.0, 0.02, 0.08, 0.6);
    cairo_pattern_add_color_stop_rgba(shadow, 1.0, 0.0, 0.02, 0.08, 0.0);
    cairo_set_source(cr, shadow);
    cairo_arc(cr, cx + 0.8, cy + 1.6, 14.2, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);

    // Skirt: lit from above, its bevel reads as a rim around the face.
    cairo_pattern_t* skirt = cairo_pattern_create_linear(0, cy - 12, 0, cy + 12);
    cairo_pattern_add_color_stop_rgb(skirt, 0.0, 0x74 / 255.0, 0x7c / 255.0, 0x8a / 255.0);
    cairo_pattern_add_color_stop_rgb(skirt, 0.55, 0x2c / 255.0, 0x30 / 255.0, 0x37 / 255.0);
    cairo_pattern_add_color_stop_rgb(skirt, 1.0, 0x10 / 255.0, 0x12 / 255.0, 0x16 / 255.0);
    cairo_arc(cr, cx, cy, 12.2, 0, 2 * kPi);
    cairo_set_source(cr, skirt);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(skirt);
    setColour(cr, 0x07090c);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);

    // Face: the gradient runs the other way, so it looks slightly dished.
    cairo_pattern_t* face = cairo_pattern_create_linear(0, cy - 10, 0, cy + 10);
    cairo_pattern_add_color_stop_rgb(face, 0.0, 0x1b / 255.0, 0x1e / 255.0, 0x23 / 255.0);
    cairo_pattern_add_color_stop_rgb(face, 1.0, 0x3b / 255.0, 0x40 / 255.0, 0x49 / 255.0);
    cairo_arc(cr, cx, cy, 9.9, 0, 2 * kPi);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);

    cairo_pattern_t* sheen = cairo_pattern_create_radial(cx - 3.5, cy - 4.5, 0.5, cx - 3.5, cy - 4.5, 8.0);
    cairo_pattern_add_color_stop_rgba(sheen, 0.0, 1, 1, 1, 0.16);
    cairo_pattern_add_color_stop_rgba(sheen, 1.0, 1, 1, 1, 0.0);
    cairo_arc(cr, cx, cy, 9.9, 0, 2 * kPi);
    cairo_set_source(cr, sheen);
    cairo_fill(cr);
    cairo_pattern_destroy(sheen);
}

void drawPointer(cairo_t* cr, double angle) {
    double dx, dy;
    direction(angle, dx, dy);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 2.0);
    setColour(cr, 0x000000, 0.5);
    cairo_move_to(cr, cx + dx * 3.4 + 0.4, cy + dy * 3.4 + 0.7);
    cairo_line_to(cr, cx + dx * 10.9 + 0.4, cy + dy * 10.9 + 0.7);
    cairo_stroke(cr);
    setColour(cr, 0xffffff);
    cairo_move_to(cr, cx + dx * 3.4, cy + dy * 3.4);
    cairo_line_to(cr, cx + dx * 10.9, cy + dy * 10.9);
    cairo_stroke(cr);
}

}  // namespace

int knobFrameHeight(const Scale& scale) { return scale.span(layout::kKnobTop, layout::kKnobHeight); }

void drawKnobStrip(Canvas& strip, const Scale& scale) {
    cairo_t* cr = strip.context();
    const int width = scale.span(layout::kKnobLefts[0], layout::kKnobWidth);
    const int height = knobFrameHeight(scale);
    for (int frame = 0; frame < layout::kKnobFrames; ++frame) {
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_translate(cr, 0, frame * height);
        cairo_rectangle(cr, 0, 0, width, height);
        cairo_clip(cr);
        fillPanelRows(cr, 0, frame * height, width, height, scale.px(layout::kKnobTop), scale.percent);
        // Every knob sits where the panel has it: the strip's pixels start at the device pixel its unit
        // corner falls in, so the picture keeps the corner's sub-pixel phase.
        cairo_translate(cr, scale.phase(layout::kKnobLefts[0]), scale.phase(layout::kKnobTop));
        cairo_scale(cr, scale.factor(), scale.factor());
        drawScale(cr);
        drawBody(cr);
        drawPointer(cr, layout::kKnobStartAngle + layout::kKnobSweep * frame / (layout::kKnobFrames - 1));
        cairo_restore(cr);
    }
    strip.flush();
}

}  // namespace art
