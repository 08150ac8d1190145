// RenderTestSupport: running vozuv-render, scratch folders, audio files and the in-process reference.
#pragma once

#include <gtest/gtest.h>

#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginLibrary.h"
#include "tools/render/BridgePlugin.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

struct CommandResult {
    int status = -1;  // exit status, 128 + signal when killed
    std::string out;
    std::string err;
};

// Runs vozuv-render with args in cwd (default: a fresh scratch folder) with extra environment.
CommandResult runRender(const std::vector<std::string>& args, const std::string& cwd = "",
                        const std::vector<std::pair<std::string, std::string>>& env = {});

std::string scratchDir();  // a new empty folder, removed at exit
bool fileExists(const std::string& path);
std::vector<std::string> listDir(const std::string& path);

struct Audio {
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> samples;  // interleaved
    long long frames() const { return channels ? static_cast<long long>(samples.size()) / channels : 0; }
};
// A test signal with quiet parts, loud parts and hits: the compressor works on every stretch.
Audio makeSignal(int sampleRate, int channels, double seconds);
void writeAudio(const std::string& path, const Audio& audio, int format = 0);
Audio readAudio(const std::string& path);

// The native plug-in library of this tree ("" when the tree does not build it) and the win32 tree's DLL.
std::string nativePlugin();
std::string win32Dll();
std::string win32WinHost();
bool win32TreeReady();
#define SKIP_WITHOUT_WIN32()                                                                               \
    if (!win32TreeReady())                                                                                 \
    GTEST_SKIP() << "the configured win32 tree (" << VOZUV_WIN32_DIR_DEFAULT                               \
                 << ") has no VozuvAzirOVA.dll and vozuv-winhost.exe: build it with scripts/build.sh win32"
#define SKIP_WITHOUT_NATIVE() \
    if (nativePlugin().empty()) GTEST_SKIP() << "this tree builds no native plug-in"

// The native library loaded in this process, instantiated and opened as a host does: what the bridge
// and the renderer are compared with.
struct NativeReference {
    PluginLibrary library;
    PluginHost host;
    // False, with the reason as a test failure, when the library cannot be loaded or instantiated.
    bool open();
};

// Tests of the 32-bit DLL through a bridge session beside the native library in this process; skipped
// when either is not built.
class BridgeBesideNativeTest : public ::testing::Test {
protected:
    void SetUp() override;

    std::unique_ptr<BridgePlugin> bridge;
    NativeReference native;
};

// Processes audio in this process through the native library, as the renderer does: rate, block size,
// program (1-based, 0 keeps), settings by name, mains on, blocks of `block` frames. Mono feeds both
// inputs and keeps the left output.
Audio processInProcess(const Audio& input, int block, int program,
                       const std::vector<std::pair<std::string, float>>& settings);

// Largest sample difference; the two must have the same shape.
double largestDifference(const Audio& a, const Audio& b);
