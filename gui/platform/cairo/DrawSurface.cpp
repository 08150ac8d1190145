// Cairo half of DrawSurface: GDI's drawing operations over Cairo images and pixel-level raster work
// (shared by the headless and the X11 backends; the input half is per backend).
#include "gui/core/DrawSurface.h"

#include "gui/platform/cairo/DeviceContext.h"
#include "gui/platform/cairo/HeadlessFont.h"
#include "gui/platform/cairo/PixelRaster.h"
#include "gui/platform/cairo/ShapeRaster.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr uint32_t invalidColour = 0xFFFFFFFFu;  // what GetPixel answers outside the clip

DeviceContext* contextOf(const DrawSurface& surface) { return DeviceContext::fromHandle(surface.deviceContext); }

// The cosmetic dotted pattern of a one-pixel PS_DOT pen: three pixels on, three off.
constexpr int32_t dotOn = 3;
constexpr int32_t dotOff = 3;

// A wide pen's coverage mask (over clip, as ShapeRaster makes it) in the pen's colour; the mask is consumed.
void applyPenMask(DeviceContext& dc, const HeadlessPen& pen, cairo_surface_t* mask, const UiRect& clip) {
    if (!mask) return;
    PixelRaster raster(dc.target(), clip);
    raster.applyMask(mask, clip.left, clip.top, pen.rgb, dc.rop);
    cairo_surface_destroy(mask);
}

// Lines through points with the pen selected in the context. The dotted pattern starts afresh with
// every call and runs on across the segments of one call, as LineTo and Polyline have it.
void strokeThrough(DeviceContext& dc, const UiPoint* points, int32_t count) {
    const HeadlessPen* pen = dc.pen();
    if (!pen || pen->style == PenNull || count < 2) return;
    if (pen->width <= 1) {
        PixelRaster raster(dc.target(), dc.effectiveClip());
        PixelRaster::Dash dash{dotOn, dotOff, dc.backgroundMode == BackgroundOpaque, dc.backgroundRgb};
        const PixelRaster::Dash* pattern = pen->style == PenDot ? &dash : nullptr;
        int32_t phase = 0;
        for (int32_t i = 1; i < count; ++i) raster.line(points[i - 1], points[i], pen->rgb, dc.rop, pattern, phase);
        return;
    }
    // A wide pen is geometric: round ends that include the last point, always solid.
    const UiRect clip = dc.effectiveClip();
    applyPenMask(dc, *pen, ShapeRaster::strokeMask(points, count, pen->width, clip), clip);
}

// Brush fills of shapes follow the raster operation, like the pen.
void fillPixels(DeviceContext& dc, const std::vector<UiPoint>& pixels) {
    PixelRaster raster(dc.target(), dc.effectiveClip());
    raster.applyPixels(pixels, dc.brush()->rgb, dc.rop);
}

void outlineArc(DeviceContext& dc, const UiRect& box, UiPoint from, UiPoint to, bool whole) {
    const HeadlessPen* pen = dc.pen();
    if (!pen || pen->style == PenNull) return;
    if (pen->width <= 1) {
        PixelRaster raster(dc.target(), dc.effectiveClip());
        const UiRect clip = raster.clip();
        raster.applyPixels(whole ? ShapeRaster::ellipseOutline(box, clip) : ShapeRaster::arcOutline(box, from, to, clip),
                           pen->rgb, dc.rop);
        return;
    }
    const UiRect clip = dc.effectiveClip();
    applyPenMask(dc, *pen, ShapeRaster::arcStrokeMask(box, from, to, whole, pen->width, clip), clip);
}

void recreatePen(DrawSurface& surface) {
    // A pen of one pixel at 100 % stays one pixel (cosmetic) at every scale; wider pens grow with it.
    auto* pen = new HeadlessPen{surface.penStyle, surface.devicePenWidth(), rgbOf(surface.frameColour), false};
    if (DeviceContext* dc = contextOf(surface)) dc->selectPen(pen);
    delete static_cast<HeadlessPen*>(surface.ownPen);
    surface.ownPen = pen;
}

}  // namespace

void DrawSurface::attachNative() {
    DeviceContext* dc = contextOf(*this);
    if (!dc) return;
    savedBrush = dc->brush();
    savedPen = dc->pen();
    savedFont = dc->font();
    dc->backgroundMode = BackgroundTransparent;
    setFrameColour(frameColour);
    setLineStyle(lineStyle);
    setFillColour(fillColour);
    setFontColour(fontColour);
}

void DrawSurface::detachNative() {
    if (DeviceContext* dc = contextOf(*this)) {
        if (savedBrush) dc->selectBrush(static_cast<HeadlessBrush*>(savedBrush));
        if (savedPen) dc->selectPen(static_cast<HeadlessPen*>(savedPen));
        if (savedFont) dc->selectFont(static_cast<HeadlessFont*>(savedFont));
    }
    delete static_cast<HeadlessBrush*>(ownBrush);
    delete static_cast<HeadlessPen*>(ownPen);
    delete static_cast<HeadlessFont*>(ownFont);
    ownBrush = ownPen = ownFont = nullptr;
}

