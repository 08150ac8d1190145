// Pixel coverage of ellipses, arcs, pies, polygons and wide strokes.
#include "gui/platform/cairo/ShapeRaster.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

struct Ellipse {
    double cx, cy, a, b;
    explicit Ellipse(const UiRect& box)
        : cx((double(box.left) + box.right) * 0.5), cy((double(box.top) + box.bottom) * 0.5),
          a((double(box.right) - box.left) * 0.5), b((double(box.bottom) - box.top) * 0.5) {}
    bool covers(int32_t x, int32_t y) const {
        if (a <= 0 || b <= 0) return false;
        const double dx = (x + 0.5 - cx) / a;
        const double dy = (y + 0.5 - cy) / b;
        return dx * dx + dy * dy <= 1.0 + 1e-9;
    }
};

// Screen angle (y pointing down, counter-clockwise positive) in [0, 2 pi).
double screenAngle(double dx, double dy) {
    double angle = std::atan2(-dy, dx);
    if (angle < 0) angle += 2 * pi;
    return angle;
}

cairo_surface_t* newMask(const UiRect& clip, cairo_t*& cr) {
    if (clip.isEmpty()) return nullptr;
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, clip.width(), clip.height());
    if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) {  // an error surface has no pixels to read
        cairo_surface_destroy(mask);
        return nullptr;
    }
    cr = cairo_create(mask);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_translate(cr, -clip.left, -clip.top);
    return mask;
}

int64_t floorDivide(int64_t n, int64_t d) { return n / d - ((n % d != 0) && ((n < 0) != (d < 0))); }

}  // namespace

bool ShapeRaster::inSweep(double dx, double dy, double fromX, double fromY, double toX, double toY) {
    const double start = screenAngle(fromX, fromY);
    const double end = screenAngle(toX, toY);
    double span = end - start;
    if (span <= 0) span += 2 * pi;  // equal rays sweep the whole turn
    double offset = screenAngle(dx, dy) - start;
    if (offset < 0) offset += 2 * pi;
    return offset <= span + 1e-12;
}

std::vector<UiPoint> ShapeRaster::ellipseFill(const UiRect& box, const UiRect& clip) {
    std::vector<UiPoint> pixels;
    const Ellipse e(box);
    UiRect area = box;
    area.boundTo(clip);
    for (int32_t y = area.top; y < area.bottom; ++y)
        for (int32_t x = area.left; x < area.right; ++x)
            if (e.covers(x, y)) pixels.push_back(UiPoint{x, y});
    return pixels;
}

std::vector<UiPoint> ShapeRaster::ellipseOutline(const UiRect& box, const UiRect& clip) {
    std::vector<UiPoint> pixels;
    const Ellipse e(box);
    UiRect area = box;
    area.boundTo(clip);
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            if (!e.covers(x, y)) continue;
            if (!e.covers(x - 1, y) || !e.covers(x + 1, y) || !e.covers(x, y - 1) || !e.covers(x, y + 1))
                pixels.push_back(UiPoint{x, y});
        }
    }
    return pixels;
}

std::vector<UiPoint> ShapeRaster::arcOutline(const UiRect& box, UiPoint from, UiPoint to, const UiRect& clip) {
    const Ellipse e(box);
    std::vector<UiPoint> pixels;
    for (const UiPoint& p : ellipseOutline(box, clip)) {
        if (inSweep(p.h + 0.5 - e.cx, p.v + 0.5 - e.cy, from.h - e.cx, from.v - e.cy, to.h - e.cx, to.v - e.cy))
            pixels.push_back(p);
    }
    return pixels;
}

std::vector<UiPoint> ShapeRaster::pieFill(const UiRect& box, UiPoint from, UiPoint to, const UiRect& clip) {
    const Ellipse e(box);
    std::vector<UiPoint> pixels;
    for (const UiPoint& p : ellipseFill(box, clip)) {
        const double dx = p.h + 0.5 - e.cx;
        const double dy = p.v + 0.5 - e.cy;
        // The centre pixel belongs to every pie.
        if ((std::fabs(dx) < 0.75 && std::fabs(dy) < 0.75) ||
            inSweep(dx, dy, from.h - e.cx, from.v - e.cy, to.h - e.cx, to.v - e.cy))
            pixels.push_back(p);
    }
    return pixels;
}

