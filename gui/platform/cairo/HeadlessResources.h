// The bitmap resources the headless backend loads pixmaps from: the embedded ones, plus any a test adds.
#pragma once

#include <cstddef>
#include <cstdint>

class HeadlessResources {
public:
    struct Bytes {
        const unsigned char* data = nullptr;
        size_t size = 0;
    };

    // The BMP file bytes for a resource id: an added one first, else the module's embedded bitmap.
    static Bytes find(int32_t id);

    // Adds (or replaces) a resource; the bytes must outlive their use. Tests and tools use it to give
    // pixmaps pictures of their own.
    static void add(int32_t id, const unsigned char* data, size_t size);
    static void remove(int32_t id);
};
