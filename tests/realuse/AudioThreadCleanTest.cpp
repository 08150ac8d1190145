// The audio thread's calls into the plug-in (processReplacing, and setParameter/getParameter made from
// that thread) never allocate, free, lock, wait or sleep: after a resume, under automation of every
// parameter, and with the editor open on X11 while its user-interface thread idles.
#include <gtest/gtest.h>
#include <dlfcn.h>
#include <malloc.h>
#include <pthread.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "tests/realuse/BareHost.h"

using namespace barehost;

// Interposed C library: every call made while the calling thread is marked is counted, then passed on.
namespace {

enum Kind { Allocate, Free, Lock, Wait, Sleep, KindCount };
const char* const kKindNames[KindCount] = {"allocate", "free", "lock", "wait", "sleep"};
std::atomic<int> calls[KindCount];
thread_local bool marked = false;

void note(Kind kind) {
    if (marked && hostDepth == 0) calls[kind].fetch_add(1, std::memory_order_relaxed);
}

template <typename F>
F next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// Resolved before main, while there is one thread and nothing is marked.
struct RealFunctions {
    int (*mutexLock)(pthread_mutex_t*) = next<int (*)(pthread_mutex_t*)>("pthread_mutex_lock");
    int (*mutexTryLock)(pthread_mutex_t*) = next<int (*)(pthread_mutex_t*)>("pthread_mutex_trylock");
    int (*condWait)(pthread_cond_t*, pthread_mutex_t*) =
        next<int (*)(pthread_cond_t*, pthread_mutex_t*)>("pthread_cond_wait");
    int (*condTimedWait)(pthread_cond_t*, pthread_mutex_t*, const timespec*) =
        next<int (*)(pthread_cond_t*, pthread_mutex_t*, const timespec*)>("pthread_cond_timedwait");
    int (*nanoSleep)(const timespec*, timespec*) = next<int (*)(const timespec*, timespec*)>("nanosleep");
    int (*clockNanoSleep)(clockid_t, int, const timespec*, timespec*) =
        next<int (*)(clockid_t, int, const timespec*, timespec*)>("clock_nanosleep");
    int (*microSleep)(useconds_t) = next<int (*)(useconds_t)>("usleep");
    int (*yield)() = next<int (*)()>("sched_yield");
};
const RealFunctions& real() {
    static const RealFunctions o;
    return o;
}
const RealFunctions& resolvedAtStart = real();

}  // namespace

extern "C" {

void* malloc(size_t size) { return note(Allocate), __libc_malloc(size); }
void* calloc(size_t count, size_t size) { return note(Allocate), __libc_calloc(count, size); }
void* realloc(void* block, size_t size) { return note(Allocate), __libc_realloc(block, size); }
void* memalign(size_t alignment, size_t size) { return note(Allocate), __libc_memalign(alignment, size); }
void* aligned_alloc(size_t alignment, size_t size) { return note(Allocate), __libc_memalign(alignment, size); }
int posix_memalign(void** block, size_t alignment, size_t size) {
    note(Allocate);
    *block = __libc_memalign(alignment, size);
    return *block ? 0 : ENOMEM;
}
void free(void* block) {
    if (block) note(Free);
    __libc_free(block);
}
int pthread_mutex_lock(pthread_mutex_t* mutex) { return note(Lock), real().mutexLock(mutex); }
int pthread_mutex_trylock(pthread_mutex_t* mutex) { return note(Lock), real().mutexTryLock(mutex); }
int pthread_cond_wait(pthread_cond_t* cond, pthread_mutex_t* mutex) {
    return note(Wait), real().condWait(cond, mutex);
}
int pthread_cond_timedwait(pthread_cond_t* cond, pthread_mutex_t* mutex, const timespec* until) {
    return note(Wait), real().condTimedWait(cond, mutex, until);
}
int nanosleep(const timespec* duration, timespec* rest) { return note(Sleep), real().nanoSleep(duration, rest); }
int clock_nanosleep(clockid_t clock, int flags, const timespec* duration, timespec* rest) {
    return note(Sleep), real().clockNanoSleep(clock, flags, duration, rest);
}
int usleep(useconds_t microseconds) { return note(Sleep), real().microSleep(microseconds); }
int sched_yield() { return note(Wait), real().yield(); }
}

namespace {

// Runs a call into the plug-in with the calling thread marked.
template <typename Call>
void markedCall(Call call) {
    marked = true;
    call();
    marked = false;
}

std::string tally() {
    std::string text;
    for (int k = 0; k < KindCount; ++k)
        if (int n = calls[k].exchange(0)) text += std::string(kKindNames[k]) + " " + std::to_string(n) + "; ";
    return text;
}

class AudioThreadCleanTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.load(VOZUV_NATIVE_PLUGIN));
        host.effect = host.entry(&BareHost::callback);
        ASSERT_NE(host.effect, nullptr);
        host.startAudio();
        tally();
    }
    void TearDown() override { host.dispatch(effClose); }

    // One block as a host's audio thread runs it; `automate` sets parameters from that thread first.
    void audioBlock(bool automate) {
        markedCall([&] {
            if (automate) {
                for (VstInt32 i = 0; i < 17; ++i) {
                    const float value = float((block * 7 + i * 3) % 11) / 10.0f;
                    host.effect->setParameter(host.effect, i, value);
                    sink += host.effect->getParameter(host.effect, i);
                }
            }
            host.processBlock();
        });
        ++block;
    }
    // Runs blocks on an audio thread of their own.
    void audioThread(int blocks, bool automate) {
        std::thread audio([&] {
            for (int i = 0; i < blocks; ++i) audioBlock(automate);
        });
        audio.join();
    }

    BareHost host;
    int block = 0;
    float sink = 0.0f;
};


}  // namespace

TEST_F(AudioThreadCleanTest, FirstBlocksAfterResume) {
    audioThread(4, false);
    EXPECT_EQ(tally(), "");
    // A suspend and resume later, at another rate.
    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    host.dispatch(effMainsChanged, 0, 1);
    audioThread(4, false);
    EXPECT_EQ(tally(), "");
}

TEST_F(AudioThreadCleanTest, AutomationOfEveryParameter) {
    audioThread(200, true);
    EXPECT_EQ(tally(), "");
    // Every program too, as a host's program automation sets each parameter of it.
    host.dispatch(effSetProgram, 0, 5);
    audioThread(50, true);
    EXPECT_EQ(tally(), "");
}

TEST_F(AudioThreadCleanTest, EditorOpenOnX11) {
    usePrivateDisplay();
    ParentWindow parent;
    ASSERT_NE(parent.display, nullptr);
    ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, parent.handle()), 1);
    // The user-interface thread idles the editor (meters, read-outs, exposures) while blocks run.
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int i = 0; i < 1500; ++i) audioBlock(true);
        done.store(true);
    });
    int idles = 0;
    while (!done.load() || idles < 3) {
        host.dispatch(effEditIdle);
        ++idles;
    }
    audio.join();
    host.dispatch(effEditClose);
    EXPECT_EQ(tally(), "");
}
