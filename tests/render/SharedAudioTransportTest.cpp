// SharedAudioTransportTest: audio between vozuv-render and the Wine host through the mapped slots,
// several chunks in flight, sample for sample what the plug-in makes of it in-process.
#include <cstring>

#include "tests/render/RenderTestSupport.h"
#include "tools/render/BridgePlugin.h"

namespace {

class SharedAudioBesideNativeTest : public BridgeBesideNativeTest {};

// Planar copy of an interleaved stereo stretch.
void planar(const Audio& a, long long first, int frames, float* left, float* right) {
    for (int i = 0; i < frames; ++i) {
        left[i] = a.samples[2 * (first + i)];
        right[i] = a.samples[2 * (first + i) + 1];
    }
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

TEST_F(SharedAudioBesideNativeTest, ChunksInFlightComeBackInOrderAndExact) {
    PluginHost& reference = native.host;
    bridge->setSampleRate(44100.0f);
    reference.setSampleRate(44100.0f);
    bridge->setParameter(7, 0.2f);
    reference.setParameter(7, 0.2f);
    bridge->setMains(true);
    reference.setMains(true);

    const int capacity = 1000;
    const int slots = bridge->openSlots(capacity);
    ASSERT_GE(slots, 3);
    // Uneven chunks, more of them than slots, up to slots - 1 waiting for the host at once.
    const std::vector<int> chunks = {1000, 999, 1, 1000, 37, 1000, 1000, 640, 1000, 3};
    long long total = 0;
    for (int n : chunks) total += n;
    const Audio input = makeSignal(44100, 2, static_cast<double>(total) / 44100.0 + 0.01);
    std::vector<float> viaSlots, inProcess;
    std::vector<std::pair<int, int>> pending;  // slot, frames
    auto collectOldest = [&] {
        const auto [slot, frames] = pending.front();
        pending.erase(pending.begin());
        bridge->collect(slot);
        const AudioSlot s = bridge->slot(slot);
        for (int c = 0; c < 2; ++c) viaSlots.insert(viaSlots.end(), s.out[c], s.out[c] + frames);
    };
    long long position = 0;
    for (size_t k = 0; k < chunks.size(); ++k) {
        const int slot = static_cast<int>(k % slots);
        if (static_cast<int>(pending.size()) == slots - 1) collectOldest();
        const AudioSlot s = bridge->slot(slot);
        planar(input, position, chunks[k], s.in[0], s.in[1]);
        bridge->submit(slot, chunks[k], 64);
        pending.emplace_back(slot, chunks[k]);

        std::vector<float> in(2 * chunks[k]), out(2 * chunks[k]);
        planar(input, position, chunks[k], in.data(), in.data() + chunks[k]);
        const float* inputs[2] = {in.data(), in.data() + chunks[k]};
        float* outputs[2] = {out.data(), out.data() + chunks[k]};
        reference.processBlocks(inputs, outputs, 2, chunks[k], 64);
        inProcess.insert(inProcess.end(), out.begin(), out.end());
        position += chunks[k];
    }
    while (!pending.empty()) collectOldest();
    EXPECT_TRUE(sameBits(viaSlots, inProcess));
    EXPECT_EQ(bridge->quit(), 0);
}

TEST(SharedAudioTransportTest, RequestsBeyondTheSlotsAreRefusedAndTheSessionGoesOn) {
    SKIP_WITHOUT_WIN32();
    BridgePlugin bridge(win32Dll(), "win32", ToolPaths::configured());
    bridge.setMains(true);
    const int slots = bridge.openSlots(256);
    bridge.submit(0, 257, 64);
    EXPECT_THROW(bridge.collect(0), RenderError);
    bridge.submit(slots, 16, 64);
    EXPECT_THROW(bridge.collect(slots), RenderError);
    bridge.submit(1, 0, 64);
    EXPECT_NO_THROW(bridge.collect(1));
    const AudioSlot s = bridge.slot(1);
    std::fill(s.in[0], s.in[0] + 256, 0.25f);
    std::fill(s.in[1], s.in[1] + 256, -0.25f);
    std::fill(s.out[0], s.out[0] + 256, 9.0f);
    bridge.submit(1, 256, 64);
    EXPECT_NO_THROW(bridge.collect(1));
    EXPECT_NE(s.out[0][255], 9.0f);
    EXPECT_EQ(bridge.quit(), 0);
}

TEST(SharedAudioTransportTest, LongRenderThroughTheDllEqualsTheNativeRender) {
    SKIP_WITHOUT_NATIVE();
    SKIP_WITHOUT_WIN32();
    // Some 11 chunks of 16000 frames through 4 slots, the last one short; both renders measure and
    // write on their delivery threads.
    const std::string dir = scratchDir();
    writeAudio(dir + "/in.wav", makeSignal(44100, 2, 4.0));
    const std::vector<std::string> common = {"--block", "1000", "--set", "CompThreshold=0.2", "--set", "CompRatio=0.8",
                                             "in.wav"};
    std::vector<std::string> viaDll = common, native = common;
    viaDll.push_back("dll.wav");
    native.insert(native.end(), {"native.wav", "--plugin", nativePlugin()});
    const CommandResult d = runRender(viaDll, dir);
    ASSERT_EQ(d.status, 0) << d.err;
    const CommandResult n = runRender(native, dir);
    ASSERT_EQ(n.status, 0) << n.err;
    EXPECT_TRUE(sameBits(readAudio(dir + "/dll.wav").samples, readAudio(dir + "/native.wav").samples));
    // The measurements agree to the last digit printed.
    for (const char* line : {"input level:", "output level:", "gain reduction:"}) {
        const size_t a = d.out.find(line), b = n.out.find(line);
        ASSERT_NE(a, std::string::npos);
        ASSERT_NE(b, std::string::npos);
        EXPECT_EQ(d.out.substr(a, d.out.find('\n', a) - a), n.out.substr(b, n.out.find('\n', b) - b));
    }
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"dll.wav", "in.wav", "native.wav"}));
}

}  // namespace
