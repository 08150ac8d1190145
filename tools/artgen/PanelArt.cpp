// The front panel, painted back to front; the control places are pixel copies of the control pictures.
#include "tools/artgen/PanelArt.h"

#include <cmath>

#include "tools/artgen/ArtStyle.h"
#include "tools/artgen/Canvas.h"
#include "tools/artgen/KnobArt.h"
#include "tools/artgen/LogoArt.h"
#include "editor/PanelLayout.h"

namespace art {

namespace {

constexpr double kPi = 3.14159265358979323846;

// One value bar picture serves every read-out only if their left edges map alike (one parity at 150 %).
constexpr bool readoutLeftsShareParity() {
    for (int left : layout::kReadoutLefts)
        if ((left - layout::kReadoutLefts[0]) % 2 != 0) return false;
    return true;
}
static_assert(readoutLeftsShareParity(), "a read-out at another sub-pixel phase needs a bar of its own");

constexpr const char* kSans = "Liberation Sans";
constexpr uint32_t kCaptionColour = 0xeef2f9;
constexpr uint32_t kScaleColour = 0xd5e0f2;
constexpr uint32_t kGrooveDark = 0x0b1b3d;
constexpr uint32_t kGrooveLight = 0x86a6dc;

void drawBevel(cairo_t* cr) {
    const double w = layout::kPanelWidth, h = layout::kPanelHeight;
    cairo_set_line_width(cr, 1.0);
    struct Line {
        double x0, y0, x1, y1;
        uint32_t colour;
        double alpha;
    };
    const Line lines[] = {
        {0, 0.5, w, 0.5, 0xffffff, 0.30},         {0, 1.5, w, 1.5, 0xffffff, 0.10},
        {0, h - 0.5, w, h - 0.5, 0x000000, 0.45}, {0, h - 1.5, w, h - 1.5, 0x000000, 0.18},
        {0.5, 1, 0.5, h - 1, 0xffffff, 0.18},     {w - 0.5, 1, w - 0.5, h - 1, 0x000000, 0.35},
    };
    for (const Line& l : lines) {
        setColour(cr, l.colour, l.alpha);
        cairo_move_to(cr, l.x0, l.y0);
        cairo_line_to(cr, l.x1, l.y1);
        cairo_stroke(cr);
    }
}

void drawMountingHole(cairo_t* cr, double x, double y, double screwTurn) {
    // The slot: a stadium sunk into the panel, dark inside, with a lit lower lip.
    const double halfWidth = 5.5, halfHeight = 12.0;
    auto slot = [&](double dx, double dy) {
        cairo_new_path(cr);
        cairo_arc(cr, x + dx, y + dy - halfHeight + halfWidth, halfWidth, kPi, 2 * kPi);
        cairo_arc(cr, x + dx, y + dy + halfHeight - halfWidth, halfWidth, 0, kPi);
        cairo_close_path(cr);
    };
    slot(0, 0.8);
    setColour(cr, 0xa9c2ec, 0.45);
    cairo_fill(cr);
    slot(0, 0);
    cairo_pattern_t* inside = cairo_pattern_create_linear(0, y - halfHeight, 0, y + halfHeight);
    cairo_pattern_add_color_stop_rgb(inside, 0.0, 0.01, 0.02, 0.05);
    cairo_pattern_add_color_stop_rgb(inside, 1.0, 0.06, 0.09, 0.16);
    cairo_set_source(cr, inside);
    cairo_fill(cr);
    cairo_pattern_destroy(inside);

    // The screw head, pan shaped, with a cross recess turned a little.
    const double r = 6.4;
    cairo_arc(cr, x + 0.6, y + 1.2, r + 0.6, 0, 2 * kPi);
    setColour(cr, 0x000000, 0.55);
    cairo_fill(cr);
    cairo_pattern_t* head = cairo_pattern_create_radial(x - 2.2, y - 2.6, 0.5, x, y, r + 0.5);
    cairo_pattern_add_color_stop_rgb(head, 0.0, 0.97, 0.98, 0.99);
    cairo_pattern_add_color_stop_rgb(head, 0.55, 0.72, 0.75, 0.79);
    cairo_pattern_add_color_stop_rgb(head, 1.0, 0.42, 0.45, 0.50);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    cairo_set_source(cr, head);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(head);
    setColour(cr, 0x2a2f37);
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);

    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, screwTurn);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int pass = 0; pass < 2; ++pass) {
        // First a light edge below the recess, then the recess itself.
        const double shift = pass == 0 ? 0.6 : 0.0;
        setColour(cr, pass == 0 ? 0xffffff : 0x262a31, pass == 0 ? 0.5 : 1.0);
        cairo_set_line_width(cr, 1.5);
        cairo_move_to(cr, -3.6 + shift, shift);
        cairo_line_to(cr, 3.6 + shift, shift);
        cairo_move_to(cr, shift, -3.6 + shift);
        cairo_line_to(cr, shift, 3.6 + shift);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

// An engraved line: a dark cut with the light catching its lower right edge.
void groove(cairo_t* cr, double x0, double y0, double x1, double y1) {
    cairo_set_line_width(cr, 1.0);
    setColour(cr, kGrooveLight, 0.40);
    cairo_move_to(cr, x0 + 1, y0 + 1);
    cairo_line_to(cr, x1 + 1, y1 + 1);
    cairo_stroke(cr);
    setColour(cr, kGrooveDark, 0.75);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

void drawSectionFrames(cairo_t* cr) {
    const double l = layout::kSectionLeft, r = layout::kSectionRight;
    const double t = layout::kSectionTop, b = layout::kSectionBottom;
    groove(cr, l, t, r, t);
    groove(cr, l, b, r, b);
    groove(cr, l, t, l, b);
    groove(cr, r, t, r, b);
    for (double x : layout::kDividers) groove(cr, x, t, x, b);
}

void drawRedLamp(cairo_t* cr, double x, double y) {
    cairo_pattern_t* glow = cairo_pattern_create_radial(x, y, 1.0, x, y, 5.5);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, 1.0, 0.25, 0.15, 0.55);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, 1.0, 0.25, 0.15, 0.0);
    cairo_arc(cr, x, y, 5.5, 0, 2 * kPi);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    cairo_arc(cr, x, y, 2.9, 0, 2 * kPi);
    setColour(cr, 0x1a0a0a);
    cairo_fill(cr);
    cairo_pattern_t* lens = cairo_pattern_create_radial(x - 0.7, y - 0.8, 0.2, x, y, 2.3);
    cairo_pattern_add_color_stop_rgb(lens, 0.0, 1.0, 0.86, 0.80);
    cairo_pattern_add_color_stop_rgb(lens, 0.45, 1.0, 0.22, 0.14);
    cairo_pattern_add_color_stop_rgb(lens, 1.0, 0.62, 0.04, 0.03);
    cairo_arc(cr, x, y, 2.2, 0, 2 * kPi);
    cairo_set_source(cr, lens);
    cairo_fill(cr);
    cairo_pattern_destroy(lens);
}

