// BmpFile: the two file layouts the plug-in carries, written byte by byte (little endian).
#include "tools/artgen/BmpFile.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "tools/artgen/Canvas.h"
#include "tools/artgen/PaletteQuantizer.h"

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xff);
    out.push_back((v >> 8) & 0xff);
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// File header and info header; palette and pixels follow.
std::vector<uint8_t> headers(int width, int height, int bitCount, uint32_t paletteSize, uint32_t imageSize) {
    const uint32_t offset = 14 + 40 + 4 * paletteSize;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + imageSize);
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));  // positive: rows stored bottom-up
    put16(out, 1);
    put16(out, static_cast<uint32_t>(bitCount));
    put32(out, 0);  // BI_RGB
    put32(out, imageSize);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, paletteSize);
    put32(out, paletteSize);
    return out;
}

bool save(const std::vector<uint8_t>& bytes, const std::string& path) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

int stride(int width, int bitCount) { return (width * bitCount / 8 + 3) & ~3; }

}  // namespace

bool BmpFile::write24(const Canvas& canvas, const std::string& path) {
    const int w = canvas.width(), h = canvas.height(), rowBytes = stride(w, 24);
    std::vector<uint8_t> out = headers(w, h, 24, 0, static_cast<uint32_t>(rowBytes * h));
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = canvas.pixel(x, y);
            out.push_back(p & 0xff);
            out.push_back((p >> 8) & 0xff);
            out.push_back((p >> 16) & 0xff);
        }
        for (int pad = w * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return save(out, path);
}

bool BmpFile::write8(const Canvas& canvas, const std::string& path) {
    const int w = canvas.width(), h = canvas.height(), rowBytes = stride(w, 8);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) pixels.push_back(canvas.pixel(x, y));
    }
    const PaletteQuantizer quantizer(pixels);
    const std::vector<uint32_t>& palette = quantizer.palette();
    std::vector<uint8_t> out =
        headers(w, h, 8, static_cast<uint32_t>(palette.size()), static_cast<uint32_t>(rowBytes * h));
    for (uint32_t c : palette) {
        out.push_back(c & 0xff);
        out.push_back((c >> 8) & 0xff);
        out.push_back((c >> 16) & 0xff);
        out.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) out.push_back(quantizer.indexOf(pixels[size_t(y) * w + x]));
        for (int pad = w; pad < rowBytes; ++pad) out.push_back(0);
    }
    return save(out, path);
}
