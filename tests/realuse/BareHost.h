// A host that allocates nothing on the plug-in's behalf: the native library loaded with dlopen, a
// callback answered from constants, a sine to process, and a parent window on the display of DISPLAY.
// Tests that count what the plug-in itself does (allocations, locks) drive the library through it.
#pragma once

#include <dlfcn.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#define Pixmap XlibPixmap
#include <X11/Xlib.h>
#undef Pixmap

#include "framework/VstInterface.h"
#include "tools/xvfb/XvfbServer.h"

namespace barehost {

// Above zero while the host's own code runs inside a call into the plug-in (its callback): counters
// leave that work out.
inline thread_local int hostDepth = 0;

constexpr int kBlock = 64;

struct BareHost {
    using MainProc = AEffect* (*)(audioMasterCallback);

    static VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
        ++hostDepth;
        VstIntPtr answer = 0;
        if (opcode == audioMasterVersion) answer = 2400;
        if (opcode == audioMasterGetSampleRate) answer = 48000;
        if (opcode == audioMasterGetBlockSize) answer = kBlock;
        --hostDepth;
        return answer;
    }

    // Loads the library (kept loaded for the life of the process, as hosts that scan plug-ins do).
    bool load(const char* path) {
        void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (handle) entry = reinterpret_cast<MainProc>(dlsym(handle, "main"));
        return entry != nullptr;
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    // One block of a 1 kHz sine at 48 kHz, half scale; the output is folded into `checksum`.
    void processBlock() {
        for (int i = 0; i < kBlock; ++i, ++frame) in[0][i] = in[1][i] = 0.5f * float(std::sin(frame * 0.1308996939));
        float* inputs[2] = {in[0], in[1]};
        float* outputs[2] = {out[0], out[1]};
        effect->processReplacing(effect, inputs, outputs, kBlock);
        for (const auto& channel : out)
            for (float sample : channel) {
                uint32_t bits;
                std::memcpy(&bits, &sample, sizeof bits);
                checksum = (checksum ^ bits) * 1099511628211ull;
            }
    }
    void startAudio() {
        dispatch(effOpen);
        dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
        dispatch(effSetBlockSize, 0, kBlock);
        dispatch(effMainsChanged, 0, 1);
    }

    MainProc entry = nullptr;
    AEffect* effect = nullptr;
    float in[2][kBlock] = {};
    float out[2][kBlock] = {};
    long frame = 0;
    uint64_t checksum = 14695981039346656037ull;
};

// A private Xvfb for the program, made the display of DISPLAY; started on first use.
inline void usePrivateDisplay() {
    static XvfbServer server;
    setenv("DISPLAY", server.display().c_str(), 1);
}

// A mapped top-level window for the editor, on a connection of the host's own.
struct ParentWindow {
    ParentWindow() {
        display = XOpenDisplay(nullptr);
        if (!display) return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 762, 104, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~ParentWindow() {
        if (!display) return;
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;
    void* handle() const { return reinterpret_cast<void*>(uintptr_t(window)); }
    // Windows inside this one, as the server has them now (-1 when it cannot tell).
    int childCount() const {
        Window root = 0, up = 0, *children = nullptr;
        unsigned int count = 0;
        if (!display || !XQueryTree(display, window, &root, &up, &children, &count)) return -1;
        if (children) XFree(children);
        return int(count);
    }

    Display* display = nullptr;
    Window window = 0;
};

}  // namespace barehost

// The C library's own allocator, under the names it keeps for programs that replace malloc.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}
