// RenderMatchTest: a rendered file holds exactly what the plug-in makes of the same samples in-process.
#include <sndfile.h>

#include <cmath>
#include <cstdio>

#include "tests/render/RenderTestSupport.h"

namespace {

const std::vector<std::pair<std::string, float>> kSettings = {
    {"CompThreshold", 0.5f}, {"CompRatio", 0.3f}, {"CompAttack", 0.05f}, {"CompMakeup", 0.6f}, {"HPShelf", 0.3f}};

std::vector<std::string> settingArgs() {
    std::vector<std::string> args;
    for (const auto& s : kSettings) {
        args.push_back("--set");
        args.push_back(s.first + "=" + std::to_string(s.second));
    }
    return args;
}

// The peak and RMS (dBFS, over every sample of every channel) the summary prints on the line starting with label.
void expectSummaryLevels(const std::string& out, const std::string& label, const Audio& audio) {
    double peak = 0.0, squares = 0.0;
    for (float x : audio.samples) {
        peak = std::max(peak, static_cast<double>(std::fabs(x)));
        squares += static_cast<double>(x) * x;
    }
    const double rms = std::sqrt(squares / static_cast<double>(audio.samples.size()));
    const size_t at = out.find(label);
    ASSERT_NE(at, std::string::npos) << out;
    double printedPeak = 0.0, printedRms = 0.0;
    ASSERT_EQ(std::sscanf(out.c_str() + at + label.size(), " peak %lf dBFS, RMS %lf dBFS", &printedPeak, &printedRms), 2)
        << out;
    // Printed with two decimals.
    EXPECT_NEAR(printedPeak, 20.0 * std::log10(peak), 0.006) << label;
    EXPECT_NEAR(printedRms, 20.0 * std::log10(rms), 0.006) << label;
}

// Renders in.wav of a fresh folder with the given extra arguments and compares it with the reference.
void expectRenderMatches(const Audio& input, int block, const std::vector<std::string>& extra,
                         const std::string& expectLoaded) {
    const std::string dir = scratchDir();
    writeAudio(dir + "/in.wav", input);
    std::vector<std::string> args = {"--program", "3", "--block", std::to_string(block)};
    const std::vector<std::string> sets = settingArgs();
    args.insert(args.end(), sets.begin(), sets.end());
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(dir + "/in.wav");
    args.push_back(dir + "/out.wav");
    const CommandResult r = runRender(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");  // no progress bar when stderr is not a terminal
    EXPECT_NE(r.out.find(expectLoaded), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("gain reduction: largest"), std::string::npos) << r.out;
    const Audio rendered = readAudio(dir + "/out.wav");
    const Audio reference = processInProcess(input, block, 3, kSettings);
    EXPECT_LE(largestDifference(rendered, reference), 1e-6) << "block " << block;
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"in.wav", "out.wav"}));
    // The settings make up more than the compressor takes: the two levels differ.
    expectSummaryLevels(r.out, "input level:", input);
    expectSummaryLevels(r.out, "output level:", rendered);
}

TEST(RenderMatchTest, NativeLibraryRenderMatchesInProcessProcessing) {
    SKIP_WITHOUT_NATIVE();
    expectRenderMatches(makeSignal(48000, 2, 1.5), 300, {"--plugin", nativePlugin()}, "native library");
}

TEST(RenderMatchTest, LargestBlockSizeRendersInWholeAndPartBlocks) {
    SKIP_WITHOUT_NATIVE();
    // 1.5 s at 48 kHz: one block of 65536 frames and a part block.
    expectRenderMatches(makeSignal(48000, 2, 1.5), 65536, {"--plugin", nativePlugin()}, "blocks of 65536");
}

TEST(RenderMatchTest, DefaultRenderGoesThroughThe32BitDllAndMatches) {
    SKIP_WITHOUT_NATIVE();
    SKIP_WITHOUT_WIN32();
    expectRenderMatches(makeSignal(44100, 2, 1.5), 512, {}, "32-bit DLL");
}

TEST(RenderMatchTest, The64BitDllRendersLikeTheOthers) {
    SKIP_WITHOUT_NATIVE();
    const std::string dll = std::string(VOZUV_WIN64_DIR_DEFAULT) + "/VozuvAzirOVA.dll";
    if (!fileExists(dll) || !fileExists(std::string(VOZUV_WIN64_DIR_DEFAULT) + "/vozuv-winhost.exe")) {
        GTEST_SKIP() << "the configured win64 tree (" << VOZUV_WIN64_DIR_DEFAULT << ") has no DLL and winhost";
    }
    expectRenderMatches(makeSignal(44100, 2, 1.0), 1000, {"--plugin", dll}, "64-bit DLL");
}

TEST(RenderMatchTest, MonoFileFeedsBothInputsAndKeepsTheLeftOutput) {
    SKIP_WITHOUT_NATIVE();
    const Audio mono = makeSignal(44100, 1, 1.0);
    const std::string dir = scratchDir();
    writeAudio(dir + "/mono.flac", mono, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    const CommandResult r = runRender({"--plugin", nativePlugin(), "--set", "CompThreshold=0.4", "mono.flac"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const Audio rendered = readAudio(dir + "/mono.vozuv.wav");
    EXPECT_EQ(rendered.channels, 1);
    // The reference reads the same 16-bit samples the renderer read.
    const Audio reference = processInProcess(readAudio(dir + "/mono.flac"), 512, 0, {{"CompThreshold", 0.4f}});
    EXPECT_LE(largestDifference(rendered, reference), 1e-6);
}

TEST(RenderMatchTest, FlacOutputHoldsTheRenderIn24Bits) {
    SKIP_WITHOUT_NATIVE();
    const Audio input = makeSignal(44100, 2, 1.0);
    const std::string dir = scratchDir();
    writeAudio(dir + "/in.wav", input);
    const CommandResult r = runRender({"--plugin", nativePlugin(), "in.wav", "out.flac"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("FLAC 24-bit"), std::string::npos) << r.out;
    SF_INFO info{};
    SNDFILE* f = sf_open((dir + "/out.flac").c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    sf_close(f);
    EXPECT_LE(largestDifference(readAudio(dir + "/out.flac"), processInProcess(input, 512, 0, {})), 1.0 / (1 << 22));
}

TEST(RenderMatchTest, InfoNamesTheBinaryAndListsParametersAndPrograms) {
    SKIP_WITHOUT_NATIVE();
    const CommandResult r = runRender({"--info", "--plugin", nativePlugin(), "--program", "2", "--set", "CompRatio=0.9"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* expected : {"native library", "VozuvAzirOVA", "BroVane: coded by QuiVeRo", "QVbx", "0x1d",
                                 "CompThreshold", "samples", "0.330000", "-2.49877", "current: 2", "16  Init"}) {
        EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;
    }
}

}  // namespace
