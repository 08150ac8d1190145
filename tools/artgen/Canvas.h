// Canvas: an opaque Cairo image surface with its drawing context and direct pixel access.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

// Pixels are 0xRRGGBB words (Cairo's RGB24 layout); the top byte is ignored.
class Canvas {
  public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* context() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }

    uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, uint32_t rgb);
    // Copies the source rectangle (sx, sy, w, h) of another canvas to (dx, dy), pixel for pixel.
    void copyFrom(const Canvas& source, int sx, int sy, int w, int h, int dx, int dy);
    // Makes pending Cairo drawing visible to pixel access (and pixel writes visible to Cairo).
    void flush() const;

    bool writePng(const std::string& path, int zoom = 1) const;

  private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};
