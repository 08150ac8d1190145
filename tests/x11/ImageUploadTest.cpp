// The editor's pixel upload: through shared memory and through the socket, the window shows exactly the
// image, and an upload sends exactly the rectangle that changed.
#include "tests/x11/X11Session.h"

#include "gui/platform/x11/ImageUpload.h"

#include <cairo.h>

static bool operator==(const UiRect& a, const UiRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static std::ostream& operator<<(std::ostream& out, const UiRect& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

uint32_t windowPixel(Display* display, Window window, int x, int y) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    const uint32_t pixel = image ? uint32_t(XGetPixel(image, 0, 0)) & 0xFFFFFF : 0xDEADBEEF;
    if (image) XDestroyImage(image);
    return pixel;
}

uint32_t& imagePixel(cairo_surface_t* image, int x, int y) {
    unsigned char* row = cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
    return reinterpret_cast<uint32_t*>(row)[x];
}

}  // namespace

TEST(ImageUploadTest, BothWaysShowTheImageAndSendOnlyWhatChanged) {
    Display* display = XOpenDisplay(privateDisplay().c_str());
    ASSERT_NE(display, nullptr);
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    ASSERT_TRUE(ImageUpload::fits(visual, DefaultDepth(display, screen)));
    const int width = 64, height = 40;
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0, 0, 0x808080);
    XMapWindow(display, window);
    GC gc = XCreateGC(display, window, 0, nullptr);
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_surface_flush(image);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) imagePixel(image, x, y) = uint32_t(x * 4) << 16 | uint32_t(y * 6) << 8 | 0x5A;
    cairo_surface_mark_dirty(image);

    for (const bool shared : {true, false}) {
        SCOPED_TRACE(shared ? "shared memory" : "socket");
        ImageUpload upload(display, visual, width, height, shared);
        EXPECT_EQ(upload.usesSharedMemory(), shared);  // Xvfb offers MIT-SHM to local clients
        const UiRect all{0, 0, width, height};
        EXPECT_EQ(upload.upload(image, window, gc, all), all);
        XSync(display, False);
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) wrong += windowPixel(display, window, x, y) != (imagePixel(image, x, y) & 0xFFFFFF);
        EXPECT_EQ(wrong, 0);

        // Nothing new: nothing sent. One pixel in each far corner: their bounding box, no more.
        EXPECT_TRUE(upload.upload(image, window, gc, UiRect{}).isEmpty());
        imagePixel(image, width - 1, height - 1) = 0x123456;
        imagePixel(image, 20, 3) = 0x654321;
        cairo_surface_mark_dirty(image);
        EXPECT_EQ(upload.upload(image, window, gc, UiRect{}), (UiRect{20, 3, width, height}));
        XSync(display, False);
        EXPECT_EQ(windowPixel(display, window, width - 1, height - 1), 0x123456u);
        EXPECT_EQ(windowPixel(display, window, 20, 3), 0x654321u);
        // One changed pixel, in a corner or on an edge too, is sent alone; so is one pixel the server lost.
        for (const UiPoint p : {UiPoint{0, 0}, UiPoint{width - 1, 0}, UiPoint{0, height - 1}, UiPoint{31, 17}}) {
            const UiRect alone{p.h, p.v, p.h + 1, p.v + 1};
            const uint32_t was = imagePixel(image, p.h, p.v);
            imagePixel(image, p.h, p.v) = 0xA0B0C0;
            cairo_surface_mark_dirty(image);
            EXPECT_EQ(upload.upload(image, window, gc, UiRect{}), alone);
            XSync(display, False);
            EXPECT_EQ(windowPixel(display, window, p.h, p.v), 0xA0B0C0u);
            imagePixel(image, p.h, p.v) = was;
            cairo_surface_mark_dirty(image);
            EXPECT_EQ(upload.upload(image, window, gc, alone), alone);
            EXPECT_EQ(upload.upload(image, window, gc, alone), alone);
            XSync(display, False);
            EXPECT_EQ(windowPixel(display, window, p.h, p.v), was & 0xFFFFFF);
        }
        // Put the pattern back for the other way.
        imagePixel(image, width - 1, height - 1) = uint32_t((width - 1) * 4) << 16 | uint32_t((height - 1) * 6) << 8 | 0x5A;
        imagePixel(image, 20, 3) = uint32_t(20 * 4) << 16 | uint32_t(3 * 6) << 8 | 0x5A;
        cairo_surface_mark_dirty(image);
        XClearWindow(display, window);
    }
    cairo_surface_destroy(image);
    XFreeGC(display, gc);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}