// Section names sit in gaps of the frame's top groove.
void drawSectionTitles(cairo_t* cr, const Scale& scale) {
    struct Title {
        const char* text;
        double left, right;
        bool lamp;
    };
    const double d0 = layout::kDividers[0], d1 = layout::kDividers[1], d2 = layout::kDividers[2];
    const Title titles[] = {{"GAIN", layout::kSectionLeft, d0, false},
                            {"FILTER", d0, d1, true},
                            {"GATE", d1, d2, false},
                            {"COMPRESSOR", d2, layout::kSectionRight, false}};
    const double tracking = 0.7, midY = layout::kSectionBottom + 0.5;
    setFont(cr, kSans, 7.5, true);
    for (const Title& t : titles) {
        const double width = textWidth(cr, t.text) + tracking * 9;
        const double lampSpace = t.lamp ? 9.0 : 0.0;
        const double centre = std::round((t.left + t.right) / 2 - lampSpace / 2);
        const int gapLeft = static_cast<int>(std::floor(centre - (width + tracking * 0) / 2 - 4));
        const int gapRight = static_cast<int>(std::ceil(centre + width / 2 + lampSpace + 3));
        fillPanelRows(cr, scale.px(gapLeft), scale.px(96), scale.px(gapRight) - scale.px(gapLeft), scale.span(96, 4),
                      scale.px(96), scale.percent);
        setColour(cr, kCaptionColour);
        drawText(cr, t.text, centre, midY, Align::Centre, tracking);
        if (t.lamp) drawRedLamp(cr, centre + width / 2 + 5.5, midY);
    }
}

// A small light plate above every knob, carrying its name.
void drawKnobCaption(cairo_t* cr, int knobLeft, const char* text) {
    setFont(cr, kSans, 6.5, true);
    const double centre = knobLeft + layout::kKnobCentreX;
    const double width = std::ceil(textWidth(cr, text) + 7);
    const double left = std::round(centre - width / 2), top = 28, height = 8;
    setColour(cr, 0x000000, 0.35);
    cairo_rectangle(cr, left + 1, top + 1, width, height);
    cairo_fill(cr);
    cairo_pattern_t* plate = cairo_pattern_create_linear(0, top, 0, top + height);
    cairo_pattern_add_color_stop_rgb(plate, 0.0, 0.90, 0.92, 0.95);
    cairo_pattern_add_color_stop_rgb(plate, 1.0, 0.77, 0.80, 0.85);
    cairo_rectangle(cr, left, top, width, height);
    cairo_set_source(cr, plate);
    cairo_fill(cr);
    cairo_pattern_destroy(plate);
    setColour(cr, 0x0d1c40);
    drawText(cr, text, centre, top + height / 2.0, Align::Centre, 0.2);
}

