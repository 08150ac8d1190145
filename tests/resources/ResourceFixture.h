// Loading helpers shared by the resource tests: decoded bitmaps by resource id.
#pragma once

#include <gtest/gtest.h>

#include "resources/EmbeddedBitmaps.h"
#include "base/BmpImage.h"

// The decoded bitmap of a resource id; an empty image (error set) when it is missing.
inline BmpImage loadBitmap(int id) {
    const EmbeddedBitmap* bitmap = findEmbeddedBitmap(id);
    if (!bitmap) {
        BmpImage missing;
        missing.error = "no bitmap " + std::to_string(id);
        return missing;
    }
    return BmpImage::decode(bitmap->data, bitmap->size);
}

inline int red(uint32_t rgb) { return int(rgb >> 16 & 0xff); }
inline int green(uint32_t rgb) { return int(rgb >> 8 & 0xff); }
inline int blue(uint32_t rgb) { return int(rgb & 0xff); }
