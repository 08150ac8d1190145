// CreationTouchesNothingTest: an instance a host creates, questions and closes without opening its editor
// (a scan) connects to no display, opens no file and decodes no picture; the editor's first size request
// reads the settings and the display's scale, through one connection for the whole process.
// The library is loaded as a host loads it; this program's own XOpenDisplay, fopen, open and
// cairo_image_surface_create stand in front of the system's and count the calls made while counting is on.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include <atomic>
#include <string>

#include "tests/realuse/BareHost.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<int> connections{0};
std::atomic<int> fileOpens{0};
std::atomic<int> images{0};

// The next definition of a symbol: the system's, or one in a library the plug-in loaded privately.
template <typename Function>
Function next(const char* name, const char* library) {
    void* found = dlsym(RTLD_NEXT, name);
    if (!found) {
        if (void* handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD)) found = dlsym(handle, name);
    }
    return reinterpret_cast<Function>(found);
}

void countFile() {
    if (counting.load()) ++fileOpens;
}

mode_t modeOf(int flags, va_list arguments) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(arguments, int)) : 0;
}

int forwardOpen(const char* name, const char* path, int flags, va_list arguments) {
    countFile();
    const auto real = next<int (*)(const char*, int, ...)>(name, "libc.so.6");
    return real(path, flags, modeOf(flags, arguments));
}

}  // namespace

extern "C" {

Display* XOpenDisplay(const char* name) {
    if (counting.load()) ++connections;
    static const auto real = next<Display* (*)(const char*)>("XOpenDisplay", "libX11.so.6");
    return real(name);
}

FILE* fopen(const char* path, const char* mode) {
    countFile();
    static const auto real = next<FILE* (*)(const char*, const char*)>("fopen", "libc.so.6");
    return real(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
    countFile();
    static const auto real = next<FILE* (*)(const char*, const char*)>("fopen64", "libc.so.6");
    return real(path, mode);
}

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int file = forwardOpen("open", path, flags, arguments);
    va_end(arguments);
    return file;
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int file = forwardOpen("open64", path, flags, arguments);
    va_end(arguments);
    return file;
}

int openat(int folder, const char* path, int flags, ...) {
    countFile();
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    static const auto real = next<int (*)(int, const char*, int, ...)>("openat", "libc.so.6");
    return real(folder, path, flags, mode);
}

// Every decoded picture becomes a Cairo image surface; so do the editor window's own images.
void* cairo_image_surface_create(int format, int width, int height) {
    if (counting.load()) ++images;
    static const auto real = next<void* (*)(int, int, int)>("cairo_image_surface_create", "libcairo.so.2");
    return real(format, width, height);
}

}  // extern "C"

namespace {

// Settings of the test's own, empty, so the size request has no stored choice and asks the display.
struct PrivateSettings {
    PrivateSettings() {
        std::string pattern = testing::TempDir() + "vozuv-creation-XXXXXX";
        if (mkdtemp(pattern.data())) setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
    }
};

// Everything a scanner or a session's loading asks of an instance that never shows its editor.
void questionAsAScanDoes(barehost::BareHost& host) {
    host.dispatch(effOpen);
    char text[256];
    for (VstInt32 opcode : {effGetEffectName, effGetVendorString, effGetProductString, effGetProgramName}) {
        text[0] = '\0';
        host.dispatch(opcode, 0, 0, text);
    }
    for (VstInt32 p = 0; p < host.effect->numParams; ++p) {
        for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
            text[0] = '\0';
            host.dispatch(opcode, p, 0, text);
        }
        host.effect->setParameter(host.effect, p, host.effect->getParameter(host.effect, p));
    }
    for (VstInt32 program = 0; program < host.effect->numPrograms; ++program) {
        text[0] = '\0';
        host.dispatch(effGetProgramNameIndexed, program, 0, text);
    }
    char canDo[] = "receiveVstTimeInfo";
    host.dispatch(effCanDo, 0, 0, canDo);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    host.dispatch(effSetBlockSize, 0, barehost::kBlock);
    host.dispatch(effMainsChanged, 0, 1);
    host.processBlock();
    host.dispatch(effMainsChanged, 0, 0);
}

}  // namespace

TEST(CreationTouchesNothingTest, AScannedInstanceConnectsOpensAndDecodesNothingUntilItsEditorIsAskedFor) {
    static PrivateSettings settings;
    barehost::usePrivateDisplay();
    barehost::BareHost host;
    ASSERT_TRUE(host.load(VOZUV_NATIVE_PLUGIN));
    counting = true;
    for (int instance = 0; instance < 3; ++instance) {
        host.effect = host.entry(barehost::BareHost::callback);
        ASSERT_NE(host.effect, nullptr);
        questionAsAScanDoes(host);
        host.dispatch(effClose);
    }
    counting = false;
    EXPECT_EQ(connections.load(), 0) << "display connections";
    EXPECT_EQ(fileOpens.load(), 0) << "files opened";
    EXPECT_EQ(images.load(), 0) << "pictures decoded";

    // The editor's size: the settings are read (which shows the counting sees the library's calls) and
    // the display's scale through one connection, however many instances ask.
    counting = true;
    for (int instance = 0; instance < 3; ++instance) {
        host.effect = host.entry(barehost::BareHost::callback);
        ASSERT_NE(host.effect, nullptr);
        host.dispatch(effOpen);
        ERect* rect = nullptr;
        host.dispatch(effEditGetRect, 0, 0, &rect);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->right, 762);
        host.dispatch(effClose);
    }
    counting = false;
    EXPECT_GE(fileOpens.load(), 3) << "each size request reads the stored choice";
    EXPECT_EQ(connections.load(), 1) << "one connection for the process";
    EXPECT_EQ(images.load(), 0);

    // Opening the editor makes its pictures: the image counter sees the library's calls too.
    barehost::ParentWindow parent;
    ASSERT_NE(parent.display, nullptr);
    host.effect = host.entry(barehost::BareHost::callback);
    host.dispatch(effOpen);
    counting = true;
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, parent.handle()), 1);
    counting = false;
    EXPECT_GT(images.load(), 0);
    host.dispatch(effEditClose);
    host.dispatch(effClose);
}
