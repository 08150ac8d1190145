// BmpImage: the one bitmap file reader, for the pictures the module carries and nothing more:
// uncompressed 24-bit and 8-bit, BITMAPINFOHEADER, rows bottom-up with zero padding, sizes that add up.
// The product's backends read a resource's header when they load it and its pixels when it is first
// drawn; the artwork generator's output is checked with it. Header-only: the glob-built test programs include it without a library.
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

    // The header alone, checked as decode checks it (palette included): sizes without reading a pixel.
    static BmpImage readHeader(const unsigned char* data, size_t size) {
        // Far above any picture of ours, and small enough that no size below can overflow.
        constexpr int maxDimension = 32768;
        BmpImage image;
        auto u16 = [&](size_t at) { return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8; };
        auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
        if (!data || size < 54 || data[0] != 'B' || data[1] != 'M') return image.failed("not a bitmap file");
        if (u32(2) != size)
            return image.failed("file size field " + std::to_string(u32(2)) + " != " + std::to_string(size));
        if (u32(14) != 40) return image.failed("info header is not BITMAPINFOHEADER");
        image.width = static_cast<int32_t>(u32(18));
        image.height = static_cast<int32_t>(u32(22));
        image.bitCount = static_cast<int>(u16(28));
        if (u16(26) != 1 || u32(30) != 0) return image.failed("planes != 1 or compressed");
        if (image.bitCount != 24 && image.bitCount != 8)
            return image.failed("bit count " + std::to_string(image.bitCount));
        if (image.width <= 0 || image.height <= 0 || image.width > maxDimension || image.height > maxDimension)
            return image.failed("not a bottom-up picture of positive size");
        const uint32_t colours = image.bitCount == 8 ? (u32(46) ? u32(46) : 256u) : 0u;
        const uint32_t offset = u32(10);
        if (colours > 256 || offset != 54 + 4 * colours) return image.failed("palette or pixel offset inconsistent");
        image.stride = (uint32_t(image.width) * uint32_t(image.bitCount) / 8 + 3) & ~3u;
        if (size != offset + size_t(image.stride) * size_t(image.height)) return image.failed("pixel data size");
        image.palette.resize(colours);
        for (uint32_t i = 0; i < colours; ++i) {
            const unsigned char* p = data + 54 + 4 * i;
            image.palette[i] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
        return image;
    }

    // The pixels of a file whose header readHeader accepted, as 0xRRGGBB rows top row first, rowPitch
    // values apart in target. A row at a time into memory made beforehand: a picture costs one pass.
    // False, with the error set, on non-zero padding or a palette index past the palette.
    bool decodeRows(const unsigned char* data, uint32_t* target, size_t rowPitch) {
        const size_t offset = 54 + 4 * palette.size();
        const size_t used = size_t(width) * size_t(bitCount) / 8;
        const size_t colours = palette.size();
        for (int y = 0; y < height; ++y) {
            const unsigned char* row = data + offset + size_t(height - 1 - y) * stride;
            for (size_t pad = used; pad < stride; ++pad) {
                if (row[pad] != 0) {
                    failed("non-zero row padding");
                    return false;
                }
            }
            uint32_t* out = target + size_t(y) * rowPitch;
            if (bitCount == 24) {
                const unsigned char* p = row;
                for (int x = 0; x < width; ++x, p += 3) out[x] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            } else {
                for (int x = 0; x < width; ++x) {
                    if (row[x] >= colours) {
                        failed("palette index out of range");
                        return false;
                    }
                    out[x] = palette[row[x]];
                }
            }
        }
        return true;
    }

    static BmpImage decode(const unsigned char* data, size_t size) {
        BmpImage image = readHeader(data, size);
        if (!image.error.empty()) return image;
        image.pixels.resize(size_t(image.width) * size_t(image.height));
        image.decodeRows(data, image.pixels.data(), size_t(image.width));
        return image;
    }

private:
    // Marks the image unreadable and drops what was read of it.
    BmpImage& failed(const std::string& why) {
        error = why;
        palette.clear();
        pixels.clear();
        return *this;
    }
};
