// Copies the changed part of the editor's Cairo image to its X11 window.
#pragma once

#include "gui/core/UiTypes.h"
#include "gui/platform/x11/XlibHeaders.h"

#include <cstdint>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

// Keeps a copy of what the window shows. An upload compares the image with that copy row by row and
// sends only the rectangle that changed (plus the area the caller names, which the server has lost), so
// an idle pass that drew nothing new sends nothing. The copy lives in shared memory when the server
// offers MIT-SHM (a local display), so the pixels need not travel through the socket; otherwise it is
// sent with XPutImage. The window's visual must store pixels as Cairo's RGB24 does; `fits` tells.
class ImageUpload {
public:
    ImageUpload(Display* display, Visual* visual, int32_t width, int32_t height, bool sharedMemory = true);
    ~ImageUpload();
    ImageUpload(const ImageUpload&) = delete;
    ImageUpload& operator=(const ImageUpload&) = delete;

    static bool fits(const Visual* visual, int depth);
    bool usesSharedMemory() const { return shmAttached_; }

    // Sends what changed in image (same size as the window) and the area `lost`; answers the area sent.
    UiRect upload(cairo_surface_t* image, Drawable window, GC gc, const UiRect& lost);

private:
    bool attachSharedMemory(Visual* visual);

    Display* display_;
    int32_t width_;
    int32_t height_;
    std::vector<uint32_t> ownPixels_;  // the copy without shared memory
    uint32_t* shown_ = nullptr;        // the copy, width_ words a row
    XImage* image_ = nullptr;          // over shown_
    bool shmAttached_ = false;
    struct ShmSegment;
    ShmSegment* shm_ = nullptr;
};
