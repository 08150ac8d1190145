// Font resolution, text metrics and glyph drawing over Cairo and fontconfig.
#include "gui/platform/cairo/HeadlessFont.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Code page 1252 for the bytes 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr uint16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The Symbol font puts Greek letters on the Latin ones.
constexpr uint16_t symbolUpper[26] = {
    0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C,
    0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396,
};
constexpr uint16_t symbolLower[26] = {
    0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC,
    0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6,
};

void appendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// fontconfig's best match for the face, with the weight and slant asked for; its family name, or the
// face itself when fontconfig has nothing better.
std::string resolveFamily(const char* face, bool bold, bool italic) {
    std::string family = face;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return family;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match) {
        FcChar8* name = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name)
            family = reinterpret_cast<const char*>(name);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return family;
}

}  // namespace

HeadlessFont::HeadlessFont(const char* face, int32_t height, bool bold, bool italic, bool underline,
                           uint8_t pitchAndFamily)
    : height_(height > 0 ? height : 12), bold_(bold), italic_(italic), underline_(underline),
      symbol_(pitchAndFamily == 80 || (face && std::strcmp(face, "Symbol") == 0)) {
    const char* name = face && *face ? face : "Arial";
    // Symbol has no metric twin; the Greek letters it stands for come from a general sans face.
    family_ = resolveFamily(symbol_ ? "DejaVu Sans" : name, bold, italic);

    cairo_font_face_t* fontFace = cairo_toy_font_face_create(
        family_.c_str(), italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
        bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_matrix_t fontMatrix;
    cairo_matrix_t identity;
    cairo_matrix_init_scale(&fontMatrix, height_, height_);
    cairo_matrix_init_identity(&identity);
    // Whole-pixel advances and cell metrics, like a GDI font; grey antialiased glyphs.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    scaled_ = cairo_scaled_font_create(fontFace, &fontMatrix, &identity, options);
    cairo_font_options_destroy(options);
    cairo_font_face_destroy(fontFace);

    cairo_font_extents_t extents;
    cairo_scaled_font_extents(scaled_, &extents);
    ascent_ = int32_t(std::ceil(extents.ascent - 1e-6));
    descent_ = int32_t(std::ceil(extents.descent - 1e-6));
}

HeadlessFont::~HeadlessFont() {
    if (scaled_) cairo_scaled_font_destroy(scaled_);
}

HeadlessFont* HeadlessFont::createStock(const char* face, int32_t height, bool bold) {
    auto* font = new HeadlessFont(face, height, bold, false, false, 34);
    font->stock_ = true;
    return font;
}

std::string HeadlessFont::toUtf8(const char* text) const {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        uint32_t code = *p;
        if (symbol_ && code >= 'A' && code <= 'Z') code = symbolUpper[code - 'A'];
        else if (symbol_ && code >= 'a' && code <= 'z') code = symbolLower[code - 'a'];
        else if (code >= 0x80 && code < 0xA0) code = cp1252High[code - 0x80];
        appendUtf8(out, code);
    }
    return out;
}

int32_t HeadlessFont::textWidth(const char* text) const {
    if (!text || !*text) return 0;
    const std::string utf8 = toUtf8(text);
    cairo_text_extents_t extents;
    cairo_scaled_font_text_extents(scaled_, utf8.c_str(), &extents);
    return int32_t(std::lround(extents.x_advance));
}

void HeadlessFont::drawLine(cairo_t* cr, const char* text, int32_t x, int32_t top) const {
    const std::string utf8 = toUtf8(text);
    cairo_set_scaled_font(cr, scaled_);
    cairo_move_to(cr, x, top + ascent_);
    cairo_show_text(cr, utf8.c_str());
    if (underline_) {
        // Where Arial and its metric twins put the underline: about a tenth of the em below the baseline.
        const int32_t thickness = std::max<int32_t>(1, int32_t(std::lround(height_ * 0.0732)));
        const int32_t y = top + ascent_ + std::max<int32_t>(1, int32_t(std::lround(height_ * 0.106)));
        cairo_rectangle(cr, x, y, textWidth(text), thickness);
        cairo_fill(cr);
    }
}
