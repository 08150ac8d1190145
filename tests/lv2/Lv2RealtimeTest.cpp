// Lv2RealtimeTest: connect_port and run, the calls a host makes on its audio thread, never allocate, free or
// lock, over blocks of every size, in place, with every control port moving between blocks. The DSP
// library is loaded as a host loads it; the C library's allocator and mutex are interposed and count the
// calls of the marked thread.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/core/lv2.h>
#include <pthread.h>

#include <atomic>
#include <vector>

#include "lv2/PortMap.h"

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}

namespace {

std::atomic<int> forbiddenCalls{0};
thread_local bool audioThread = false;

inline void count() {
    if (audioThread) forbiddenCalls.fetch_add(1, std::memory_order_relaxed);
}

using MutexLock = int (*)(pthread_mutex_t*);
MutexLock realMutexLock() {
    static const MutexLock lock = reinterpret_cast<MutexLock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    return lock;
}

}  // namespace

extern "C" {
void* malloc(size_t size) { return count(), __libc_malloc(size); }
void* calloc(size_t n, size_t size) { return count(), __libc_calloc(n, size); }
void* realloc(void* block, size_t size) { return count(), __libc_realloc(block, size); }
void free(void* block) {
    if (block) count();
    __libc_free(block);
}
int pthread_mutex_lock(pthread_mutex_t* mutex) { return count(), realMutexLock()(mutex); }
}

namespace {

TEST(Lv2RealtimeTest, ConnectAndRunNeitherAllocateNorLock) {
    realMutexLock();
    void* library = dlopen(VOZUV_LV2_DSP_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto entry = reinterpret_cast<const LV2_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2_descriptor"));
    ASSERT_NE(entry, nullptr);
    const LV2_Descriptor* d = entry(0);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(entry(1), nullptr);
    LV2_Handle h = d->instantiate(d, 48000.0, "", nullptr);
    ASSERT_NE(h, nullptr);
    std::vector<float> left(8192, 0.5f), right(8192, -0.25f);
    float controls[PortMap::kFirstMeter] = {}, meters[3] = {};
    d->activate(h);

    audioThread = true;
    for (int round = 0; round < 40; ++round) {
        for (uint32_t p = 0; p < PortMap::kFirstMeter; ++p) {
            controls[p] = PortMap::toPortValue(p, 0.05f * static_cast<float>((round + p) % 20));
            d->connect_port(h, p, &controls[p]);
        }
        for (uint32_t m = 0; m < 3; ++m) d->connect_port(h, PortMap::kFirstMeter + m, &meters[m]);
        d->connect_port(h, PortMap::kAudioIn, left.data());
        d->connect_port(h, PortMap::kAudioIn + 1, right.data());
        d->connect_port(h, PortMap::kAudioOut, left.data());
        d->connect_port(h, PortMap::kAudioOut + 1, right.data());
        const uint32_t sizes[] = {0, 1, 37, 512, 8192};
        d->run(h, sizes[round % 5]);
    }
    audioThread = false;
    EXPECT_EQ(forbiddenCalls.load(), 0) << "allocations, frees or locks on the audio thread";
    EXPECT_GT(meters[0], 0.0f);

    d->deactivate(h);
    d->cleanup(h);
    dlclose(library);
}

}  // namespace