void DrawSurface::moveTo(const UiPoint& point) {
    if (DeviceContext* dc = contextOf(*this)) dc->position = toDevice(point);
}

void DrawSurface::lineTo(const UiPoint& point) {
    DeviceContext* dc = contextOf(*this);
    if (!dc) return;
    const UiPoint segment[2] = {dc->position, toDevice(point)};
    strokeThrough(*dc, segment, 2);
    dc->position = segment[1];
}

void DrawSurface::drawPolyline(const UiPoint* points, int32_t count) {
    DeviceContext* dc = contextOf(*this);
    if (!dc || !points || count < 2) return;
    std::vector<UiPoint> moved(points, points + count);
    for (UiPoint& p : moved) p = toDevice(p);
    // Polyline neither uses nor moves the current position.
    strokeThrough(*dc, moved.data(), count);
}

void DrawSurface::fillPolygon(const UiPoint* points, int32_t count) {
    DeviceContext* dc = contextOf(*this);
    if (!dc || !points || count < 2 || !dc->target()) return;
    std::vector<UiPoint> moved(points, points + count);
    for (UiPoint& p : moved) p = toDevice(p);
    fillPixels(*dc, ShapeRaster::polygonFill(moved.data(), count, dc->effectiveClip()));
}

void DrawSurface::drawFrame(const UiRect& area) {
    moveTo(UiPoint{area.left, area.top});
    lineTo(UiPoint{area.right, area.top});
    lineTo(UiPoint{area.right, area.bottom});
    lineTo(UiPoint{area.left, area.bottom});
    lineTo(UiPoint{area.left, area.top});
}

void DrawSurface::fillArea(const UiRect& area) {
    DeviceContext* dc = contextOf(*this);
    if (!dc) return;
    // FillRect is a pattern copy: the raster operation does not apply.
    const UiRect r = toDevice(UiRect{area.left + 1, area.top + 1, area.right, area.bottom});
    const HeadlessBrush* brush = ownBrush ? static_cast<HeadlessBrush*>(ownBrush) : dc->brush();
    PixelRaster raster(dc->target(), dc->effectiveClip());
    raster.fillRect(r, brush->rgb);
}

void DrawSurface::drawEllipse(const UiRect& area) {
    DeviceContext* dc = contextOf(*this);
    if (!dc) return;
    const UiRect box = toDevice(UiRect{area.left, area.top, area.right + 1, area.bottom + 1});
    outlineArc(*dc, box, UiPoint{}, UiPoint{}, true);
}

void DrawSurface::fillEllipse(const UiRect& area) {
    DeviceContext* dc = contextOf(*this);
    if (!dc) return;
    // Ellipse over (left + 1, top + 1, right + 1, bottom + 1) without a pen: unlike a pen-less
    // Rectangle or Pie it keeps its full size, so the right column and bottom row are painted.
    fillPixels(*dc, ShapeRaster::ellipseFill(toDevice(UiRect{area.left + 1, area.top + 1, area.right + 1, area.bottom + 1}),
                                             dc->effectiveClip()));
}

void DrawSurface::drawArc(const UiRect& area, const UiPoint& from, const UiPoint& to) {
    DeviceContext* dc = contextOf(*this);
    if (!dc) return;
    const UiRect box = toDevice(UiRect{area.left, area.top, area.right + 1, area.bottom + 1});
    outlineArc(*dc, box, toDevice(from), toDevice(to), false);
}

void DrawSurface::fillArc(const UiRect& area, const UiPoint& from, const UiPoint& to) {
    DeviceContext* dc = contextOf(*this);
    if (!dc) return;
    // Pie over (left + 1, top + 1, right, bottom) without a pen, which loses a pixel right and below.
    const UiRect box = toDevice(UiRect{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1});
    fillPixels(*dc, ShapeRaster::pieFill(box, toDevice(from), toDevice(to), dc->effectiveClip()));
}

void DrawSurface::drawPixel(const UiPoint& point, UiColor colour) {
    DeviceContext* dc = contextOf(*this);
    if (!dc) return;
    const UiPoint p = toDevice(point);
    PixelRaster raster(dc->target(), dc->effectiveClip());
    raster.put(p.h, p.v, rgbOf(colour));
}

UiColor DrawSurface::getPixel(const UiPoint& point) {
    uint32_t word = invalidColour;
    if (DeviceContext* dc = contextOf(*this)) {
        const UiPoint p = toDevice(point);
        PixelRaster raster(dc->target(), dc->effectiveClip());
        if (raster.isValid() && raster.inClip(p.h, p.v)) {
            const uint32_t rgb = raster.get(p.h, p.v);
            word = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
        }
    }
    UiColor colour = UiColor::fromWord(word);
    colour.alpha = 0;
    return colour;
}

void DrawSurface::floodFill(const UiPoint& point) {
    DeviceContext* dc = contextOf(*this);
    if (!dc) return;
    const UiPoint p = toDevice(point);
    PixelRaster raster(dc->target(), dc->effectiveClip());
    raster.floodFill(p, dc->brush()->rgb);
}

