// DllNativeIdentityTest: each DLL, run under Wine, renders exactly the samples the native library renders,
// with the detector filters off and on, at a short and a usual block size.
#include <cstring>

#include "tests/render/RenderTestSupport.h"

namespace {

const std::vector<std::vector<std::string>> kSettings = {
    {"--set", "CompThreshold=0", "--set", "CompRatio=1"},
    {"--set", "CompThreshold=0.4", "--set", "CompRatio=0.5", "--set", "HPShelf=0.3", "--set", "LPShelf=0.2",
     "--set", "CompAttack=0", "--set", "CompRelease=0", "--set", "InputGain=0.8"},
};

Audio renderThrough(const std::string& dir, const std::string& plugin, int block,
                    const std::vector<std::string>& settings) {
    std::vector<std::string> args = {"--plugin", plugin, "--block", std::to_string(block)};
    args.insert(args.end(), settings.begin(), settings.end());
    args.push_back(dir + "/in.wav");
    args.push_back(dir + "/out.wav");
    const CommandResult r = runRender(args);
    EXPECT_EQ(r.status, 0) << plugin << ": " << r.err;
    return readAudio(dir + "/out.wav");
}

// Compared as bytes: a tolerance would pass the last-bit differences a change of operation order makes.
void expectRendersLikeNative(const std::string& dll) {
    const std::string dir = scratchDir();
    writeAudio(dir + "/in.wav", makeSignal(44100, 2, 1.0));
    for (const auto& settings : kSettings) {
        for (int block : {7, 512}) {
            const Audio native = renderThrough(dir, nativePlugin(), block, settings);
            const Audio other = renderThrough(dir, dll, block, settings);
            ASSERT_EQ(other.samples.size(), native.samples.size());
            EXPECT_EQ(std::memcmp(other.samples.data(), native.samples.data(), native.samples.size() * sizeof(float)),
                      0)
                << dll << ", block " << block << ", settings " << settings[1] << " ...";
        }
    }
}

TEST(DllNativeIdentityTest, The32BitDllRendersTheNativeSamples) {
    SKIP_WITHOUT_NATIVE();
    SKIP_WITHOUT_WIN32();
    expectRendersLikeNative(win32Dll());
}

TEST(DllNativeIdentityTest, The64BitDllRendersTheNativeSamples) {
    SKIP_WITHOUT_NATIVE();
    const std::string dll = std::string(VOZUV_WIN64_DIR_DEFAULT) + "/VozuvAzirOVA.dll";
    if (!fileExists(dll) || !fileExists(std::string(VOZUV_WIN64_DIR_DEFAULT) + "/vozuv-winhost.exe")) {
        GTEST_SKIP() << "the configured win64 tree (" << VOZUV_WIN64_DIR_DEFAULT << ") has no DLL and winhost";
    }
    expectRendersLikeNative(dll);
}

}  // namespace
