// Bitmap resources compiled into native builds: the whole BMP file of each resource id.
#pragma once

struct EmbeddedBitmap {
    int id;                    // resource id, as numbered in resources/VozuvAzirOVA.rc
    const unsigned char* data; // the complete .bmp file: file header, info header, palette, pixels
    unsigned size;             // bytes in data
};

// The bitmap with this resource id, or null when the module carries none.
const EmbeddedBitmap* findEmbeddedBitmap(int id);
