// Bitmap resources into images for the Cairo backends: BmpImage reads and checks the file.
#include "gui/platform/cairo/BmpDecoder.h"

#include <cairo.h>

#include "base/BmpImage.h"

bool BmpDecoder::readSize(const unsigned char* data, size_t size, int32_t& width, int32_t& height) {
    const BmpImage header = BmpImage::readHeader(data, size);
    if (!header.error.empty()) return false;
    width = header.width;
    height = header.height;
    return true;
}

cairo_surface_t* BmpDecoder::decode(const unsigned char* data, size_t size) {
    BmpImage bmp = BmpImage::readHeader(data, size);
    if (!bmp.error.empty()) return nullptr;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, bmp.width, bmp.height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return nullptr;
    }
    cairo_surface_flush(image);
    // RGB24 keeps a pixel in one 32-bit word with the top byte unused: the rows go straight in.
    auto* target = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(image));
    const size_t pitch = size_t(cairo_image_surface_get_stride(image)) / sizeof(uint32_t);
    if (!bmp.decodeRows(data, target, pitch)) {
        cairo_surface_destroy(image);
        return nullptr;
    }
    cairo_surface_mark_dirty(image);
    return image;
}
