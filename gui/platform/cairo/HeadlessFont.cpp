// Font resolution, text metrics and glyph drawing over Cairo and fontconfig.
#include "gui/platform/cairo/HeadlessFont.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <tuple>

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

// Reads 16- and 32-bit big-endian values from a font file.
uint32_t be16(const unsigned char* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t be32(const unsigned char* p) { return be16(p) << 16 | be16(p + 2); }

// Whether the font's 'gasp' table allows greyscale smoothing at this pixel size. GDI smooths only
// where the font says so (Liberation Sans: not from 9 to 17 pixels, bold not at 9 and 10); without a
// table, or a file this cannot read, smoothing is allowed.
bool gaspAllowsGrey(const std::string& file, int32_t ppem) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return true;
    bool grey = true;
    unsigned char header[12];
    if (std::fread(header, 1, 12, f) == 12 && (be32(header) == 0x00010000u || be32(header) == 0x74727565u)) {
        const uint32_t tables = be16(header + 4);
        for (uint32_t t = 0; t < tables && t < 256; ++t) {
            unsigned char entry[16];
            if (std::fread(entry, 1, 16, f) != 16) break;
            if (std::memcmp(entry, "gasp", 4) != 0) continue;
            unsigned char gasp[4 + 4 * 64];
            const uint32_t length = std::min<uint32_t>(be32(entry + 12), sizeof gasp);
            if (length < 4 || std::fseek(f, long(be32(entry + 8)), SEEK_SET) != 0 || std::fread(gasp, 1, length, f) != length)
                break;
            const uint32_t ranges = std::min<uint32_t>(be16(gasp + 2), (length - 4) / 4);
            for (uint32_t r = 0; r < ranges; ++r) {
                if (uint32_t(ppem) > be16(gasp + 4 + 4 * r)) continue;
                grey = (be16(gasp + 6 + 4 * r) & 0x0002) != 0;  // GASP_DOGRAY
                break;
            }
            break;
        }
    }
    std::fclose(f);
    return grey;
}

// fontconfig's best match for the face with the weight and slant asked for: its family name and file.
struct FontFile {
    std::string family;
    std::string file;
    int index = 0;
};

FontFile matchFont(const char* face, bool bold, bool italic) {
    FontFile found{face, "", 0};
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return found;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match) {
        FcChar8* value = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch && value)
            found.family = reinterpret_cast<const char*>(value);
        if (FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch && value)
            found.file = reinterpret_cast<const char*>(value);
        FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return found;
}

// Matches and gasp decisions are remembered: surfaces select fonts on every draw of a read-out, and
// fontconfig and the font file need not be asked twice. User-interface thread only.
FontFile resolveFont(const char* face, bool bold, bool italic) {
    static std::map<std::tuple<std::string, bool, bool>, FontFile> known;
    const auto key = std::make_tuple(std::string(face), bold, italic);
    auto it = known.find(key);
    if (it == known.end()) it = known.emplace(key, matchFont(face, bold, italic)).first;
    return it->second;
}

bool smoothed(const std::string& file, int32_t ppem) {
    static std::map<std::pair<std::string, int32_t>, bool> known;
    const auto key = std::make_pair(file, ppem);
    auto it = known.find(key);
    if (it == known.end()) it = known.emplace(key, gaspAllowsGrey(file, ppem)).first;
    return it->second;
}

// A Cairo face for exactly that file, carrying no rendering settings of its own, so the options
// given to the scaled font decide hinting and smoothing.
cairo_font_face_t* createFace(const FontFile& font, bool bold, bool italic) {
    if (font.file.empty()) {
        return cairo_toy_font_face_create(font.family.c_str(), italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                                          bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(font.file.c_str()));
    FcPatternAddInteger(pattern, FC_INDEX, font.index);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern);
    FcPatternDestroy(pattern);
    return face;
}

}  // namespace

HeadlessFont::HeadlessFont(const char* face, int32_t height, bool bold, bool italic, bool underline,
                           uint8_t pitchAndFamily)
    : height_(height > 0 ? height : 12), bold_(bold), italic_(italic), underline_(underline),
      symbol_(pitchAndFamily == 80 || (face && std::strcmp(face, "Symbol") == 0)) {
    const char* name = face && *face ? face : "Arial";
    // Symbol has no metric twin; the Greek letters it stands for come from a general sans face.
    const FontFile font = resolveFont(symbol_ ? "DejaVu Sans" : name, bold, italic);
    family_ = font.family;
    cairo_font_face_t* fontFace = createFace(font, bold, italic);

    cairo_matrix_t fontMatrix;
    cairo_matrix_t identity;
    cairo_matrix_init_scale(&fontMatrix, height_, height_);
    cairo_matrix_init_identity(&identity);

    // The cell: the font's design ascent and descent at this size, each rounded to whole pixels as the
    // GDI text metrics round them (hinted metrics would round both up).
    cairo_font_options_t* exact = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(exact, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(exact, CAIRO_HINT_STYLE_NONE);
    cairo_scaled_font_t* design = cairo_scaled_font_create(fontFace, &fontMatrix, &identity, exact);
    cairo_font_extents_t extents;
    cairo_scaled_font_extents(design, &extents);
    ascent_ = int32_t(std::lround(extents.ascent));
    descent_ = int32_t(std::lround(extents.descent));
    cairo_scaled_font_destroy(design);
    cairo_font_options_destroy(exact);

    // Whole-pixel advances like a GDI font; fully hinted glyphs, smoothed only where the font allows.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_antialias(options, smoothed(font.file, height_) ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    scaled_ = cairo_scaled_font_create(fontFace, &fontMatrix, &identity, options);
    cairo_font_options_destroy(options);
    cairo_font_face_destroy(fontFace);
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
        // Arial's underline (and its metric twins'): centred about a tenth of the em below the baseline,
        // thickness 0.073 em, rounded as GDI rounds the outline metrics.
        const int32_t thickness = std::max<int32_t>(1, int32_t(std::lround(height_ * 0.0732)));
        const int32_t y = top + ascent_ + int32_t(std::lround(height_ * 0.106)) - (thickness + 1) / 2;
        cairo_rectangle(cr, x, y, textWidth(text), thickness);
        cairo_fill(cr);
    }
}