// Scale end values under the lower ends of the tick ring.
void drawScaleLabels(cairo_t* cr, int knobLeft, const char* low, const char* high) {
    setFont(cr, kSans, 6.0, false);
    setColour(cr, kScaleColour);
    const double reach = 12.6;  // horizontal distance of the end ticks from the knob centre
    // Figures are all one width in this font; drawn a little tighter, "150" and "+20" read as one word.
    drawText(cr, low, knobLeft + layout::kKnobCentreX - reach, 79.5, Align::Centre, -0.3);
    drawText(cr, high, knobLeft + layout::kKnobCentreX + reach, 79.5, Align::Centre, -0.3);
}

void drawMeterWindow(Canvas& panel, const Scale& scale, int left, const Canvas& picture, const char* caption,
                     bool colouredScale) {
    cairo_t* cr = panel.context();
    const int top = layout::kMeterTop, w = layout::kMeterWidth, h = layout::kMeterHeight;
    // Bezel: a dark frame with the light catching its lower and right edges.
    setColour(cr, 0xa9c2ec, 0.45);
    cairo_rectangle(cr, left - 2, top - 2, w + 5, h + 5);
    cairo_fill(cr);
    setColour(cr, 0x050a15);
    cairo_rectangle(cr, left - 2, top - 2, w + 4, h + 4);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.0);
    for (int k = 0; k < layout::kMeterSegments; ++k) {
        uint32_t colour = kScaleColour;
        if (colouredScale && k >= 7) colour = k < 11 ? 0xffb84a : 0xff5a48;
        setColour(cr, colour);
        const double x = left + k * (w / layout::kMeterSegments) + 3.5;
        cairo_move_to(cr, x, top - 6);
        cairo_line_to(cr, x, top - 3);
        cairo_stroke(cr);
    }
    setFont(cr, kSans, 7.0, true);
    setColour(cr, kCaptionColour);
    drawText(cr, caption, left - 6, top + h / 2.0, Align::Right, 0.3);
    panel.copyFrom(picture, 0, 0, picture.width(), picture.height(), scale.px(left), scale.px(top));
}

}  // namespace

void drawPanel(Canvas& panel, const PanelParts& parts, const Scale& scale) {
    cairo_t* cr = panel.context();
    fillPanelRows(cr, 0, 0, panel.width(), panel.height(), 0, scale.percent);
    cairo_save(cr);
    cairo_scale(cr, scale.factor(), scale.factor());
    drawBevel(cr);
    drawMountingHole(cr, 13, 52, 0.35);
    drawMountingHole(cr, layout::kPanelWidth - 13, 52, -0.6);
    drawProductLogo(cr, 25.5, 8.5);
    drawMakerLogo(cr, layout::kPanelWidth - 25.5 - kLogoWidth, 8.5);
    drawSectionFrames(cr);
    drawSectionTitles(cr, scale);

    struct Knob {
        const char* caption;
        const char* low;
        const char* high;
    };
    const Knob knobs[] = {{"INP. GAIN", "-20", "+20"}, {"LPF SHELF", "1", "22k"},   {"HPF SHELF", "1", "22k"},
                          {"THRESHOLD", "-60", "0"},   {"ATTACK", "0", "15"},       {"RELEASE", "0", "0,5"},
                          {"THRESHOLD", "-60", "0"},   {"RATIO", "0", "30"},        {"ATTACK", "0", "150"},
                          {"RELEASE", "0", "0,5"},     {"M.UP GAIN", "-20", "+20"}};
    for (int i = 0; i < 11; ++i) {
        drawKnobCaption(cr, layout::kKnobLefts[i], knobs[i].caption);
        drawScaleLabels(cr, layout::kKnobLefts[i], knobs[i].low, knobs[i].high);
    }
    drawMeterWindow(panel, scale, layout::kInputMeterLeft, parts.meterUnlit, "INPUT:", true);
    drawMeterWindow(panel, scale, layout::kReductionMeterLeft, parts.greenMeterUnlit, "GAIN REDUCTION:", false);
    drawMeterWindow(panel, scale, layout::kOutputMeterLeft, parts.meterUnlit, "OUTPUT:", true);
    cairo_restore(cr);

    // The control places last, so nothing painted above can leak into them.
    const Canvas& bar = parts.readoutBar;
    for (int left : layout::kReadoutLefts) {
        panel.copyFrom(bar, 0, 0, bar.width(), bar.height(), scale.px(left), scale.px(layout::kReadoutTop));
    }
    const int frameHeight = knobFrameHeight(scale);
    const int frameTop = layout::kPaintedKnobFrame * frameHeight;
    for (int left : layout::kKnobLefts) {
        panel.copyFrom(parts.knobStrip, 0, frameTop, parts.knobStrip.width(), frameHeight, scale.px(left),
                       scale.px(layout::kKnobTop));
    }
    panel.flush();
}

}  // namespace art
