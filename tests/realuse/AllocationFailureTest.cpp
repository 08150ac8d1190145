// One plug-in life with the k-th allocation the plug-in makes failing, for every k: the host survives
// each, loses no audio, leaks nothing, and the next instance of the same loaded library works.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <dlfcn.h>
#include <link.h>
#include <new>

#include "tests/realuse/BareHost.h"

using namespace barehost;

// Failure injection -------------------------------------------------------------------------------------
// While armed (inside calls into the plug-in, outside the host's callback) the plug-in's allocations are
// counted, and the failAt-th fails. A library built on the shared C++ runtime (the sanitizer trees) gets
// its operator new from this program. The shipped library carries its own runtime, whose operator new
// calls malloc: so the program's malloc counts the calls made from inside the library's own code. Xlib,
// Cairo and fontconfig allocate from their own code and are left alone.
namespace {

bool armed = false;
long allocations = 0;
long failAt = 0;
// Blocks allocated while armed and not freed yet.
constexpr int kTracked = 4096;
void* tracked[kTracked];
int trackedCount = 0;

bool counting() { return armed && hostDepth == 0; }

void* allocate(std::size_t size, std::size_t alignment, bool nothrow) {
    const bool counted = counting();
    if (counted && ++allocations == failAt) {
        if (nothrow) return nullptr;
        throw std::bad_alloc();
    }
    if (size == 0) size = 1;
    void* block = alignment ? std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment)
                            : std::malloc(size);
    if (!block) {
        if (nothrow) return nullptr;
        throw std::bad_alloc();
    }
    if (counted && trackedCount < kTracked) tracked[trackedCount++] = block;
    return block;
}

void forget(void* block) {
    for (int i = trackedCount - 1; i >= 0; --i)
        if (tracked[i] == block) {
            tracked[i] = tracked[--trackedCount];
            break;
        }
}

void release(void* block) {
    if (!block) return;
    forget(block);
    std::free(block);
}

// Where the plug-in library's code lies, once it is loaded.
uintptr_t libraryStart = 0, libraryEnd = 0;

void findLibrary(const void* entry) {
    Dl_info info{};
    if (!dladdr(entry, &info)) return;
    dl_iterate_phdr(
        [](dl_phdr_info* object, size_t, void* base) {
            if (reinterpret_cast<void*>(object->dlpi_addr) != base) return 0;
            for (int i = 0; i < object->dlpi_phnum; ++i) {
                const ElfW(Phdr)& segment = object->dlpi_phdr[i];
                if (segment.p_type != PT_LOAD) continue;
                const uintptr_t start = object->dlpi_addr + segment.p_vaddr;
                if (!libraryStart || start < libraryStart) libraryStart = start;
                if (start + segment.p_memsz > libraryEnd) libraryEnd = start + segment.p_memsz;
            }
            return 1;
        },
        info.dli_fbase);
}

[[maybe_unused]] bool fromLibrary(const void* caller) {
    const auto at = reinterpret_cast<uintptr_t>(caller);
    return at >= libraryStart && at < libraryEnd;
}

}  // namespace

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
extern "C" {

namespace {
// True when the call is counted and is the one that fails.
bool failsHere(const void* caller) {
    return counting() && fromLibrary(caller) && ++allocations == failAt;
}
void* keep(void* block, const void* caller) {
    if (block && counting() && fromLibrary(caller) && trackedCount < kTracked) tracked[trackedCount++] = block;
    return block;
}
}  // namespace

void* malloc(size_t size) {
    const void* caller = __builtin_return_address(0);
    return failsHere(caller) ? nullptr : keep(__libc_malloc(size), caller);
}
void* calloc(size_t count, size_t size) {
    const void* caller = __builtin_return_address(0);
    return failsHere(caller) ? nullptr : keep(__libc_calloc(count, size), caller);
}
void* realloc(void* block, size_t size) {
    const void* caller = __builtin_return_address(0);
    if (failsHere(caller)) return nullptr;
    void* moved = __libc_realloc(block, size);
    if (moved && block) forget(block);
    return keep(moved, caller);
}
void* aligned_alloc(size_t alignment, size_t size) {
    const void* caller = __builtin_return_address(0);
    return failsHere(caller) ? nullptr : keep(__libc_memalign(alignment, size), caller);
}
int posix_memalign(void** block, size_t alignment, size_t size) {
    const void* caller = __builtin_return_address(0);
    if (failsHere(caller)) return ENOMEM;
    *block = keep(__libc_memalign(alignment, size), caller);
    return *block ? 0 : ENOMEM;
}
void free(void* block) {
    if (block && trackedCount) forget(block);
    __libc_free(block);
}
}
#endif

