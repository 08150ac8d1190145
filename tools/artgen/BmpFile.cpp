// BmpFile: a canvas saved in the two file layouts the plug-in carries.
#include "tools/artgen/BmpFile.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "tools/artgen/Canvas.h"
#include "tools/bmpfile/BmpWriter.h"
#include "tools/artgen/PaletteQuantizer.h"

namespace {

bool save(const std::vector<uint8_t>& bytes, const std::string& path) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace

bool BmpFile::write24(const Canvas& canvas, const std::string& path) {
    const int w = canvas.width(), h = canvas.height();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) pixels.push_back(canvas.pixel(x, y));
    }
    return save(BmpWriter::rgb24(w, h, pixels), path);
}

bool BmpFile::write8(const Canvas& canvas, const std::string& path) {
    const int w = canvas.width(), h = canvas.height();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) pixels.push_back(canvas.pixel(x, y));
    }
    const PaletteQuantizer quantizer(pixels);
    std::vector<uint8_t> indices;
    for (uint32_t p : pixels) indices.push_back(quantizer.indexOf(p));
    return save(BmpWriter::indexed8(w, h, quantizer.palette(), indices), path);
}
