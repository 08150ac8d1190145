// Turns the module's embedded bitmap files into Cairo images, or reads their size alone.
#pragma once

#include <cstddef>
#include <cstdint>

typedef struct _cairo_surface cairo_surface_t;

class BmpDecoder {
public:
    // The picture's size from its header, without decoding a pixel; false when the bytes are not a
    // bitmap of the kind the module carries.
    static bool readSize(const unsigned char* data, size_t size, int32_t& width, int32_t& height);
    // A new RGB24 image surface, or null when the bytes are not a bitmap of the kind the module carries.
    static cairo_surface_t* decode(const unsigned char* data, size_t size);
};
