// Threshold and ratio sets from another thread: a block runs wholly on the settings before a set or wholly
// on those after it, with the gain table those settings give, never on a mixture.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "tests/effect/EffectTestSupport.h"
#include "tests/effect/ReferenceCompressor.h"

using namespace effecttest;

namespace {

// Values that repeat, so a block often finds the table inputs it built from last time.
const float kThresholds[] = {0.0f, 0.3f, 0.0f, 0.0f, 0.7f, 0.3f};
const float kRatios[] = {0.1f, 0.33f, 0.1f, 0.0f};

// The other thread: runs one parameter set per go-ahead, racing whatever the audio thread does.
class SettingThread {
public:
    explicit SettingThread(const Instance& instance)
        : instance(instance), thread([this] { loop(); }) {}
    ~SettingThread() {
        request.store(-1);
        thread.join();
    }

    void post(VstInt32 index, float value) {
        pendingIndex = index;
        pendingValue = value;
        done.store(false);
        request.fetch_add(1);
    }
    void wait() const {
        while (!done.load()) std::this_thread::yield();
    }

private:
    void loop() {
        int seen = 0;
        for (;;) {
            int r;
            while ((r = request.load()) == seen) std::this_thread::yield();
            if (r < 0) return;
            seen = r;
            instance.set(pendingIndex, pendingValue);
            done.store(true);
        }
    }

    const Instance& instance;
    VstInt32 pendingIndex = 0;
    float pendingValue = 0.0f;
    std::atomic<int> request{0};
    std::atomic<bool> done{true};
    std::thread thread;
};

struct Blocks {
    std::vector<float> left = whiteNoise(4096, 1.2f, 21), right = whiteNoise(4096, 0.8f, 22);
    std::vector<float> outL = std::vector<float>(4096), outR = std::vector<float>(4096);
    std::vector<float> refL = std::vector<float>(4096), refR = std::vector<float>(4096);
    size_t position = 0;

    // Runs n frames of the test signal through both.
    void run(const Instance& instance, ReferenceCompressor& ref, int n) {
        if (position + size_t(n) > left.size()) position = 0;
        start = position;
        instance.process(&left[position], &right[position], outL.data(), outR.data(), n);
        runModel(ref, n);
        frames = n;
        position += size_t(n);
    }
    // The same frames through the model alone, into refL and refR.
    void runModel(ReferenceCompressor& ref, int n) {
        float meters[3];
        ref.process(&left[position], &right[position], refL.data(), refR.data(), n, meters);
    }
    // The first frame of the last block whose outputs differ in any bit, or -1.
    int firstDifference() const {
        for (int i = 0; i < frames; ++i) {
            if (bitsOf(outL[i]) != bitsOf(refL[i]) || bitsOf(outR[i]) != bitsOf(refR[i])) return i;
        }
        return -1;
    }
    int frames = 0;
    size_t start = 0;  // where the last block began
};

}  // namespace

// Each set races one block, which runs on the settings before it or on those after it; the model takes
// the branch the block took, and the next block, after the set, must match it from its first sample.
TEST(CrossThreadSetTest, SetRacingABlockRunsOnOneSideOfIt) {
    Instance instance;
    ReferenceCompressor ref;
    instance.set(kInputGain, 0.7f);
    ref.set(kInputGain, 0.7f);
    Blocks blocks;
    SettingThread setter(instance);
    int sawNew = 0;
    for (int n = 0; n < 1000; ++n) {
        const VstInt32 index = (n % 3 == 2) ? kCompRatio : kCompThreshold;
        const float value = index == kCompRatio ? kRatios[n % 4] : kThresholds[n % 6];
        ReferenceCompressor before = ref;
        ReferenceCompressor after = ref;
        after.set(index, value);
        setter.post(index, value);
        for (int k = n % 4; k > 0; --k) std::this_thread::yield();  // lets the set win now and then
        blocks.run(instance, before, 1 + (n % 8) * 40);              // races the set
        setter.wait();
        if (blocks.firstDifference() == -1) {
            ref = before;
            ref.set(index, value);
        } else {
            const size_t end = blocks.position;
            blocks.position = blocks.start;
            blocks.runModel(after, blocks.frames);
            blocks.position = end;
            ASSERT_EQ(blocks.firstDifference(), -1) << "block " << n << " matches neither side of the set";
            ref = after;
            ++sawNew;
        }
        blocks.run(instance, ref, 16);
        ASSERT_EQ(blocks.firstDifference(), -1) << "block " << n;
    }
    std::printf("racing blocks that ran on the new setting: %d of 1000\n", sawNew);
}

