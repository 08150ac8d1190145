// BmpWriter: the bytes of an uncompressed Windows bitmap file (BITMAPINFOHEADER, rows padded to four
// bytes), for the artwork generator and the tests. Header-only: the glob-built test programs use it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class BmpWriter {
  public:
    // 24 bits a pixel from 0xRRGGBB pixels given top row first; rows bottom-up.
    static std::vector<uint8_t> rgb24(int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
        const uint32_t rowBytes = stride(width, 24);
        std::vector<uint8_t> out = headers(width, height, 24, 0, rowBytes * uint32_t(height));
        for (int32_t y = height - 1; y >= 0; --y) {
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t p = pixels[size_t(y) * size_t(width) + size_t(x)];
                out.push_back(uint8_t(p));
                out.push_back(uint8_t(p >> 8));
                out.push_back(uint8_t(p >> 16));
            }
            for (uint32_t pad = uint32_t(width) * 3; pad < rowBytes; ++pad) out.push_back(0);
        }
        return out;
    }

    // 8 bits a pixel: palette entries 0xRRGGBB and one index a pixel, top row first; rows bottom-up.
    static std::vector<uint8_t> indexed8(int32_t width, int32_t height, const std::vector<uint32_t>& palette,
                                         const std::vector<uint8_t>& indices) {
        const uint32_t rowBytes = stride(width, 8);
        std::vector<uint8_t> out =
            headers(width, height, 8, uint32_t(palette.size()), rowBytes * uint32_t(height));
        for (uint32_t c : palette) {
            out.push_back(uint8_t(c));
            out.push_back(uint8_t(c >> 8));
            out.push_back(uint8_t(c >> 16));
            out.push_back(0);
        }
        for (int32_t y = height - 1; y >= 0; --y) {
            for (int32_t x = 0; x < width; ++x) out.push_back(indices[size_t(y) * size_t(width) + size_t(x)]);
            for (uint32_t pad = uint32_t(width); pad < rowBytes; ++pad) out.push_back(0);
        }
        return out;
    }

  private:
    static uint32_t stride(int32_t width, uint32_t bitCount) { return (uint32_t(width) * bitCount / 8 + 3) & ~3u; }

    static void put16(std::vector<uint8_t>& out, uint32_t v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    }
    static void put32(std::vector<uint8_t>& out, uint32_t v) {
        put16(out, v & 0xffff);
        put16(out, v >> 16);
    }

    // File header and info header; palette and pixels follow.
    static std::vector<uint8_t> headers(int32_t width, int32_t height, uint32_t bitCount, uint32_t paletteSize,
                                        uint32_t imageSize) {
        const uint32_t offset = 14 + 40 + 4 * paletteSize;
        std::vector<uint8_t> out;
        out.push_back('B');
        out.push_back('M');
        put32(out, offset + imageSize);
        put32(out, 0);
        put32(out, offset);
        put32(out, 40);
        put32(out, uint32_t(width));
        put32(out, uint32_t(height));
        put16(out, 1);
        put16(out, bitCount);
        put32(out, 0);  // BI_RGB
        put32(out, imageSize);
        put32(out, 2835);  // 72 dpi
        put32(out, 2835);
        put32(out, paletteSize);
        put32(out, paletteSize);
        return out;
    }
};