std::vector<UiPoint> ShapeRaster::polygonFill(const UiPoint* points, int32_t count, const UiRect& clip) {
    // Scan lines through the pixels' top-left corners, alternate (even-odd) rule: on each row a pixel
    // is inside from the first crossing (included) to the next (excluded), as GDI fills polygons.
    std::vector<UiPoint> pixels;
    if (!points || count < 2 || clip.isEmpty()) return pixels;
    int32_t top = points[0].v;
    int32_t bottom = points[0].v;
    for (int32_t i = 1; i < count; ++i) {
        top = std::min(top, points[i].v);
        bottom = std::max(bottom, points[i].v);
    }
    top = std::max(top, clip.top);
    bottom = std::min(bottom, clip.bottom);
    std::vector<int32_t> crossings;
    for (int32_t y = top; y < bottom; ++y) {
        crossings.clear();
        for (int32_t i = 0; i < count; ++i) {
            const UiPoint& a = points[i];
            const UiPoint& b = points[(i + 1) % count];
            if (a.v == b.v) continue;
            const UiPoint& low = a.v < b.v ? a : b;
            const UiPoint& high = a.v < b.v ? b : a;
            if (y < low.v || y >= high.v) continue;  // half-open: a shared vertex counts once
            // First pixel column at or right of the crossing: ceil(low.h + (y - low.v) * dx / dy).
            const int64_t dy = high.v - low.v;
            const int64_t numerator = int64_t(low.h) * dy + int64_t(y - low.v) * (high.h - low.h);
            const int64_t column = -floorDivide(-numerator, dy);
            crossings.push_back(int32_t(std::clamp<int64_t>(column, clip.left, clip.right)));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            for (int32_t x = crossings[k]; x < crossings[k + 1]; ++x)
                pixels.push_back(UiPoint{x, y});
        }
    }
    return pixels;
}

cairo_surface_t* ShapeRaster::strokeMask(const UiPoint* points, int32_t count, int32_t width, const UiRect& clip) {
    cairo_t* cr = nullptr;
    cairo_surface_t* mask = newMask(clip, cr);
    if (!mask) return nullptr;
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int32_t i = 0; i < count; ++i) {
        if (i == 0) cairo_move_to(cr, points[i].h + 0.5, points[i].v + 0.5);
        else cairo_line_to(cr, points[i].h + 0.5, points[i].v + 0.5);
    }
    cairo_stroke(cr);
    cairo_destroy(cr);
    return mask;
}

cairo_surface_t* ShapeRaster::arcStrokeMask(const UiRect& box, UiPoint from, UiPoint to, bool whole, int32_t width,
                                            const UiRect& clip) {
    cairo_t* cr = nullptr;
    cairo_surface_t* mask = newMask(clip, cr);
    if (!mask) return nullptr;
    const double cx = (double(box.left) + box.right) * 0.5;
    const double cy = (double(box.top) + box.bottom) * 0.5;
    const double a = (double(box.right) - box.left) * 0.5 - 0.5;
    const double b = (double(box.bottom) - box.top) * 0.5 - 0.5;
    if (a > 0 && b > 0) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, a, b);
        if (whole) {
            cairo_arc(cr, 0, 0, 1, 0, 2 * pi);
        } else {
            // Rays in the scaled space keep their direction; Cairo's angles grow clockwise on screen.
            const double start = std::atan2((from.v - cy) / b, (from.h - cx) / a);
            const double end = std::atan2((to.v - cy) / b, (to.h - cx) / a);
            cairo_arc_negative(cr, 0, 0, 1, start, end == start ? start - 2 * pi : end);
        }
        cairo_restore(cr);
        cairo_set_line_width(cr, width);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    return mask;
}
