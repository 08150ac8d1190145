// BmpImage: the one bitmap file reader, for the pictures the module carries and nothing more:
// uncompressed 24-bit and 8-bit, BITMAPINFOHEADER, rows bottom-up with zero padding, sizes that add up.
// The product's backends decode their resources with it, and the artwork generator's output is checked
// with it. Header-only: the glob-built test programs include it without a library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct BmpImage {
    std::string error;  // empty when the file was read; else what is wrong with it
    int width = 0;
    int height = 0;
    int bitCount = 0;
    uint32_t stride = 0;
    std::vector<uint32_t> palette;  // 0xRRGGBB
    std::vector<uint32_t> pixels;   // 0xRRGGBB, top row first

    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }

    static BmpImage decode(const unsigned char* data, size_t size) {
        // Far above any picture of ours, and small enough that no size below can overflow.
        constexpr int maxDimension = 32768;
        BmpImage image;
        auto u16 = [&](size_t at) { return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8; };
        auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
        auto fail = [&](const std::string& why) {
            image.error = why;
            image.palette.clear();
            image.pixels.clear();
            return image;
        };
        if (!data || size < 54 || data[0] != 'B' || data[1] != 'M') return fail("not a bitmap file");
        if (u32(2) != size) return fail("file size field " + std::to_string(u32(2)) + " != " + std::to_string(size));
        if (u32(14) != 40) return fail("info header is not BITMAPINFOHEADER");
        image.width = static_cast<int32_t>(u32(18));
        image.height = static_cast<int32_t>(u32(22));
        image.bitCount = static_cast<int>(u16(28));
        if (u16(26) != 1 || u32(30) != 0) return fail("planes != 1 or compressed");
        if (image.bitCount != 24 && image.bitCount != 8) return fail("bit count " + std::to_string(image.bitCount));
        if (image.width <= 0 || image.height <= 0 || image.width > maxDimension || image.height > maxDimension)
            return fail("not a bottom-up picture of positive size");
        const uint32_t colours = image.bitCount == 8 ? (u32(46) ? u32(46) : 256u) : 0u;
        const uint32_t offset = u32(10);
        if (colours > 256 || offset != 54 + 4 * colours) return fail("palette or pixel offset inconsistent");
        image.stride = (uint32_t(image.width) * uint32_t(image.bitCount) / 8 + 3) & ~3u;
        if (size != offset + size_t(image.stride) * size_t(image.height)) return fail("pixel data size");
        for (uint32_t i = 0; i < colours; ++i) {
            const size_t p = 54 + 4 * i;
            image.palette.push_back(uint32_t(data[p + 2]) << 16 | uint32_t(data[p + 1]) << 8 | data[p]);
        }
        image.pixels.reserve(size_t(image.width) * size_t(image.height));
        const size_t used = size_t(image.width) * size_t(image.bitCount) / 8;
        for (int y = 0; y < image.height; ++y) {
            const unsigned char* row = data + offset + size_t(image.height - 1 - y) * image.stride;
            for (size_t pad = used; pad < image.stride; ++pad) {
                if (row[pad] != 0) return fail("non-zero row padding");
            }
            for (int x = 0; x < image.width; ++x) {
                if (image.bitCount == 24) {
                    const unsigned char* p = row + 3 * x;
                    image.pixels.push_back(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
                } else {
                    if (row[x] >= colours) return fail("palette index out of range");
                    image.pixels.push_back(image.palette[row[x]]);
                }
            }
        }
        return image;
    }
};
