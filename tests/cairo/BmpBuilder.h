// Builds small BMP files in memory for the decoding and pixmap tests.
#pragma once

#include <cstdint>
#include <vector>

// Pixels are given top row first as 0xRRGGBB (24-bit) or palette indices (8-bit); the file stores
// them bottom-up unless topDown is set, rows padded to four bytes.
class BmpBuilder {
public:
    static std::vector<unsigned char> rgb24(int32_t width, int32_t height, const std::vector<uint32_t>& pixels,
                                            bool topDown = false) {
        std::vector<unsigned char> file;
        const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
        header(file, width, topDown ? -height : height, 24, 0, 54 + stride * height);
        for (int32_t row = 0; row < height; ++row) {
            const int32_t y = topDown ? row : height - 1 - row;
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t p = pixels[size_t(y) * width + x];
                file.push_back(uint8_t(p));
                file.push_back(uint8_t(p >> 8));
                file.push_back(uint8_t(p >> 16));
            }
            for (uint32_t pad = uint32_t(width) * 3; pad < stride; ++pad) file.push_back(0xEE);
        }
        return file;
    }

    static std::vector<unsigned char> indexed8(int32_t width, int32_t height, const std::vector<uint32_t>& palette,
                                               const std::vector<uint8_t>& indices) {
        std::vector<unsigned char> file;
        const uint32_t stride = (uint32_t(width) + 3) & ~3u;
        const uint32_t offset = 54 + 4 * uint32_t(palette.size());
        header(file, width, height, 8, uint32_t(palette.size()), offset + stride * height);
        for (uint32_t c : palette) {
            file.push_back(uint8_t(c));
            file.push_back(uint8_t(c >> 8));
            file.push_back(uint8_t(c >> 16));
            file.push_back(0);
        }
        for (int32_t row = height - 1; row >= 0; --row) {
            for (int32_t x = 0; x < width; ++x) file.push_back(indices[size_t(row) * width + x]);
            for (uint32_t pad = uint32_t(width); pad < stride; ++pad) file.push_back(0);
        }
        return file;
    }

private:
    static void put32(std::vector<unsigned char>& f, uint32_t v) {
        for (int i = 0; i < 4; ++i) f.push_back(uint8_t(v >> (8 * i)));
    }
    static void put16(std::vector<unsigned char>& f, uint32_t v) {
        f.push_back(uint8_t(v));
        f.push_back(uint8_t(v >> 8));
    }
    static void header(std::vector<unsigned char>& f, int32_t width, int32_t height, uint32_t bits,
                       uint32_t colours, uint32_t fileSize) {
        f.push_back('B');
        f.push_back('M');
        put32(f, fileSize);
        put32(f, 0);
        put32(f, 54 + 4 * colours);
        put32(f, 40);
        put32(f, uint32_t(width));
        put32(f, uint32_t(height));
        put16(f, 1);
        put16(f, bits);
        put32(f, 0);  // BI_RGB
        put32(f, 0);
        put32(f, 2835);
        put32(f, 2835);
        put32(f, colours);
        put32(f, 0);
    }
};
