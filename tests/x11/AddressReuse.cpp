// AddressReuse: the C library's allocator wrapped, for every allocation of the test program and of the
// plug-in it loads (whose own C++ runtime allocates through malloc). The sanitizer trees keep their own
// allocator, which finds a use of a freed window by itself: there reuse is off.
#include "tests/x11/AddressReuse.h"

#include <atomic>
#include <cstdint>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
namespace addressreuse {
void track(bool) {}
void reuse(bool) {}
}  // namespace addressreuse
#else

extern "C" {
void* __libc_malloc(size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}

namespace {

// A tracked block starts with this header; the caller gets what follows it (alignment kept).
constexpr std::size_t kHeader = 16;
constexpr std::uint64_t kMagic = 0x7261636b65645f5aULL;

std::atomic<bool> tracking{false};
std::atomic_flag busy = ATOMIC_FLAG_INIT;
bool reusing = false;
constexpr int kKept = 4096;
unsigned char* kept[kKept];
int keptCount = 0;

struct Lock {
    Lock() {
        while (busy.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~Lock() { busy.clear(std::memory_order_release); }
};

// Readable for every block: a tracked block's header, or the allocator's own chunk header before it.
bool isTracked(void* p) {
    std::uint64_t magic = 0;
    std::memcpy(&magic, static_cast<unsigned char*>(p) - kHeader, sizeof magic);
    return magic == kMagic;
}

std::size_t sizeOf(unsigned char* start) {
    std::size_t size = 0;
    std::memcpy(&size, start + 8, sizeof size);
    return size;
}

}  // namespace

namespace addressreuse {
void track(bool on) { tracking = on; }
void reuse(bool on) {
    Lock lock;
    reusing = on;
    if (on) return;
    for (int i = 0; i < keptCount; ++i) {
        std::memset(kept[i], 0, sizeof kMagic);
        __libc_free(kept[i]);
    }
    keptCount = 0;
}
}  // namespace addressreuse

extern "C" {

void* malloc(size_t size) {
    if (!tracking.load(std::memory_order_relaxed)) return __libc_malloc(size);
    {
        Lock lock;
        for (int i = keptCount - 1; reusing && i >= 0; --i)
            if (sizeOf(kept[i]) == size) {
                unsigned char* start = kept[i];
                // Last first, like the allocator's own caches: the order of the others stays.
                std::memmove(kept + i, kept + i + 1, sizeof kept[0] * std::size_t(--keptCount - i));
                return start + kHeader;
            }
    }
    auto* start = static_cast<unsigned char*>(__libc_malloc(size + kHeader));
    if (!start) return nullptr;
    std::memcpy(start, &kMagic, sizeof kMagic);
    std::memcpy(start + 8, &size, sizeof size);
    return start + kHeader;
}

void free(void* p) {
    if (!p) return;
    if (!isTracked(p)) {
        __libc_free(p);
        return;
    }
    unsigned char* start = static_cast<unsigned char*>(p) - kHeader;
    {
        Lock lock;
        if (reusing && keptCount < kKept) {
            kept[keptCount++] = start;
            return;
        }
    }
    std::memset(start, 0, sizeof kMagic);
    __libc_free(start);
}

void* calloc(size_t count, size_t size) {
    if (size && count > SIZE_MAX / size) return nullptr;
    void* p = malloc(count * size);
    if (p) std::memset(p, 0, count * size);
    return p;
}

void* realloc(void* p, size_t size) {
    if (!p) return malloc(size);
    if (!isTracked(p)) return __libc_realloc(p, size);
    void* moved = malloc(size);
    if (!moved) return nullptr;
    const std::size_t old = sizeOf(static_cast<unsigned char*>(p) - kHeader);
    std::memcpy(moved, p, old < size ? old : size);
    free(p);
    return moved;
}

}  // extern "C"
#endif
