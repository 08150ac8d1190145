// Coverage of the GDI shapes on the pixel grid: ellipses, arcs, pies, polygons and wide strokes.
#pragma once

#include "gui/core/UiTypes.h"

#include <cstdint>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

// Ellipses are decided per pixel centre against the ellipse inscribed in a box of pixel edges, so fill
// and outline agree with each other; a one-pixel outline is the rim of the filled shape (filled pixels
// with an unfilled 4-neighbour), which gives GDI's thin 8-connected curve. Polygons are scan-converted
// here with GDI's sampling rule; wide pens, whose exact GDI pixels are not reachable anyway, go through
// Cairo without antialiasing into an A8 mask.
class ShapeRaster {
public:
    // box: pixel edges; pixel (x, y) covers [x, x + 1) by [y, y + 1). Only pixels inside clip are
    // listed, so a huge box costs no more than the clip area.
    static std::vector<UiPoint> ellipseFill(const UiRect& box, const UiRect& clip);
    static std::vector<UiPoint> ellipseOutline(const UiRect& box, const UiRect& clip);
    // Counter-clockwise on screen from the ray towards from to the ray towards to; equal rays: all.
    static std::vector<UiPoint> arcOutline(const UiRect& box, UiPoint from, UiPoint to, const UiRect& clip);
    static std::vector<UiPoint> pieFill(const UiRect& box, UiPoint from, UiPoint to, const UiRect& clip);

    // The pixels of a polygon inside clip, alternate fill rule, as GDI samples them.
    static std::vector<UiPoint> polygonFill(const UiPoint* points, int32_t count, const UiRect& clip);

    // A8 masks over clip (pixel (0, 0) at clip's top-left), or null when clip is empty:
    // a wide line through points (pixel centres) with round caps and joins,
    static cairo_surface_t* strokeMask(const UiPoint* points, int32_t count, int32_t width, const UiRect& clip);
    // and a wide outline of the ellipse through the outer pixel centres of box, from ray to ray.
    static cairo_surface_t* arcStrokeMask(const UiRect& box, UiPoint from, UiPoint to, bool whole, int32_t width,
                                          const UiRect& clip);

    // True when the direction (dx, dy) lies counter-clockwise on screen between the two rays.
    static bool inSweep(double dx, double dy, double fromX, double fromY, double toX, double toY);
};
