// Decodes Windows BMP file bytes (1, 4, 8, 24 and 32 bits, bottom-up or top-down) into a Cairo image.
#pragma once

#include <cstddef>

typedef struct _cairo_surface cairo_surface_t;

class BmpDecoder {
public:
    // A new RGB24 image surface, or null when the bytes are not an uncompressed BMP this decoder reads.
    // Every size and offset is checked against the buffer, so damaged files cannot read past it.
    static cairo_surface_t* decode(const unsigned char* data, size_t size);
};
