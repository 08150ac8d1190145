// Pixel-level drawing of the headless backend.
#include "gui/platform/cairo/PixelRaster.h"

#include "gui/platform/cairo/DeviceContext.h"

#include <cairo.h>

#include <algorithm>
#include <cstdlib>

PixelRaster::PixelRaster(cairo_surface_t* image, const UiRect& clip) : image_(image) {
    if (!image || cairo_surface_get_type(image) != CAIRO_SURFACE_TYPE_IMAGE) return;
    const cairo_format_t format = cairo_image_surface_get_format(image);
    if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32) return;
    cairo_surface_flush(image);
    data_ = cairo_image_surface_get_data(image);
    stride_ = cairo_image_surface_get_stride(image);
    width_ = cairo_image_surface_get_width(image);
    height_ = cairo_image_surface_get_height(image);
    clip_ = clip;
    clip_.boundTo(UiRect{0, 0, width_, height_});
}

PixelRaster::~PixelRaster() {
    if (data_ && changed_) cairo_surface_mark_dirty(image_);
}

uint32_t PixelRaster::get(int32_t x, int32_t y) const {
    return reinterpret_cast<const uint32_t*>(data_ + size_t(y) * stride_)[x] & 0xFFFFFFu;
}

uint32_t PixelRaster::combine(uint32_t destination, uint32_t rgb, int32_t rop) {
    switch (rop) {
    case RopMergePen: return (destination | rgb) & 0xFFFFFFu;
    case RopNotXorPen: return ~(destination ^ rgb) & 0xFFFFFFu;
    default: return rgb & 0xFFFFFFu;
    }
}

void PixelRaster::put(int32_t x, int32_t y, uint32_t rgb, int32_t rop) {
    if (!data_ || !inClip(x, y)) return;
    uint32_t& pixel = reinterpret_cast<uint32_t*>(data_ + size_t(y) * stride_)[x];
    pixel = combine(pixel & 0xFFFFFFu, rgb, rop) | 0xFF000000u;
    changed_ = true;
}

void PixelRaster::fillRect(const UiRect& area, uint32_t rgb, int32_t rop) {
    UiRect r = area;
    r.boundTo(clip_);
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x) put(x, y, rgb, rop);
}

namespace {
// 128-bit intermediates: coordinates anywhere in the 32-bit range cannot overflow the products.
using Wide = __int128;
Wide floorDiv(Wide n, Wide d) { return n / d - ((n % d != 0) && (n < 0)); }
}  // namespace

void PixelRaster::line(UiPoint a, UiPoint b, uint32_t rgb, int32_t rop, const Dash* dash, int32_t& phase) {
    // One pixel per step of the major axis, the last point left out as GDI leaves it out. The minor
    // coordinate is the exact one rounded to the nearest pixel, halves towards the smaller coordinate,
    // whichever way the line runs, so a line and its reverse share their inner pixels.
    const int64_t dx = int64_t(b.h) - a.h;
    const int64_t dy = int64_t(b.v) - a.v;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t majorStart = xMajor ? a.h : a.v;
    const int64_t minorStart = xMajor ? a.v : a.h;
    const int64_t majorDelta = xMajor ? dx : dy;
    const int64_t minorDelta = xMajor ? dy : dx;
    const int64_t steps = std::llabs(majorDelta);
    const int64_t majorStep = majorDelta > 0 ? 1 : -1;
    const int32_t period = dash ? dash->on + dash->off : 0;

    // Only the steps whose major coordinate lies inside the clip are walked; the pattern still counts
    // the ones skipped.
    const int64_t low = xMajor ? clip_.left : clip_.top;
    const int64_t high = xMajor ? clip_.right : clip_.bottom;
    int64_t first = 0;
    int64_t last = steps;  // exclusive
    if (majorStep > 0) {
        first = std::max<int64_t>(first, low - majorStart);
        last = std::min<int64_t>(last, high - majorStart);
    } else {
        first = std::max<int64_t>(first, majorStart - (high - 1));
        last = std::min<int64_t>(last, majorStart - low + 1);
    }
    if (period > 0 && first > 0) phase = int32_t((phase + first) % period);

    for (int64_t i = first; i < last; ++i) {
        // minor = ceil(exact - 1/2) with exact = minorStart + i * minorDelta / steps.
        const Wide numerator = Wide(minorStart) * steps + Wide(i) * minorDelta;
        const int64_t minor = int64_t(-floorDiv(-(2 * numerator - steps), Wide(2) * steps));
        const int64_t major = majorStart + i * majorStep;
        const int32_t x = int32_t(xMajor ? major : minor);
        const int32_t y = int32_t(xMajor ? minor : major);
        if (period > 0) {
            if (phase % period < dash->on) put(x, y, rgb, rop);
            else if (dash->paintGaps) put(x, y, dash->gapRgb, rop);
            phase = (phase + 1) % period;
        } else {
            put(x, y, rgb, rop);
        }
    }
}

void PixelRaster::applyMask(cairo_surface_t* mask, int32_t maskLeft, int32_t maskTop, uint32_t rgb, int32_t rop) {
    if (!data_ || !mask) return;
    cairo_surface_flush(mask);
    const unsigned char* maskData = cairo_image_surface_get_data(mask);
    const int32_t maskStride = cairo_image_surface_get_stride(mask);
    const int32_t maskWidth = cairo_image_surface_get_width(mask);
    const int32_t maskHeight = cairo_image_surface_get_height(mask);
    for (int32_t my = 0; my < maskHeight; ++my) {
        for (int32_t mx = 0; mx < maskWidth; ++mx) {
            if (maskData[size_t(my) * maskStride + mx] >= 128) put(maskLeft + mx, maskTop + my, rgb, rop);
        }
    }
}

void PixelRaster::applyPixels(const std::vector<UiPoint>& pixels, uint32_t rgb, int32_t rop) {
    for (const UiPoint& p : pixels) put(p.h, p.v, rgb, rop);
}

void PixelRaster::floodFill(UiPoint seed, uint32_t rgb) {
    if (!data_ || !inClip(seed.h, seed.v)) return;
    const uint32_t old = get(seed.h, seed.v);
    rgb &= 0xFFFFFFu;
    if (old == rgb) return;
    // Scan-line fill with an explicit stack: deep areas cannot overflow the call stack.
    std::vector<UiPoint> stack{seed};
    while (!stack.empty()) {
        UiPoint p = stack.back();
        stack.pop_back();
        if (!inClip(p.h, p.v) || get(p.h, p.v) != old) continue;
        int32_t left = p.h;
        while (left - 1 >= clip_.left && get(left - 1, p.v) == old) --left;
        int32_t right = p.h;
        while (right + 1 < clip_.right && get(right + 1, p.v) == old) ++right;
        for (int32_t x = left; x <= right; ++x) put(x, p.v, rgb, RopCopyPen);
        for (int32_t ny : {p.v - 1, p.v + 1}) {
            if (ny < clip_.top || ny >= clip_.bottom) continue;
            bool inRun = false;
            for (int32_t x = left; x <= right; ++x) {
                const bool match = get(x, ny) == old;
                if (match && !inRun) stack.push_back(UiPoint{x, ny});
                inRun = match;
            }
        }
    }
}

void PixelRaster::blit(const PixelRaster& source, int32_t sourceX, int32_t sourceY, int32_t x, int32_t y,
                       int32_t width, int32_t height) {
    blit(source, sourceX, sourceY, x, y, width, height,
         [](int32_t, int32_t, uint32_t, uint32_t, uint32_t&) { return true; });
}
