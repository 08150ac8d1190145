// PngEncoder: writes 8-bit RGB or RGBA pictures as PNG files without a compression library
// (zlib "stored" blocks, CRC-32 and Adler-32 computed here).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PngEncoder {
public:
    // pixels: rows top to bottom, `channels` bytes per pixel (3 = RGB, 4 = RGBA), rows packed.
    static std::vector<uint8_t> encode(const uint8_t* pixels, int width, int height, int channels);
    // Writes to a temporary name and renames it, so a failed write leaves no partial picture.
    static bool writeFile(const std::string& path, const uint8_t* pixels, int width, int height, int channels);

    static uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
    static uint32_t adler32(const uint8_t* data, size_t size);
};
