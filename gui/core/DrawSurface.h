// Drawing context over a platform device context, with the toolkit's font table.
// Split: construction order, clip reset, drag wait in gui/core/DrawSurface.cpp; the rest in gui/platform/<backend>/DrawSurface.cpp.
#pragma once

#include <cstdint>

#include "gui/core/UiScale.h"
#include "gui/core/UiTypes.h"

class PluginWindow;

// One entry of the fixed font table of setFont.
struct FontSpec {
    const char* face;
    int32_t defaultSize;     // pixels
    bool alwaysBold;         // weight 700 whatever the style
    uint8_t pitchAndFamily;  // 34 variable pitch Swiss, 80 decorative
};

inline constexpr int32_t fontCount = 8;
inline constexpr FontSpec fontTable[fontCount] = {
    {"Arial", 12, true, 34}, {"Arial", 18, false, 34}, {"Arial", 14, false, 34}, {"Arial", 12, false, 34},
    {"Arial", 11, false, 34}, {"Arial", 10, false, 34}, {"Arial", 9, false, 34},  {"Symbol", 13, false, 80},
};

// A font id outside 0..7 selects font 0.
inline constexpr int32_t normaliseFontId(int32_t fontId) { return fontId < 0 || fontId >= fontCount ? 0 : fontId; }

class DrawSurface {
public:
    // Each argument may be null. The device context is not owned.
    DrawSurface(PluginWindow* window, NativeHandle deviceContext, NativeHandle windowHandle);
    virtual ~DrawSurface();

    DrawSurface(const DrawSurface&) = delete;
    DrawSurface& operator=(const DrawSurface&) = delete;

    // Lines and shapes; every coordinate is shifted by offset.
    void moveTo(const UiPoint& point);
    void lineTo(const UiPoint& point);
    void drawPolyline(const UiPoint* points, int32_t count);
    void fillPolygon(const UiPoint* points, int32_t count);
    void drawFrame(const UiRect& area);
    void fillArea(const UiRect& area);  // top row and left column stay unpainted
    void drawEllipse(const UiRect& area);
    void fillEllipse(const UiRect& area);
    void drawArc(const UiRect& area, const UiPoint& from, const UiPoint& to);
    void fillArc(const UiRect& area, const UiPoint& from, const UiPoint& to);
    void drawPixel(const UiPoint& point, UiColor colour);
    UiColor getPixel(const UiPoint& point);  // alpha always 0
    void floodFill(const UiPoint& point);

    // Drawing state.
    void setLineStyle(int32_t style);
    void setLineWidth(int32_t width);
    void setFrameColour(UiColor colour);
    void setFillColour(UiColor colour);
    void setFontColour(UiColor colour);
    void setDrawMode(int32_t mode);
    void setClipArea(const UiRect& area);  // not shifted by offset
    void resetClipArea();

    // Text.
    void setFont(int32_t fontId, int32_t size, int32_t style);
    int32_t getTextWidth(const char* text);
    void drawText(const char* text, const UiRect& area, bool opaque, int32_t align);

    // Input polling at the moment of the call.
    int32_t getMouseButtons();
    void getMousePosition(UiPoint& where);  // window coordinates for a window surface
    bool waitForDoubleClick();
    bool waitForDrag();

    // Copies area's size from source (at area shifted by source's offset) to (x, y) of this surface, unshifted.
    void copyFromSurface(DrawSurface* source, const UiRect& area, int32_t x, int32_t y);

    // Screen position of the top-left corner of the window behind windowHandle; (0, 0) when the slot holds
    // no window (null, or the bitmap of an offscreen surface).
    UiPoint getWindowScreenOrigin() const;

    // The scale at the backend's edge: drawing coordinates (panel units) are shifted by offset, then
    // mapped to device pixels; device positions (the cursor) map back to panel units. At 100 % both are
    // the identity.
    int32_t deviceX(int32_t h) const { return uiscale::toDevice(h + offset.h, scale); }
    int32_t deviceY(int32_t v) const { return uiscale::toDevice(v + offset.v, scale); }
    UiPoint toDevice(const UiPoint& p) const { return UiPoint{deviceX(p.h), deviceY(p.v)}; }
    UiRect toDevice(const UiRect& r) const { return UiRect{deviceX(r.left), deviceY(r.top), deviceX(r.right), deviceY(r.bottom)}; }
    // The one mapping of a mouse position: device pixels measured from origin (the window's corner, in the
    // same frame: screen or window) to the panel units of a scale.
    static UiPoint panelPoint(const UiPoint& device, const UiPoint& origin, int32_t scale) {
        return uiscale::toPanel(UiPoint{device.h - origin.h, device.v - origin.v}, scale);
    }
    // A length (a pen width) in device pixels, and a device length as panel units: both rounded half up,
    // so a pen of 3 is 5 pixels wide at 150 %, as MulDiv would make it.
    int32_t deviceLength(int32_t units) const { return (units * scale + uiscale::kUnit / 2) / uiscale::kUnit; }
    int32_t panelLength(int32_t pixels) const { return (pixels * uiscale::kUnit + scale / 2) / scale; }
    // The pen's width in device pixels: 0 and 1 stay the thinnest line at every scale.
    int32_t devicePenWidth() const { return lineWidth > 1 ? deviceLength(lineWidth) : lineWidth; }
    // A font size (negative: a cell height) in device pixels, rounded half away from zero.
    int32_t deviceFontSize(int32_t size) const {
        const int32_t magnitude = ((size < 0 ? -size : size) * scale + uiscale::kUnit / 2) / uiscale::kUnit;
        return size < 0 ? -magnitude : magnitude;
    }

    UiPoint screenOrigin;  // turns the screen cursor position into window coordinates
    UiPoint offset;        // added to every drawing coordinate (not to the clip area)
    NativeHandle deviceContext = nullptr;
    NativeHandle windowHandle = nullptr;  // an offscreen surface keeps its bitmap here
    PluginWindow* window = nullptr;
    int32_t fontSize = 0;
    int32_t fontId = 0;
    UiColor fontColour = colourWhite;
    int32_t lineWidth = 1;
    UiColor frameColour = colourWhite;
    UiColor fillColour = colourBlack;
    int32_t lineStyle = LineSolid;
    int32_t drawMode = DrawCopy;
    UiRect clipArea;
    NativeHandle ownBrush = nullptr;  // created by the surface, deleted with it
    NativeHandle ownPen = nullptr;
    NativeHandle ownFont = nullptr;
    NativeHandle savedBrush = nullptr;  // selected before the surface, selected again at destruction
    NativeHandle savedPen = nullptr;
    NativeHandle savedFont = nullptr;
    int32_t penStyle = 0;  // platform pen style derived from lineStyle
    int32_t scale = uiscale::kUnit;  // percent, the window's at construction

protected:
    // The window's bounds, or (0, 0, 1000, 1000) without a window.
    UiRect defaultClipArea() const;

private:
    // Backend: remember the objects selected in the context, then set up pen, brush and colours; runs at
    // the end of construction. Does nothing without a device context.
    void attachNative();
    // Backend: select the remembered objects again and delete the surface's own ones.
    void detachNative();
};
