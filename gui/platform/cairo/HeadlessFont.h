// A selected font of the headless backend: face lookup through fontconfig, GDI-like text metrics and drawing.
#pragma once

#include "gui/core/UiTypes.h"

#include <cstdint>
#include <string>

typedef struct _cairo_scaled_font cairo_scaled_font_t;
typedef struct _cairo cairo_t;

class HeadlessFont {
public:
    // height: the character (em) height in pixels, as a negative GDI font height asks for.
    HeadlessFont(const char* face, int32_t height, bool bold, bool italic, bool underline, uint8_t pitchAndFamily);
    ~HeadlessFont();
    static HeadlessFont* createStock(const char* face, int32_t height, bool bold);

    HeadlessFont(const HeadlessFont&) = delete;
    HeadlessFont& operator=(const HeadlessFont&) = delete;

    bool isStock() const { return stock_; }
    // Text extent of a whole line, as GetTextExtentPoint32 reports it: advance width and cell height.
    int32_t textWidth(const char* text) const;
    int32_t ascent() const { return ascent_; }
    int32_t descent() const { return descent_; }
    int32_t cellHeight() const { return ascent_ + descent_; }
    int32_t emHeight() const { return height_; }
    bool isSymbol() const { return symbol_; }
    bool isBold() const { return bold_; }
    bool isItalic() const { return italic_; }
    bool isUnderlined() const { return underline_; }
    // The family fontconfig resolved the face to ("Liberation Sans" for "Arial" on a usual system).
    const std::string& resolvedFamily() const { return family_; }

    // Draws text with its cell's top-left at (x, top) into cr (clip and colour already set).
    void drawLine(cairo_t* cr, const char* text, int32_t x, int32_t top) const;

    // Single-byte text (Windows code page 1252, or the Symbol font's own layout) as UTF-8.
    std::string toUtf8(const char* text) const;

private:
    int32_t height_ = 0;
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    bool symbol_ = false;
    bool stock_ = false;
    int32_t ascent_ = 0;
    int32_t descent_ = 0;
    std::string family_;
    cairo_scaled_font_t* scaled_ = nullptr;
};