void DrawSurface::setLineStyle(int32_t style) {
    lineStyle = style;
    penStyle = style == LineDotted ? PenDot : PenSolid;
    recreatePen(*this);
}

void DrawSurface::setLineWidth(int32_t width) {
    lineWidth = width;
    recreatePen(*this);
}

void DrawSurface::setFrameColour(UiColor colour) {
    frameColour = colour;
    recreatePen(*this);
}

void DrawSurface::setFillColour(UiColor colour) {
    fillColour = colour;
    DeviceContext* dc = contextOf(*this);
    if (dc) dc->backgroundRgb = rgbOf(colour);
    auto* brush = new HeadlessBrush{rgbOf(colour), false};
    if (dc) dc->selectBrush(brush);
    delete static_cast<HeadlessBrush*>(ownBrush);
    ownBrush = brush;
}

void DrawSurface::setFontColour(UiColor colour) {
    fontColour = colour;
    if (DeviceContext* dc = contextOf(*this)) dc->textRgb = rgbOf(colour);
}

void DrawSurface::setDrawMode(int32_t mode) {
    if (mode == drawMode) return;
    drawMode = mode;
    if (DeviceContext* dc = contextOf(*this))
        dc->rop = mode == DrawOr ? RopMergePen : mode == DrawXor ? RopNotXorPen : RopCopyPen;
}

void DrawSurface::setClipArea(const UiRect& area) {
    clipArea = area;
    if (DeviceContext* dc = contextOf(*this)) dc->setClip(uiscale::toDevice(area, scale));
}

void DrawSurface::setFont(int32_t id, int32_t size, int32_t style) {
    fontId = normaliseFontId(id);
    const FontSpec& spec = fontTable[fontId];
    fontSize = size == 0 ? spec.defaultSize : size;
    const bool bold = spec.alwaysBold || (style & FontBold);
    // The logical font's height is -fontSize: for a positive size that asks for the character height;
    // a negative size makes it positive, which GDI reads as the whole cell, leading included.
    // Text at a scale is drawn at the scaled size, not stretched.
    const int32_t deviceSize = deviceFontSize(fontSize);
    int32_t em = deviceSize;
    if (deviceSize < 0) {
        const HeadlessFont probe(spec.face, 1000, bold, style & FontItalic, false, spec.pitchAndFamily);
        em = std::max<int32_t>(1, int32_t(std::lround(-deviceSize * 1000.0 / probe.cellHeight())));
    }
    auto* font = new HeadlessFont(spec.face, em, bold, style & FontItalic, style & FontUnderline, spec.pitchAndFamily);
    if (DeviceContext* dc = contextOf(*this)) dc->selectFont(font);
    delete static_cast<HeadlessFont*>(ownFont);
    ownFont = font;
}

int32_t DrawSurface::getTextWidth(const char* text) {
    DeviceContext* dc = contextOf(*this);
    if (!dc || !text) return 0;
    return panelLength(dc->font()->textWidth(text));
}

void DrawSurface::drawText(const char* text, const UiRect& area, bool opaque, int32_t align) {
    if (!text) return;
    DeviceContext* dc = contextOf(*this);
    if (!dc) return;
    UiRect r = toDevice(area);
    dc->backgroundMode = opaque ? BackgroundOpaque : BackgroundTransparent;
    if (align != AlignCentre && align != AlignRight) r.left += 1;

    // Single line, vertically centred, clipped to the rectangle (no DT_NOCLIP in the flags).
    const HeadlessFont* font = dc->font();
    const int32_t width = font->textWidth(text);
    const int32_t height = font->cellHeight();
    int32_t x = r.left;
    if (align == AlignCentre) x = r.left + (r.width() - width) / 2;
    else if (align == AlignRight) x = r.right - width;
    const int32_t y = r.top + r.height() / 2 - height / 2;  // halved apart, as DrawText rounds them
    UiRect clip = dc->effectiveClip();
    clip.boundTo(r);

    if (cairo_surface_t* target = dc->target(); target && !clip.isEmpty() && *text) {
        if (dc->backgroundMode == BackgroundOpaque) {
            PixelRaster raster(target, clip);
            raster.fillRect(UiRect{x, y, x + width, y + height}, dc->backgroundRgb);
        }
        cairo_t* cr = cairo_create(target);
        cairo_rectangle(cr, clip.left, clip.top, clip.width(), clip.height());
        cairo_clip(cr);
        cairo_set_source_rgb(cr, (dc->textRgb >> 16 & 0xFF) / 255.0, (dc->textRgb >> 8 & 0xFF) / 255.0,
                             (dc->textRgb & 0xFF) / 255.0);
        font->drawLine(cr, text, x, y);
        cairo_destroy(cr);
    }
    dc->backgroundMode = BackgroundTransparent;
}

void DrawSurface::copyFromSurface(DrawSurface* source, const UiRect& area, int32_t x, int32_t y) {
    if (!source) return;
    const UiRect from = source->toDevice(area);
    DeviceContext::bitBlt(contextOf(*this), uiscale::toDevice(x, scale), uiscale::toDevice(y, scale), from.width(),
                          from.height(), contextOf(*source), from.left, from.top);
}
