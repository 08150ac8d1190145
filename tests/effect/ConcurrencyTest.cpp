// Host automation on one thread while another processes audio: no data race (run it under the thread
// sanitizer), and the gain table is exact again once the sets stop.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

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
