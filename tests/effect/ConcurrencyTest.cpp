// Host automation on one thread while another processes audio: no data race (run it under the thread
// sanitizer), and the gain table is exact again once the sets stop.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "effect/ParameterCurves.h"
#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

TEST(ConcurrencyTest, AutomationWhileProcessing) {
    Instance instance;
    ASSERT_NE(instance.plugin().getEditor(), nullptr);  // meters and parameter hand-offs reach it
    std::atomic<bool> stop(false);
    std::atomic<int> blocks(0);

    std::thread audio([&] {
        const auto left = whiteNoise(64, 1.0f, 11), right = whiteNoise(64, 1.0f, 12);
        std::vector<float> outL(64), outR(64);
        while (!stop.load()) {
            instance.process(left.data(), right.data(), outL.data(), outR.data(), 64);
            for (float s : outL) ASSERT_TRUE(std::isfinite(s));
            blocks.fetch_add(1);
        }
    });
    std::thread automation([&] {
        while (blocks.load() == 0) std::this_thread::yield();  // overlap with the audio thread for sure
        for (int n = 0; n < 3000; ++n) {
            const VstInt32 index = n % 14;
            instance.set(index, float((n * 37) % 101) / 100.0f);
        }
    });
    // The user-interface thread reads values and texts meanwhile.
    char text[64];
    while (blocks.load() == 0) std::this_thread::yield();
    for (int n = 0; n < 3000; ++n) {
        const VstInt32 index = n % 17;
        instance.get(index);
        instance.dispatch(effGetParamDisplay, index, 0, text);
    }
    automation.join();
    stop = true;
    audio.join();

    // One more block: its table must be exactly the one the current values give.
    const auto in = whiteNoise(64, 1.0f, 13);
    std::vector<float> outL(64), outR(64);
    instance.process(in.data(), in.data(), outL.data(), outR.data(), 64);
    const ChainSettings s = instance.plugin().chainSettings();
    CompressorState reference;
    reference.buildGainTable(s.thresholdLinear, s.thresholdDb, s.inverseRatio);
    for (int i = 0; i < CompressorState::kTableSize; ++i) {
        ASSERT_EQ(bitsOf(instance.plugin().getChainState().gainTable[i]), bitsOf(reference.gainTable[i])) << i;
    }
}

// A host changes the rate and resumes on one thread and sets the time constants on another while blocks
// run: the rate and the stored values are the only things those threads write (the thread sanitizer tree
// finds any other), and once they stop, the next block runs on time constants, ramp and peak hold made
// from the last rate, none from a rate it replaced.
TEST(ConcurrencyTest, RateChangesResumesAndTimeSetsWhileProcessing) {
    Instance instance;
    std::atomic<bool> stop(false);
    std::atomic<int> blocks(0);
    std::thread audio([&] {
        const auto left = whiteNoise(64, 1.0f, 14), right = whiteNoise(64, 1.0f, 15);
        std::vector<float> outL(64), outR(64);
        while (!stop.load()) {
            instance.process(left.data(), right.data(), outL.data(), outR.data(), 64);
            blocks.fetch_add(1);
        }
    });
    const float rates[] = {44100.0f, 48000.0f, 96000.0f, 22050.0f};
    std::thread rateThread([&] {
        while (blocks.load() == 0) std::this_thread::yield();
        for (int n = 0; n < 2000; ++n) {
            instance.dispatch(n % 2 ? effSetSampleRate : effSetBlockSizeAndSampleRate, 0, 64, nullptr,
                              rates[n % 4]);
            instance.dispatch(effMainsChanged, 0, 0);
            instance.dispatch(effMainsChanged, 0, 1);
        }
    });
    while (blocks.load() == 0) std::this_thread::yield();
    for (int n = 0; n < 2000; ++n) {
        instance.set(kCompAttack, float(n % 11) / 10.0f);
        instance.set(kCompRelease, float(n % 7) / 6.0f);
    }
    rateThread.join();
    // Blocks keep running until they have seen the last write.
    const int seen = blocks.load();
    while (blocks.load() < seen + 2) std::this_thread::yield();
    stop = true;
    audio.join();

    CompGatePlugin& p = instance.plugin();
    const float rate = p.getSampleRate();
    EXPECT_EQ(rate, rates[1999 % 4]);
    const ChainSettings& s = p.lastBlockSettings();
    EXPECT_EQ(s.attackCoefficient, timeCoefficient(instance.get(kCompAttack), kAttackSpanMs, rate));
    EXPECT_EQ(s.releaseCoefficient, timeCoefficient(instance.get(kCompRelease), kReleaseSpanMs, rate));
    EXPECT_EQ(s.rampFrames, rampLength(rate));
    CompressorState fresh;
    fresh.setPeakHold(rate);
    EXPECT_EQ(p.getChainState().holdSamples, fresh.holdSamples);
    EXPECT_EQ(p.getChainState().peakReleaseCoefficient, fresh.peakReleaseCoefficient);
    EXPECT_LE(p.getChainState().holdCounter, fresh.holdSamples);
}
