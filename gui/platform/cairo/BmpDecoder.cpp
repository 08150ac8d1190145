// BMP file decoding for the headless backend's pixmaps.
#include "gui/platform/cairo/BmpDecoder.h"

#include <cairo.h>

#include <cstdint>
#include <vector>

namespace {

uint32_t readU16(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t readU32(const unsigned char* p) { return readU16(p) | readU16(p + 2) << 16; }

constexpr uint32_t fileHeaderSize = 14;
constexpr uint32_t coreHeaderSize = 12;  // OS/2 BITMAPCOREHEADER: 16-bit sizes, 3-byte palette entries
constexpr uint32_t compressionNone = 0;
constexpr uint32_t compressionBitfields = 3;
constexpr int32_t maxDimension = 32768;

struct Layout {
    int32_t width = 0;
    int32_t height = 0;  // always positive here
    bool topDown = false;
    uint32_t bitCount = 0;
    uint32_t compression = compressionNone;
    uint32_t paletteEntries = 0;
    uint32_t paletteEntrySize = 4;
    uint32_t paletteOffset = 0;
    uint32_t masks[3] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
};

bool readLayout(const unsigned char* data, size_t size, Layout& out) {
    if (size < fileHeaderSize + coreHeaderSize || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t headerSize = readU32(data + fileHeaderSize);
    const unsigned char* info = data + fileHeaderSize;
    if (headerSize == coreHeaderSize) {
        out.width = int32_t(readU16(info + 4));
        out.height = int32_t(readU16(info + 6));
        out.bitCount = readU16(info + 10);
        out.paletteEntrySize = 3;
    } else {
        if (headerSize < 40 || size < fileHeaderSize + size_t(headerSize)) return false;
        out.width = int32_t(readU32(info + 4));
        const int32_t height = int32_t(readU32(info + 8));
        if (height == INT32_MIN) return false;
        out.topDown = height < 0;
        out.height = height < 0 ? -height : height;
        out.bitCount = readU16(info + 14);
        out.compression = readU32(info + 16);
        out.paletteEntries = readU32(info + 32);
        if (out.compression == compressionBitfields) {
            // The three masks follow a 40-byte header, and sit inside the larger ones.
            if (size < fileHeaderSize + 40 + 12) return false;
            for (int i = 0; i < 3; ++i) out.masks[i] = readU32(info + 40 + 4 * i);
        }
    }
    if (out.width <= 0 || out.height <= 0 || out.width > maxDimension || out.height > maxDimension) return false;
    switch (out.bitCount) {
    case 1: case 4: case 8:
        if (out.compression != compressionNone) return false;
        if (out.paletteEntries == 0 || out.paletteEntries > (1u << out.bitCount)) out.paletteEntries = 1u << out.bitCount;
        break;
    case 24:
        if (out.compression != compressionNone) return false;
        break;
    case 16: case 32:
        if (out.compression != compressionNone && out.compression != compressionBitfields) return false;
        if (out.compression == compressionNone && out.bitCount == 16) {
            out.masks[0] = 0x7C00u; out.masks[1] = 0x03E0u; out.masks[2] = 0x001Fu;
        }
        break;
    default:
        return false;
    }
    out.paletteOffset = fileHeaderSize + headerSize + (out.compression == compressionBitfields && headerSize == 40 ? 12 : 0);
    return true;
}

// Scales a masked channel to 0..255.
uint32_t channel(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!(mask & 1u)) { mask >>= 1; ++shift; }
    const uint32_t v = (value >> shift) & mask;
    return mask == 0xFFu ? v : (v * 255u + mask / 2) / mask;
}

}  // namespace

cairo_surface_t* BmpDecoder::decode(const unsigned char* data, size_t size) {
    Layout layout;
    if (!data || !readLayout(data, size, layout)) return nullptr;

    std::vector<uint32_t> palette(layout.paletteEntries, 0);
    const size_t paletteBytes = size_t(layout.paletteEntries) * layout.paletteEntrySize;
    if (layout.paletteOffset > size || size - layout.paletteOffset < paletteBytes) return nullptr;
    for (uint32_t i = 0; i < layout.paletteEntries; ++i) {
        const unsigned char* e = data + layout.paletteOffset + size_t(i) * layout.paletteEntrySize;
        palette[i] = uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0];  // stored blue, green, red
    }

    const size_t stride = (size_t(layout.width) * layout.bitCount + 31) / 32 * 4;
    const size_t pixelOffset = readU32(data + 10);
    if (pixelOffset > size || (size - pixelOffset) / stride < size_t(layout.height)) return nullptr;

    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, layout.width, layout.height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return nullptr;
    }
    cairo_surface_flush(image);
    unsigned char* target = cairo_image_surface_get_data(image);
    const int targetStride = cairo_image_surface_get_stride(image);

    for (int32_t row = 0; row < layout.height; ++row) {
        const int32_t y = layout.topDown ? row : layout.height - 1 - row;
        const unsigned char* src = data + pixelOffset + size_t(row) * stride;
        auto* dst = reinterpret_cast<uint32_t*>(target + size_t(y) * targetStride);
        for (int32_t x = 0; x < layout.width; ++x) {
            uint32_t rgb = 0;
            switch (layout.bitCount) {
            case 1: case 4: case 8: {
                const uint32_t perByte = 8 / layout.bitCount;
                const uint32_t byte = src[x / perByte];
                const uint32_t shift = 8 - layout.bitCount * (x % perByte + 1);
                const uint32_t index = (byte >> shift) & ((1u << layout.bitCount) - 1);
                rgb = index < palette.size() ? palette[index] : 0;  // GDI shows stray indices as black
                break;
            }
            case 16: {
                const uint32_t v = readU16(src + 2 * x);
                rgb = channel(v, layout.masks[0]) << 16 | channel(v, layout.masks[1]) << 8 | channel(v, layout.masks[2]);
                break;
            }
            case 24:
                rgb = uint32_t(src[3 * x + 2]) << 16 | uint32_t(src[3 * x + 1]) << 8 | src[3 * x];
                break;
            case 32: {
                const uint32_t v = readU32(src + 4 * x);
                rgb = channel(v, layout.masks[0]) << 16 | channel(v, layout.masks[1]) << 8 | channel(v, layout.masks[2]);
                break;
            }
            }
            dst[x] = rgb;
        }
    }
    cairo_surface_mark_dirty(image);
    return image;
}