void* operator new(std::size_t n) { return allocate(n, 0, false); }
void* operator new[](std::size_t n) { return allocate(n, 0, false); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return allocate(n, 0, true); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return allocate(n, 0, true); }
void* operator new(std::size_t n, std::align_val_t a) { return allocate(n, std::size_t(a), false); }
void* operator new[](std::size_t n, std::align_val_t a) { return allocate(n, std::size_t(a), false); }
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    return allocate(n, std::size_t(a), true);
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    return allocate(n, std::size_t(a), true);
}
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete(void* p, std::align_val_t) noexcept { release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { release(p); }

// One life, in a child process ---------------------------------------------------------------------------
namespace {

// What a child reports through its pipe.
struct LifeReport {
    int escapedAtStep = 0;      // the step an exception came out of, 0 when none did
    long allocationsInMain = 0;
    bool mainAnsweredNull = false;
    VstIntPtr editOpenAnswer = -1;
    uint64_t audioChecksum = 0;  // of the failing life, 0 without an instance
    bool freshInstanceWorked = false;
    uint64_t freshChecksum = 0;
    long allocations = 0;
    int leakedBlocks = 0;
    int openDescriptors = 0;
    int windowsLeftByFailedOpen = 0;  // children of the host's window after an effEditOpen that answered 0
};

struct Escaped {
    int step;
};

int openDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}

// Runs one call into the plug-in armed; an exception that comes out of it ends the life.
template <typename Call>
auto intoPlugin(int step, Call call) {
    armed = true;
    try {
        auto answer = call();
        armed = false;
        return answer;
    } catch (...) {
        armed = false;
        throw Escaped{step};
    }
}

// main, open, rate and block size, resume, audio, editor open with three idle passes, audio again, editor
// close, close. Answers main's instance or null.
AEffect* live(BareHost& host, int& step, LifeReport& report, VstIntPtr& editOpenAnswer) {
    host.effect = intoPlugin(++step, [&] { return host.entry(&BareHost::callback); });
    report.allocationsInMain = allocations;
    if (!host.effect) return nullptr;
    intoPlugin(++step, [&] { return host.startAudio(), 0; });
    for (int i = 0; i < 8; ++i) intoPlugin(++step, [&] { return host.processBlock(), 0; });
    ParentWindow parent;
    ERect* rect = nullptr;
    intoPlugin(++step, [&] { return host.dispatch(effEditGetRect, 0, 0, &rect); });
    editOpenAnswer = intoPlugin(++step, [&] { return host.dispatch(effEditOpen, 0, 0, parent.handle()); });
    if (editOpenAnswer == 0) report.windowsLeftByFailedOpen = parent.childCount();
    for (int i = 0; i < 3; ++i) intoPlugin(++step, [&] { return host.dispatch(effEditIdle); });
    for (int i = 0; i < 8; ++i) intoPlugin(++step, [&] { return host.processBlock(), 0; });
    intoPlugin(++step, [&] { return host.dispatch(effEditClose); });
    AEffect* instance = host.effect;
    intoPlugin(++step, [&] { return host.dispatch(effClose); });
    return instance;
}

[[noreturn]] void runChild(long failing, int pipeOut) {
    LifeReport report;
    BareHost host;
    if (!host.load(VOZUV_NATIVE_PLUGIN)) _exit(3);
    findLibrary(reinterpret_cast<const void*>(host.entry));
    failAt = failing;
    int step = 0;
    try {
        VstIntPtr answer = -1;
        report.mainAnsweredNull = live(host, step, report, answer) == nullptr;
        report.editOpenAnswer = answer;
        report.audioChecksum = report.mainAnsweredNull ? 0 : host.checksum;
        report.allocations = allocations;
        // The next instance of the same loaded library, with nothing failing.
        failAt = 0;
        BareHost fresh;
        fresh.entry = host.entry;
        int freshStep = 0;
        VstIntPtr freshAnswer = -1;
        LifeReport ignored;
        report.freshInstanceWorked = live(fresh, freshStep, ignored, freshAnswer) != nullptr && freshAnswer == 1;
        report.freshChecksum = fresh.checksum;
    } catch (const Escaped& escaped) {
        report.escapedAtStep = escaped.step;
    }
    report.leakedBlocks = trackedCount;
    report.openDescriptors = openDescriptors();
    if (write(pipeOut, &report, sizeof report) != sizeof report) _exit(4);
    _exit(0);
}

// Runs a life in a child; false when the child died without a report (a crash).
bool runLife(long failing, LifeReport& report) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        runChild(failing, fds[1]);
    }
    close(fds[1]);
    const ssize_t got = read(fds[0], &report, sizeof report);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return got == sizeof report && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}


}  // namespace

TEST(AllocationFailureTest, EveryAllocationOfALifeMayFail) {
    usePrivateDisplay();
    LifeReport clean;
    ASSERT_TRUE(runLife(0, clean));
    ASSERT_EQ(clean.escapedAtStep, 0);
    ASSERT_FALSE(clean.mainAnsweredNull);
    ASSERT_EQ(clean.editOpenAnswer, 1);
    ASSERT_TRUE(clean.freshInstanceWorked);
    ASSERT_EQ(clean.freshChecksum, clean.audioChecksum);
    // The editor's window, pixmaps and controls alone take dozens.
    ASSERT_GT(clean.allocations, 20);

    int escaped = 0, crashed = 0;
    for (long k = 1; k <= clean.allocations; ++k) {
        SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(clean.allocations));
        LifeReport r;
        if (!runLife(k, r)) {
            ++crashed;
            ADD_FAILURE() << "the host died";
            continue;
        }
        if (r.escapedAtStep != 0) {
            ++escaped;
            ADD_FAILURE() << "an exception escaped from call " << r.escapedAtStep;
            continue;
        }
        // Null only when the object itself could not be made.
        if (r.mainAnsweredNull) {
            EXPECT_LE(k, r.allocationsInMain);
        } else {
            EXPECT_EQ(r.audioChecksum, clean.audioChecksum) << "audio changed";
            EXPECT_TRUE(r.editOpenAnswer == 0 || r.editOpenAnswer == 1);
            // An editor that failed to open leaves no window in the host's.
            EXPECT_EQ(r.windowsLeftByFailedOpen, 0);
        }
        EXPECT_TRUE(r.freshInstanceWorked);
        EXPECT_EQ(r.freshChecksum, clean.audioChecksum);
        // Process-wide caches made in either life are made once: a failed life leaves no more behind.
        EXPECT_LE(r.leakedBlocks, clean.leakedBlocks);
        EXPECT_LE(r.openDescriptors, clean.openDescriptors);
    }
    std::printf("allocations per life: %ld; exceptions escaped: %d; host crashed: %d\n", clean.allocations,
                escaped, crashed);
}
