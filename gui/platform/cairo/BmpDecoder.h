// Turns the module's embedded bitmap files into Cairo images.
#pragma once

#include <cstddef>

typedef struct _cairo_surface cairo_surface_t;

class BmpDecoder {
public:
    // A new RGB24 image surface, or null when the bytes are not a bitmap of the kind the module carries.
    static cairo_surface_t* decode(const unsigned char* data, size_t size);
};
