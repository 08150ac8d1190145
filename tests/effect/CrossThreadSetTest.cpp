// Threshold and ratio sets from another thread: a set that lands between blocks, or races a whole block,
// is in force from the next block's first sample exactly as a gain table rebuilt for that block gives.
#include <gtest/gtest.h>

#include <atomic>
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
        float meters[3];
        instance.process(&left[position], &right[position], outL.data(), outR.data(), n);
        ref.process(&left[position], &right[position], refL.data(), refR.data(), n, meters);
        frames = n;
        position += size_t(n);
    }
    // The first frame of the last block whose outputs differ in any bit, or -1.
    int firstDifference() const {
        for (int i = 0; i < frames; ++i) {
            if (bitsOf(outL[i]) != bitsOf(refL[i]) || bitsOf(outR[i]) != bitsOf(refR[i])) return i;
        }
        return -1;
    }
    int frames = 0;
};

}  // namespace

// Each set races one block, which may run with a mixture; it has finished before the next block, which
// must then be exact from its first sample. Only the threshold and ratio change, so the detector state
// never depends on where the set fell.
TEST(CrossThreadSetTest, SetRacingABlockIsExactFromTheNextBlock) {
    Instance instance;
    ReferenceCompressor ref;
    instance.set(kInputGain, 0.7f);
    ref.set(kInputGain, 0.7f);
    Blocks blocks;
    SettingThread setter(instance);
    for (int n = 0; n < 1000; ++n) {
        const VstInt32 index = (n % 3 == 2) ? kCompRatio : kCompThreshold;
        const float value = index == kCompRatio ? kRatios[n % 4] : kThresholds[n % 6];
        setter.post(index, value);
        blocks.run(instance, ref, 1 + n % 8);  // races the set
        setter.wait();
        ref.set(index, value);
        blocks.run(instance, ref, 16);
        ASSERT_EQ(blocks.firstDifference(), -1) << "block " << n;
    }
}
