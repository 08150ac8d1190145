// The changed-rectangle upload of the editor's pixels.
#include "gui/platform/x11/ImageUpload.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

ImageUpload::ImageUpload(Display* display, Visual* visual, int32_t width, int32_t height)
    : display_(display), width_(std::max(width, 1)), height_(std::max(height, 1)),
      shown_(size_t(width_) * size_t(height_), 0) {
    image_ = XCreateImage(display, visual, 24, ZPixmap, 0, reinterpret_cast<char*>(shown_.data()), unsigned(width_),
                          unsigned(height_), 32, width_ * 4);
    if (image_) {
        // The pixels are host-endian 32-bit words; Xlib swaps them when the server wants the other order.
        const uint32_t probe = 1;
        unsigned char first;
        std::memcpy(&first, &probe, 1);
        image_->byte_order = first ? LSBFirst : MSBFirst;
        image_->bitmap_bit_order = image_->byte_order;
    }
}

ImageUpload::~ImageUpload() {
    if (image_) {
        image_->data = nullptr;  // shown_ owns the pixels
        XDestroyImage(image_);
    }
}

bool ImageUpload::fits(const Visual* visual, int depth) {
    return visual && depth == 24 && visual->c_class == TrueColor && visual->red_mask == 0xFF0000 &&
           visual->green_mask == 0x00FF00 && visual->blue_mask == 0x0000FF;
}

UiRect ImageUpload::upload(cairo_surface_t* image, Drawable window, GC gc, const UiRect& lost) {
    if (!image_ || !image) return UiRect{};
    cairo_surface_flush(image);
    const int32_t width = std::min(width_, cairo_image_surface_get_width(image));
    const int32_t height = std::min(height_, cairo_image_surface_get_height(image));
    const unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    if (!data) return UiRect{};

    // The bounding box of the changed pixels, joined with the lost area; the copy follows it.
    UiRect area = lost;
    area.boundTo(UiRect{0, 0, width, height});
    int32_t left = area.isEmpty() ? width : area.left;
    int32_t right = area.isEmpty() ? 0 : area.right;
    int32_t top = area.isEmpty() ? height : area.top;
    int32_t bottom = area.isEmpty() ? 0 : area.bottom;
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        const uint32_t* seen = shown_.data() + size_t(y) * size_t(width_);
        if (std::memcmp(row, seen, size_t(width) * 4) == 0) continue;
        int32_t first = 0;
        while (row[first] == seen[first]) ++first;
        int32_t last = width - 1;
        while (row[last] == seen[last]) --last;
        left = std::min(left, first);
        right = std::max(right, last + 1);
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
    }
    if (left >= right || top >= bottom) return UiRect{};
    for (int32_t y = top; y < bottom; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        uint32_t* seen = shown_.data() + size_t(y) * size_t(width_);
        for (int32_t x = left; x < right; ++x) seen[x] = row[x];
    }
    XPutImage(display_, window, gc, image_, left, top, left, top, unsigned(right - left), unsigned(bottom - top));
    return UiRect{left, top, right, bottom};
}
