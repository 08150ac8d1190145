// BmpFile: writes a canvas as a Windows bitmap file (BITMAPINFOHEADER, bottom-up, rows padded to 4 bytes).
#pragma once

#include <string>

class Canvas;

class BmpFile {
  public:
    // 24 bits a pixel, stored B, G, R.
    static bool write24(const Canvas& canvas, const std::string& path);
    // 8 bits a pixel with a palette of at most 256 colours chosen from the picture.
    static bool write8(const Canvas& canvas, const std::string& path);
};
