// ScreenImage: 0xRRGGBB pixels read from a window on screen or from a bitmap resource, and region comparison.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class ScreenImage {
public:
    ScreenImage() = default;
    // The client area of a window as it is on screen now (window device context, BitBlt into a DIB).
    static ScreenImage fromWindow(HWND window);
    // A bitmap resource of a module, loaded as a host's GDI loads it (LoadBitmapA) and read with GetDIBits.
    static ScreenImage fromResource(HMODULE module, int id);

    int width() const { return columns; }
    int height() const { return rows; }
    bool empty() const { return pixels.empty(); }
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * columns + x]; }

    // Compares the w by h area at (x, y) with the same-sized area of other at (otherX, otherY). Empty text when
    // they agree, else where and how often they differ.
    std::string compare(int x, int y, int w, int h, const ScreenImage& other, int otherX, int otherY) const;
    bool matches(int x, int y, int w, int h, const ScreenImage& other, int otherX, int otherY) const {
        return compare(x, y, w, h, other, otherX, otherY).empty();
    }
    ScreenImage crop(int x, int y, int w, int h) const;
    bool operator==(const ScreenImage& other) const {
        return columns == other.columns && rows == other.rows && pixels == other.pixels;
    }

private:
    int columns = 0;
    int rows = 0;
    std::vector<uint32_t> pixels;
};
