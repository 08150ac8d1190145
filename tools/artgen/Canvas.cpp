// Canvas: pixel access and copies over a Cairo RGB24 image surface.
#include "tools/artgen/Canvas.h"

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
      cr_(cairo_create(surface_)) {}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Canvas::flush() const {
    cairo_surface_flush(surface_);
}

uint32_t Canvas::pixel(int x, int y) const {
    flush();
    const unsigned char* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xffffffu;
}

void Canvas::setPixel(int x, int y, uint32_t rgb) {
    flush();
    unsigned char* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    reinterpret_cast<uint32_t*>(row)[x] = 0xff000000u | (rgb & 0xffffffu);
    cairo_surface_mark_dirty(surface_);
}

void Canvas::copyFrom(const Canvas& source, int sx, int sy, int w, int h, int dx, int dy) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            setPixel(dx + x, dy + y, source.pixel(sx + x, sy + y));
        }
    }
}

bool Canvas::writePng(const std::string& path, int zoom) const {
    flush();
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_ * zoom, height_ * zoom);
    cairo_t* cr = cairo_create(out);
    cairo_scale(cr, zoom, zoom);
    cairo_set_source_surface(cr, surface_, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(out, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(out);
    return ok;
}
