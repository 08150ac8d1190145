// The headless stand-in for a GDI device context: target image, clip, selected objects and drawing state.
#pragma once

#include "gui/core/UiTypes.h"

#include <cstdint>
#include <memory>

typedef struct _cairo_surface cairo_surface_t;
class HeadlessFont;
class HeadlessWindow;
class DrawSurface;
class PluginWindow;

// GDI numbers kept for the raster operation, pen style and background mode, so the state reads like
// the system the toolkit was written for.
enum : int32_t { RopNotXorPen = 10, RopCopyPen = 13, RopMergePen = 15 };
enum : int32_t { PenSolid = 0, PenDot = 2, PenNull = 5 };
enum : int32_t { BackgroundTransparent = 1, BackgroundOpaque = 2 };

struct HeadlessPen {
    int32_t style = PenSolid;
    int32_t width = 1;  // 0 and 1: one pixel
    uint32_t rgb = 0;
    bool stock = false;  // never deleted
};

struct HeadlessBrush {
    uint32_t rgb = 0xFFFFFF;
    bool stock = false;
};

class DeviceContext {
public:
    // GetDC / BeginPaint of a window: draws into the window's image; a paint context is clipped to the
    // update area.
    static DeviceContext* forWindow(HeadlessWindow* window);
    // A new surface of owner on a context of its own for window; when the surface cannot be made, the
    // context goes with it.
    static DrawSurface* newSurface(PluginWindow* owner, HeadlessWindow* window);
    static DeviceContext* forPaint(HeadlessWindow* window, const UiRect& updateArea);
    // CreateCompatibleDC: no bitmap selected, draws nowhere until one is.
    static DeviceContext* createMemory();
    static void release(DeviceContext* context);
    // A context released when its scope ends, however it ends (a control's handler may throw).
    struct Releaser {
        void operator()(DeviceContext* context) const { release(context); }
    };
    using Held = std::unique_ptr<DeviceContext, Releaser>;

    static DeviceContext* fromHandle(NativeHandle handle);

    // The image drawn into (the window's current image or the selected bitmap); may be null.
    cairo_surface_t* target() const;
    // Target bounds, cut by the update area and the selected clip rectangle.
    UiRect effectiveClip() const;

    // SelectObject for each kind; answers what was selected before.
    cairo_surface_t* selectBitmap(cairo_surface_t* bitmap);
    HeadlessPen* selectPen(HeadlessPen* pen);
    HeadlessBrush* selectBrush(HeadlessBrush* brush);
    HeadlessFont* selectFont(HeadlessFont* font);
    HeadlessPen* pen() const { return pen_; }
    HeadlessBrush* brush() const { return brush_; }
    HeadlessFont* font() const { return font_; }
    cairo_surface_t* bitmap() const { return bitmap_; }
    HeadlessWindow* window() const { return window_; }

    // BitBlt with SRCCOPY: width by height from source at (sourceX, sourceY) to (x, y), clipped by the
    // target context.
    static void bitBlt(DeviceContext* target, int32_t x, int32_t y, int32_t width, int32_t height,
                       DeviceContext* source, int32_t sourceX, int32_t sourceY);

    void setClip(const UiRect& area) { hasClip_ = true; clip_ = area; }

    static HeadlessPen* stockBlackPen();
    static HeadlessPen* stockNullPen();
    static HeadlessBrush* stockWhiteBrush();
    static HeadlessFont* stockSystemFont();

    // Plain device state, with GDI's defaults.
    int32_t backgroundMode = BackgroundOpaque;
    uint32_t backgroundRgb = 0xFFFFFF;
    uint32_t textRgb = 0x000000;
    int32_t rop = RopCopyPen;
    UiPoint position;

private:
    DeviceContext() = default;
    ~DeviceContext();

    uint32_t tag_;
    HeadlessWindow* window_ = nullptr;
    cairo_surface_t* bitmap_ = nullptr;  // memory contexts: the selected bitmap (referenced)
    bool hasUpdateArea_ = false;
    UiRect updateArea_;
    bool hasClip_ = false;
    UiRect clip_;
    HeadlessPen* pen_ = nullptr;
    HeadlessBrush* brush_ = nullptr;
    HeadlessFont* font_ = nullptr;
};
