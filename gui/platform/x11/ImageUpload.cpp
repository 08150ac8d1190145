// The changed-rectangle upload of the editor's pixels.
#include "gui/platform/x11/ImageUpload.h"

#include "gui/platform/x11/X11ErrorGuard.h"

#include <cairo.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>

struct ImageUpload::ShmSegment {
    XShmSegmentInfo info{};
};

namespace {

void setHostByteOrder(XImage* image) {
    // The pixels are host-endian 32-bit words; Xlib swaps them when the server wants the other order.
    const uint32_t probe = 1;
    unsigned char first;
    std::memcpy(&first, &probe, 1);
    image->byte_order = first ? LSBFirst : MSBFirst;
    image->bitmap_bit_order = image->byte_order;
}

}  // namespace

ImageUpload::ImageUpload(Display* display, Visual* visual, int32_t width, int32_t height, bool sharedMemory)
    : display_(display), width_(std::max(width, 1)), height_(std::max(height, 1)) {
    if (sharedMemory && attachSharedMemory(visual)) return;
    ownPixels_.assign(size_t(width_) * size_t(height_), 0);
    shown_ = ownPixels_.data();
    image_ = XCreateImage(display, visual, 24, ZPixmap, 0, reinterpret_cast<char*>(shown_), unsigned(width_),
                          unsigned(height_), 32, width_ * 4);
    if (image_) setHostByteOrder(image_);
}

bool ImageUpload::attachSharedMemory(Visual* visual) {
    int major, minor;
    Bool pixmaps;
    if (!XShmQueryVersion(display_, &major, &minor, &pixmaps)) return false;
    shm_ = new ShmSegment;
    XImage* image = XShmCreateImage(display_, visual, 24, ZPixmap, nullptr, &shm_->info, unsigned(width_),
                                    unsigned(height_));
    if (!image || image->bytes_per_line != width_ * 4 || image->bits_per_pixel != 32) {
        if (image) XDestroyImage(image);
        delete shm_;
        shm_ = nullptr;
        return false;
    }
    const size_t bytes = size_t(image->bytes_per_line) * size_t(height_);
    shm_->info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    void* memory = shm_->info.shmid >= 0 ? shmat(shm_->info.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
    bool attached = false;
    if (memory != reinterpret_cast<void*>(-1)) {
        shm_->info.shmaddr = image->data = static_cast<char*>(memory);
        shm_->info.readOnly = True;
        // A server on another machine (or in another IPC namespace) answers the attach with an error.
        X11ErrorGuard::takeErrors(display_);
        attached = XShmAttach(display_, &shm_->info) && X11ErrorGuard::takeErrors(display_) == 0;
    }
    // Marked for removal at once: the segment goes away with its last user, even after a crash.
    if (shm_->info.shmid >= 0) shmctl(shm_->info.shmid, IPC_RMID, nullptr);
    if (!attached) {
        if (memory != reinterpret_cast<void*>(-1)) shmdt(memory);
        image->data = nullptr;
        XDestroyImage(image);
        delete shm_;
        shm_ = nullptr;
        return false;
    }
    std::memset(memory, 0, bytes);
    setHostByteOrder(image);
    image_ = image;
    shown_ = reinterpret_cast<uint32_t*>(memory);
    shmAttached_ = true;
    return true;
}

ImageUpload::~ImageUpload() {
    if (shm_) {
        XShmDetach(display_, &shm_->info);
        XSync(display_, False);  // the server lets go of the segment before it is unmapped here
        shmdt(shm_->info.shmaddr);
        delete shm_;
    }
    if (image_) {
        image_->data = nullptr;  // shown_ is not Xlib's to free
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
        const uint32_t* seen = shown_ + size_t(y) * size_t(width_);
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
        uint32_t* seen = shown_ + size_t(y) * size_t(width_);
        for (int32_t x = left; x < right; ++x) seen[x] = row[x];
    }
    const unsigned w = unsigned(right - left), h = unsigned(bottom - top);
    if (shmAttached_) XShmPutImage(display_, window, gc, image_, left, top, left, top, w, h, False);
    else XPutImage(display_, window, gc, image_, left, top, left, top, w, h);
    return UiRect{left, top, right, bottom};
}
