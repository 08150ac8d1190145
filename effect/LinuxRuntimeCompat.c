/* C library symbols that the statically linked C++ runtime would take from a newer glibc than the Linux
 * library may require (2.29), defined here over older interfaces. Hidden: they serve the library alone.
 * Made for x86_64 with GCC 12 and glibc 2.36 (Debian 12); elsewhere it defines nothing. Compiled without
 * link-time optimisation (cmake/LinuxLibrary.cmake): GCC's symver attribute versions definitions only,
 * so the references to old versions below need the .symver directive, which LTO can move away from the
 * reference it names, leaving an unversioned symbol that never binds. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <link.h>
#include <pthread.h>
#include <stdint.h>
#include <string.h>

#if defined(__x86_64__) && defined(__GLIBC__)

#define VOZUV_HIDDEN __attribute__((visibility("hidden")))

#if __has_include(<sys/single_threaded.h>)
/* Read by the runtime's reference counts and guards (glibc 2.32). Zero is the safe answer: the host has
 * threads, so every count stays atomic. */
VOZUV_HIDDEN char __libc_single_threaded = 0;
#endif

#if __GLIBC_PREREQ(2, 35)
#if DLFO_STRUCT_HAS_EH_DBASE
#error "the _dl_find_object stand-in fills no data base: made for x86_64, whose record has none"
#endif
struct VozuvObjectSearch {
    uintptr_t address;
    struct dl_find_object* result;
    int found;
};

static int vozuvSearchObject(struct dl_phdr_info* info, size_t size, void* data) {
    (void)size;
    struct VozuvObjectSearch* search = data;
    uintptr_t start = UINTPTR_MAX, end = 0;
    int contains = 0;
    const void* ehFrame = NULL;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)* segment = &info->dlpi_phdr[i];
        uintptr_t from = info->dlpi_addr + segment->p_vaddr;
        if (segment->p_type == PT_LOAD) {
            uintptr_t to = from + segment->p_memsz;
            if (search->address >= from && search->address < to) contains = 1;
            if (from < start) start = from;
            if (to > end) end = to;
        } else if (segment->p_type == PT_GNU_EH_FRAME) {
            ehFrame = (const void*)from;
        }
    }
    if (!contains) return 0;
    memset(search->result, 0, sizeof *search->result);
    search->result->dlfo_map_start = (void*)start;
    search->result->dlfo_map_end = (void*)end;
    search->result->dlfo_eh_frame = (void*)ehFrame;
    search->found = 1;
    return 1;
}

/* The unwinder's lookup of a code address (glibc 2.35), answered through dl_iterate_phdr as earlier
 * unwinders did. The link map is not reported: the unwinder reads only the frame table. */
VOZUV_HIDDEN int _dl_find_object(void* address, struct dl_find_object* result) {
    struct VozuvObjectSearch search = {(uintptr_t)address, result, 0};
    dl_iterate_phdr(vozuvSearchObject, &search);
    return search.found ? 0 : -1;
}
#endif

#if __GLIBC_PREREQ(2, 34)
/* glibc 2.34 moved the thread functions into libc under new versions; the unwinder's thread support binds
 * to the versions every glibc has (in libpthread before 2.34, which a host with threads has loaded). */
extern int vozuvPthreadOnceOld(pthread_once_t*, void (*)(void)) __attribute__((weak));
__asm__(".symver vozuvPthreadOnceOld, pthread_once@GLIBC_2.2.5");
extern int vozuvPthreadKeyCreateOld(pthread_key_t*, void (*)(void*)) __attribute__((weak));
__asm__(".symver vozuvPthreadKeyCreateOld, __pthread_key_create@GLIBC_2.2.5");

VOZUV_HIDDEN int pthread_once(pthread_once_t* control, void (*routine)(void)) {
    if (vozuvPthreadOnceOld) return vozuvPthreadOnceOld(control, routine);
    /* No thread library in the process: there is one thread. */
    if (*control == PTHREAD_ONCE_INIT) {
        *control = 1;
        routine();
    }
    return 0;
}

VOZUV_HIDDEN int __pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
    return vozuvPthreadKeyCreateOld ? vozuvPthreadKeyCreateOld(key, destructor) : ENOSYS;
}
#endif

#endif
