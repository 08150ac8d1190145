// Bitmap resources into images for the Cairo backends: BmpImage reads and checks the file.
#include "gui/platform/cairo/BmpDecoder.h"

#include <cairo.h>

#include <cstdint>

#include "base/BmpImage.h"

cairo_surface_t* BmpDecoder::decode(const unsigned char* data, size_t size) {
    const BmpImage bmp = BmpImage::decode(data, size);
    if (!bmp.error.empty()) return nullptr;

    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, bmp.width, bmp.height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return nullptr;
    }
    cairo_surface_flush(image);
    unsigned char* target = cairo_image_surface_get_data(image);
    const int targetStride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < bmp.height; ++y) {
        auto* dst = reinterpret_cast<uint32_t*>(target + size_t(y) * size_t(targetStride));
        for (int x = 0; x < bmp.width; ++x) dst[x] = bmp.at(x, y);
    }
    cairo_surface_mark_dirty(image);
    return image;
}
