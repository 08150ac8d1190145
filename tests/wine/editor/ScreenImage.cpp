// ScreenImage: window capture and resource reading through 32-bit top-down DIBs.
#include "tests/wine/editor/ScreenImage.h"

#include <cstdio>
#include <utility>

#include "tools/hostwindow/HostWindow.h"

namespace {

BITMAPINFO topDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

ScreenImage ScreenImage::fromWindow(HWND window) {
    ScreenImage image;
    HostWindowPicture shot;
    if (!HostWindow::capture(window, false, shot)) return image;
    image.columns = shot.width;
    image.rows = shot.height;
    image.pixels = std::move(shot.pixels);
    return image;
}

ScreenImage ScreenImage::fromResource(HMODULE module, int id) {
    ScreenImage image;
    HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
    if (!bitmap) return image;
    BITMAP description{};
    GetObjectA(bitmap, sizeof description, &description);
    const int w = description.bmWidth, h = description.bmHeight;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    BITMAPINFO info = topDownInfo(w, h);
    HDC screen = GetDC(nullptr);
    const int got = GetDIBits(screen, bitmap, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    if (got != h) return image;
    for (uint32_t& v : pixels) v &= 0xFFFFFF;
    image.columns = w;
    image.rows = h;
    image.pixels = std::move(pixels);
    return image;
}

std::string ScreenImage::compare(int x, int y, int w, int h, const ScreenImage& other, int otherX,
                                 int otherY) const {
    char text[200];
    if (x < 0 || y < 0 || x + w > columns || y + h > rows || otherX < 0 || otherY < 0 ||
        otherX + w > other.columns || otherY + h > other.rows) {
        std::snprintf(text, sizeof text, "area %dx%d at (%d,%d) / (%d,%d) lies outside the images (%dx%d, %dx%d)", w,
                      h, x, y, otherX, otherY, columns, rows, other.columns, other.rows);
        return text;
    }
    int differing = 0, firstX = 0, firstY = 0;
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            if (at(x + i, y + j) != other.at(otherX + i, otherY + j)) {
                if (differing++ == 0) {
                    firstX = i;
                    firstY = j;
                }
            }
        }
    }
    if (differing == 0) return std::string();
    std::snprintf(text, sizeof text, "%d of %d pixels differ; first at +(%d,%d): %06x instead of %06x", differing,
                  w * h, firstX, firstY, static_cast<unsigned>(at(x + firstX, y + firstY)),
                  static_cast<unsigned>(other.at(otherX + firstX, otherY + firstY)));
    return text;
}

ScreenImage ScreenImage::crop(int x, int y, int w, int h) const {
    ScreenImage part;
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > columns || y + h > rows) return part;
    part.columns = w;
    part.rows = h;
    part.pixels.reserve(static_cast<size_t>(w) * h);
    for (int j = 0; j < h; ++j) {
        const auto row = pixels.begin() + static_cast<ptrdiff_t>(y + j) * columns + x;
        part.pixels.insert(part.pixels.end(), row, row + w);
    }
    return part;
}
