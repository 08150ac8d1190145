// FloatingPointStateTest: loading the DLL, creating, processing, opening and closing the editor and closing
// the plug-in leave the host thread's x87 control word and SSE control register as the host set them.
#include <windows.h>
#include <xmmintrin.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/wine/plugin/PluginFixture.h"

namespace {

struct FpState {
    uint16_t x87 = 0;
    uint32_t mxcsr = 0;
};

FpState readFp() {
    FpState state;
    __asm__ volatile("fnstcw %0" : "=m"(state.x87));
    state.mxcsr = _mm_getcsr();
    return state;
}

void writeFp(FpState state) {
    __asm__ volatile("fldcw %0" : : "m"(state.x87));
    _mm_setcsr(state.mxcsr);
}

// Empty when the state is the host's, else what changed and in which step.
std::string changed(const FpState& expected, const char* step) {
    const FpState now = readFp();
    // The low six MXCSR bits are sticky exception flags that any arithmetic sets; only the controls count.
    if (now.x87 == expected.x87 && ((now.mxcsr ^ expected.mxcsr) & ~0x3Fu) == 0) return "";
    char text[160];
    std::snprintf(text, sizeof text, "%s: x87 control word %04x (host %04x), MXCSR %08x (host %08x)", step,
                  unsigned(now.x87), unsigned(expected.x87), unsigned(now.mxcsr), unsigned(expected.mxcsr));
    return text;
}

void pumpMessages() {
    MSG message;
    for (int i = 0; i < 1000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&message);
}

TEST(FloatingPointStateTest, HostControlWordsSurviveAWholePluginLife) {
    const FpState saved = readFp();
    // Truncating rounding at single precision for x87, rounding toward zero for SSE: nothing a plug-in sets.
    const FpState host{0x0C7F, 0x7F80};
    writeFp(host);
    std::vector<std::string> changes;
    auto check = [&](const char* step) {
        std::string change = changed(host, step);
        if (!change.empty()) changes.push_back(change);
        writeFp(host);  // each step is judged on its own
    };

    {
        PluginLibrary library;
        const bool loaded = library.open(pluginDllPath());
        check("LoadLibrary");
        PluginHost host;
        const bool created = loaded && host.instantiate(library.entry());
        check("main");
        if (created) {
            host.dispatch(effOpen);
            host.setSampleRate(48000.0f);
            host.setBlockSize(256);
            host.setMains(true);
            check("effOpen and set-up");
            std::vector<float> in(1024, 0.5f), out(1024);
            const float* inputs[2] = {in.data(), in.data()};
            float* outputs[2] = {out.data(), out.data()};
            host.processBlocks(inputs, outputs, 2, 1024, 256);
            check("processReplacing");
            HWND frame = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, 762, 104, nullptr,
                                         nullptr, GetModuleHandleA(nullptr), nullptr);
            host.dispatch(effEditOpen, 0, 0, frame);
            pumpMessages();
            host.dispatch(effEditIdle);
            check("effEditOpen and idle");
            host.dispatch(effEditClose);
            DestroyWindow(frame);
            pumpMessages();
            check("effEditClose");
            host.close();
            check("effClose");
        }
        EXPECT_TRUE(created) << (loaded ? host.error() : library.error());
    }
    check("FreeLibrary");
    writeFp(saved);
    for (const std::string& change : changes) ADD_FAILURE() << change;
}

}  // namespace
