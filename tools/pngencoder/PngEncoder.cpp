// PngEncoder: signature, IHDR, one IDAT of stored deflate blocks, IEND.
#include "tools/pngencoder/PngEncoder.h"

#include <cstddef>
#include <cstdio>

namespace {

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void putChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    putU32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putU32(out, PngEncoder::crc32(out.data() + start, out.size() - start));
}

}  // namespace

uint32_t PngEncoder::crc32(const uint8_t* data, size_t size, uint32_t crc) {
    struct Table {
        uint32_t entry[256];
        Table() {
            for (uint32_t n = 0; n < 256; ++n) {
                uint32_t c = n;
                for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
                entry[n] = c;
            }
        }
    };
    static const Table table;
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table.entry[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

uint32_t PngEncoder::adler32(const uint8_t* data, size_t size) {
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::vector<uint8_t> PngEncoder::encode(const uint8_t* pixels, int width, int height, int channels) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    putU32(header, static_cast<uint32_t>(width));
    putU32(header, static_cast<uint32_t>(height));
    header.push_back(8);                           // bits per channel
    header.push_back(channels == 4 ? 6 : 2);       // RGBA or RGB
    header.insert(header.end(), {0, 0, 0});        // deflate, adaptive filters, no interlace
    putChunk(png, "IHDR", header);

    // Raw scan lines, each led by filter type 0 (none).
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(channels);
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const uint8_t* row = pixels + rowBytes * static_cast<size_t>(y);
        raw.insert(raw.end(), row, row + rowBytes);
    }

    // zlib stream: header 0x78 0x01, stored blocks of at most 65535 bytes, Adler-32 of the raw data.
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t done = 0;
    do {
        const size_t n = raw.size() - done < 65535 ? raw.size() - done : 65535;
        const bool last = done + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n & 0xff));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n & 0xff));
        z.push_back(static_cast<uint8_t>((~n >> 8) & 0xff));
        z.insert(z.end(), raw.begin() + static_cast<ptrdiff_t>(done), raw.begin() + static_cast<ptrdiff_t>(done + n));
        done += n;
    } while (done < raw.size());
    putU32(z, adler32(raw.data(), raw.size()));
    putChunk(png, "IDAT", z);
    putChunk(png, "IEND", {});
    return png;
}

bool PngEncoder::writeFile(const std::string& path, const uint8_t* pixels, int width, int height, int channels) {
    const std::vector<uint8_t> png = encode(pixels, width, height, channels);
    const std::string temporary = path + ".partial";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    if (std::fclose(f) != 0 || !written) {
        std::remove(temporary.c_str());
        return false;
    }
    std::remove(path.c_str());  // Windows rename does not replace
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}
