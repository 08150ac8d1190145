// The quarantining allocator: free() replaced for the whole process, operator new counted by size.
#include "tests/editor/FreedMemoryQuarantine.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define VOZUV_QUARANTINE 1
extern "C" void __libc_free(void*);
#endif

namespace {
constexpr unsigned char kFreed = 0xDD;  // a pointer read from a freed block is not canonical: it faults
constexpr std::size_t kHeader = 16;     // keeps the alignment of the default allocator
constexpr std::size_t kCapacity = 1 << 15;

std::atomic<bool> on{false};
std::atomic_flag busy = ATOMIC_FLAG_INIT;  // free() may come from any thread; no lock that allocates
std::size_t count = 0;
void* blocks[kCapacity];
std::size_t sizes[kCapacity];

struct Spin {
    Spin() {
        while (busy.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~Spin() { busy.clear(std::memory_order_release); }
};

constexpr std::size_t kCountedSizes = 64;
std::atomic<long> liveBySize[kCountedSizes];
}  // namespace

namespace quarantine {

bool available() {
#ifdef VOZUV_QUARANTINE
    return true;
#else
    return false;
#endif
}

void start() { on = available(); }

int end() {
    Spin lock;
    on = false;
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
        __libc_free(blocks[i]);
#endif
    }
    count = 0;
    return written;
}

long liveBlocksOfSize(std::size_t size) { return size < kCountedSizes ? liveBySize[size].load() : -1; }

}  // namespace quarantine

#ifdef VOZUV_QUARANTINE
extern "C" void free(void* p) {
    if (!p) return;
    if (on.load(std::memory_order_relaxed)) {
        const std::size_t size = malloc_usable_size(p);
        std::memset(p, kFreed, size);
        Spin lock;
        if (on.load(std::memory_order_relaxed) && count < kCapacity) {
            blocks[count] = p;
            sizes[count] = size;
            ++count;
            return;
        }
    }
    __libc_free(p);
}

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