// A host thread sets threshold and ratio without pause while blocks run: every block's settings are one
// consistent set of derived values, and its gain table is exactly the one they give.
TEST(CrossThreadSetTest, ContinuousSetsNeverTearABlock) {
    struct Expected {
        ChainSettings settings;
        std::vector<float> table;
    };
    std::vector<Expected> expected;
    for (float threshold : {0.0f, 0.3f, 0.7f}) {
        for (float ratio : {0.1f, 0.33f, 0.0f}) {
            ReferenceCompressor model;
            model.set(kCompThreshold, threshold);
            model.set(kCompRatio, ratio);
            model.buildGainTable();
            ChainSettings s{};
            s.thresholdDb = model.thresholdDb;
            s.thresholdLinear = model.thresholdLinear;
            s.inverseRatio = model.inverseRatio;
            expected.push_back({s, std::vector<float>(model.gainTable, model.gainTable + ReferenceCompressor::kLevels)});
        }
    }
    Instance instance;
    instance.set(kCompThreshold, 0.0f);
    instance.set(kCompRatio, 0.1f);
    std::atomic<bool> stop(false);
    std::thread host([&] {
        for (int n = 0; !stop.load(); ++n) {
            instance.set(kCompThreshold, (const float[]){0.0f, 0.3f, 0.7f}[n % 3]);
            instance.set(kCompRatio, (const float[]){0.1f, 0.33f, 0.0f}[(n / 3) % 3]);
        }
    });
    // Stopped and joined however the test ends: a failed assertion returns from the middle of the loop.
    struct Joiner {
        std::atomic<bool>& stop;
        std::thread& thread;
        ~Joiner() {
            stop = true;
            thread.join();
        }
    } joiner{stop, host};
    const auto left = whiteNoise(64, 1.0f, 31), right = whiteNoise(64, 1.0f, 32);
    std::vector<float> outL(64), outR(64);
    // The blocks run until they have seen the settings change many times, not for a count of sets: on a
    // loaded machine the host thread may start late, or run all its sets while this one waits for a core
    // and stop where the settings are the first block's again.
    constexpr int kChangesWanted = 20;
    int changes = 0;
    ChainSettings previous{};
    for (int block = 0; block < 3000 || changes < kChangesWanted; ++block) {
        ASSERT_LT(block, 50000000) << "the blocks never saw the host's sets";
        instance.process(left.data(), right.data(), outL.data(), outR.data(), 64);
        const ChainSettings& s = instance.plugin().lastBlockSettings();
        const Expected* match = nullptr;
        for (const Expected& e : expected) {
            if (e.settings.thresholdDb == s.thresholdDb && e.settings.thresholdLinear == s.thresholdLinear &&
                e.settings.inverseRatio == s.inverseRatio) {
                match = &e;
            }
        }
        ASSERT_NE(match, nullptr) << "block " << block << " ran on a mixture of two sets: threshold "
                                  << s.thresholdDb << " dB (" << s.thresholdLinear << "), 1/ratio "
                                  << s.inverseRatio;
        const float* table = instance.plugin().getChainState().gainTable;
        for (int i = 0; i < CompressorState::kTableSize; ++i) {
            ASSERT_EQ(bitsOf(table[i]), bitsOf(match->table[i])) << "block " << block << " entry " << i;
        }
        if (s.thresholdDb != previous.thresholdDb || s.inverseRatio != previous.inverseRatio) ++changes;
        previous = s;
    }
}
