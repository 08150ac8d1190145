// The test allocator: malloc and free replaced for the whole process (quarantine and address reuse),
// operator new counted by size.
#include "tests/editor/FreedMemoryQuarantine.h"

#include <malloc.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define VOZUV_QUARANTINE 1
extern "C" {
void* __libc_malloc(size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}
#endif

namespace {
constexpr unsigned char kFreed = 0xDD;  // a pointer read from a freed block is not canonical: it faults
constexpr std::size_t kHeader = 16;     // keeps the alignment of the default allocator
constexpr std::uint64_t kMagic = 0x7261636b65645f5aULL;  // a tracked block: magic, then its size
constexpr std::size_t kCapacity = 1 << 15;
constexpr int kKept = 4096;

std::atomic<bool> quarantining{false};
std::atomic<bool> tracking{false};
bool reusing = false;
std::atomic_flag busy = ATOMIC_FLAG_INIT;  // free() may come from any thread; no lock that allocates

// Quarantined blocks: the caller's pointer, its size, and where the allocation starts.
std::size_t count = 0;
void* blocks[kCapacity];
void* starts[kCapacity];
std::size_t sizes[kCapacity];

// Tracked blocks kept for reuse (their starts).
unsigned char* kept[kKept];
int keptCount = 0;

struct Spin {
    Spin() {
        while (busy.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~Spin() { busy.clear(std::memory_order_release); }
};

constexpr std::size_t kCountedSizes = 64;
std::atomic<long> liveBySize[kCountedSizes];

#ifdef VOZUV_QUARANTINE
// Readable for every block: a tracked block's header, or the allocator's own chunk header before it.
bool isTracked(void* p) {
    std::uint64_t magic = 0;
    std::memcpy(&magic, static_cast<unsigned char*>(p) - kHeader, sizeof magic);
    return magic == kMagic;
}

std::size_t trackedSize(const unsigned char* start) {
    std::size_t size = 0;
    std::memcpy(&size, start + 8, sizeof size);
    return size;
}

// Gives a block back to the C library; a tracked one loses its mark first.
void release(void* start, bool tracked) {
    if (tracked) std::memset(start, 0, sizeof kMagic);
    __libc_free(start);
}
#endif
}  // namespace

namespace quarantine {

bool available() {
#ifdef VOZUV_QUARANTINE
    return true;
#else
    return false;
#endif
}

void start() { quarantining = available(); }

int end() {
    Spin lock;
    quarantining = false;
    int written = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto* bytes = static_cast<const unsigned char*>(blocks[i]);
        for (std::size_t b = 0; b < sizes[i]; ++b) {
            if (bytes[b] != kFreed) {
                ++written;
                break;
            }
        }
#ifdef VOZUV_QUARANTINE
        release(starts[i], starts[i] != blocks[i]);
#endif
    }
    count = 0;
    return written;
}

long liveBlocksOfSize(std::size_t size) { return size < kCountedSizes ? liveBySize[size].load() : -1; }

}  // namespace quarantine

namespace addressreuse {
void track(bool on) { tracking = on && quarantine::available(); }
void reuse(bool on) {
    Spin lock;
    reusing = on && quarantine::available();
    if (reusing) return;
#ifdef VOZUV_QUARANTINE
    for (int i = 0; i < keptCount; ++i) release(kept[i], true);
#endif
    keptCount = 0;
}
}  // namespace addressreuse

#ifdef VOZUV_QUARANTINE
extern "C" {

void* malloc(size_t size) {
    if (!tracking.load(std::memory_order_relaxed)) return __libc_malloc(size);
    {
        Spin lock;
        for (int i = keptCount - 1; reusing && i >= 0; --i)
            if (trackedSize(kept[i]) == size) {
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
    const bool tracked = isTracked(p);
    unsigned char* start = tracked ? static_cast<unsigned char*>(p) - kHeader : static_cast<unsigned char*>(p);
    if (tracked) {
        Spin lock;
        if (reusing && keptCount < kKept) {
            kept[keptCount++] = start;
            return;
        }
    }
    if (quarantining.load(std::memory_order_relaxed)) {
        const std::size_t size = tracked ? trackedSize(start) : malloc_usable_size(p);
        std::memset(p, kFreed, size);
        Spin lock;
        if (quarantining.load(std::memory_order_relaxed) && count < kCapacity) {
            blocks[count] = p;
            starts[count] = start;
            sizes[count] = size;
            ++count;
            return;
        }
    }
    release(start, tracked);
}

void* calloc(size_t number, size_t size) {
    if (size && number > SIZE_MAX / size) return nullptr;
    void* p = malloc(number * size);
    if (p) std::memset(p, 0, number * size);
    return p;
}

void* realloc(void* p, size_t size) {
    if (!p) return malloc(size);
    if (!isTracked(p)) return __libc_realloc(p, size);
    void* moved = malloc(size);
    if (!moved) return nullptr;
    const std::size_t old = trackedSize(static_cast<unsigned char*>(p) - kHeader);
    std::memcpy(moved, p, old < size ? old : size);
    free(p);
    return moved;
}

}  // extern "C"

void* operator new(std::size_t size) {
    auto* p = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!p) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(p) = size;
    if (size < kCountedSizes) liveBySize[size].fetch_add(1, std::memory_order_relaxed);
    return p + kHeader;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    auto* start = static_cast<unsigned char*>(p) - kHeader;
    const std::size_t size = *reinterpret_cast<std::size_t*>(start);
    if (size < kCountedSizes) liveBySize[size].fetch_sub(1, std::memory_order_relaxed);
    std::free(start);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
#endif
