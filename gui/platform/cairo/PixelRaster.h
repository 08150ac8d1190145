// Pixel-exact drawing on a Cairo image: GDI-style lines, raster operations, masks, flood fill and blits.
#pragma once

#include "gui/core/UiTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

// A toolkit colour as the raster's 0x00RRGGBB pixel value.
inline uint32_t rgbOf(UiColor colour) {
    return uint32_t(colour.red) << 16 | uint32_t(colour.green) << 8 | colour.blue;
}

// Works on the pixels of an RGB24 or ARGB32 image inside a clip rectangle. Cairo has no raster
// operations, no Bresenham lines without their last pixel and no flood fill; this is where they live.
// Construction flushes Cairo's pending drawing, destruction tells Cairo the pixels changed.
class PixelRaster {
public:
    PixelRaster(cairo_surface_t* image, const UiRect& clip);
    ~PixelRaster();

    PixelRaster(const PixelRaster&) = delete;
    PixelRaster& operator=(const PixelRaster&) = delete;

    bool isValid() const { return data_ != nullptr; }
    const UiRect& clip() const { return clip_; }
    bool inClip(int32_t x, int32_t y) const { return clip_.contains(UiPoint{x, y}); }

    uint32_t get(int32_t x, int32_t y) const;  // 0x00RRGGBB; the caller checks the bounds
    // Writes rgb through the raster operation (RopCopyPen, RopMergePen or RopNotXorPen); clipped.
    void put(int32_t x, int32_t y, uint32_t rgb, int32_t rop = 13);
    void fillRect(const UiRect& area, uint32_t rgb, int32_t rop = 13);

    // A one-pixel line from a towards b without b itself. With a dash pattern (on, off lengths) the
    // pattern starts at phase and phase moves on; gaps take gapRgb when paintGaps is set.
    struct Dash {
        int32_t on = 0;
        int32_t off = 0;
        bool paintGaps = false;
        uint32_t gapRgb = 0;
    };
    void line(UiPoint a, UiPoint b, uint32_t rgb, int32_t rop, const Dash* dash, int32_t& phase);

    // Every pixel the mask covers (value of 128 or more) takes rgb through rop. The mask is an A8 image
    // whose pixel (0, 0) lies over (maskLeft, maskTop) of this image.
    void applyMask(cairo_surface_t* mask, int32_t maskLeft, int32_t maskTop, uint32_t rgb, int32_t rop);
    // Pixels given as a coverage list, for shapes rasterised here rather than by Cairo.
    void applyPixels(const std::vector<UiPoint>& pixels, uint32_t rgb, int32_t rop);

    // The 4-connected area of the colour found at seed takes rgb.
    void floodFill(UiPoint seed, uint32_t rgb);

    // Copies width by height pixels from source at (sourceX, sourceY) to (x, y) here. Pixels outside
    // the source image leave the destination as it was. mix(sx, sy, sourceRgb, destinationRgb, out) may
    // change the pixel written (out starts as the source pixel) or refuse it by answering false.
    template <typename Mix>
    void blit(const PixelRaster& source, int32_t sourceX, int32_t sourceY, int32_t x, int32_t y, int32_t width,
              int32_t height, Mix mix);
    void blit(const PixelRaster& source, int32_t sourceX, int32_t sourceY, int32_t x, int32_t y, int32_t width,
              int32_t height);

    int32_t imageWidth() const { return width_; }
    int32_t imageHeight() const { return height_; }

    static uint32_t combine(uint32_t destination, uint32_t rgb, int32_t rop);

private:
    cairo_surface_t* image_ = nullptr;
    unsigned char* data_ = nullptr;
    int32_t stride_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    UiRect clip_;
    bool changed_ = false;
};

template <typename Mix>
void PixelRaster::blit(const PixelRaster& source, int32_t sourceX, int32_t sourceY, int32_t x, int32_t y,
                       int32_t width, int32_t height, Mix mix) {
    if (!isValid() || !source.isValid() || width <= 0 || height <= 0) return;
    // Within one image the source is read before anything is written, as an overlapping blit must.
    std::vector<uint32_t> copy;
    const bool sameImage = source.data_ == data_;
    if (sameImage) copy.assign(size_t(width) * size_t(height), 0);
    for (int pass = sameImage ? 0 : 1; pass < 2; ++pass) {
        for (int32_t row = 0; row < height; ++row) {
            const int32_t sy = sourceY + row;
            const int32_t dy = y + row;
            if (sy < 0 || sy >= source.height_ || (pass == 1 && (dy < clip_.top || dy >= clip_.bottom))) continue;
            for (int32_t column = 0; column < width; ++column) {
                const int32_t sx = sourceX + column;
                const int32_t dx = x + column;
                if (sx < 0 || sx >= source.width_) continue;
                if (pass == 0) {
                    copy[size_t(row) * width + column] = source.get(sx, sy);
                    continue;
                }
                if (dx < clip_.left || dx >= clip_.right) continue;
                const uint32_t rgb = sameImage ? copy[size_t(row) * width + column] : source.get(sx, sy);
                uint32_t out = rgb;
                if (!mix(sx, sy, rgb, get(dx, dy), out)) continue;
                reinterpret_cast<uint32_t*>(data_ + size_t(dy) * stride_)[dx] = (out & 0xFFFFFFu) | 0xFF000000u;
                changed_ = true;
            }
        }
    }
}
