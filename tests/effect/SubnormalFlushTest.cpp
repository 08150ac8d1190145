// The block-edge flush of subnormal detector state against the unflushed arithmetic of the model: decays
// into silence and returns from it at the smallest levels leave every output sample and meter unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

#include "tests/effect/EffectTestSupport.h"
#include "tests/effect/ReferenceCompressor.h"

using namespace effecttest;

namespace {

struct Session {
    Instance instance;
    RecordingEditor* editor = attachRecordingEditor(instance.plugin());
    ReferenceCompressor ref;
    uint32_t seed = 1;
    int flushes = 0;        // block edges where the model's envelope or level was subnormal
    int filterFlushes = 0;  // the same for the detector sections' memories
    int differences = 0;    // output samples that differ
    float largest = 0.0f;   // the largest magnitude among differing output samples

    void set(VstInt32 index, float value) {
        instance.set(index, value);
        ref.set(index, value);
    }

    int frames() {
        seed = seed * 1664525u + 1013904223u;
        return 1 + int((seed >> 8) % 3000u);
    }

    // Runs the signal in random block sizes; counts the output samples that differ.
    void run(const std::vector<float>& left, const std::vector<float>& right, bool strict) {
        for (size_t start = 0; start < left.size();) {
            const int n = std::min<int>(frames(), int(left.size() - start));
            std::vector<float> outL(n), outR(n), refL(n), refR(n);
            float meters[3];
            editor->received.clear();
            instance.process(&left[start], &right[start], outL.data(), outR.data(), n);
            ref.process(&left[start], &right[start], refL.data(), refR.data(), n, meters);
            for (int i = 0; i < n; ++i) {
                for (auto [a, b] : {std::pair{outL[i], refL[i]}, std::pair{outR[i], refR[i]}}) {
                    if (bitsOf(a) == bitsOf(b)) continue;
                    ++differences;
                    largest = std::max({largest, std::fabs(a), std::fabs(b)});
                    if (strict) {
                        ASSERT_EQ(bitsOf(a), bitsOf(b)) << "frame " << start + i << ": " << a << " vs " << b;
                    }
                }
            }
            if (strict) {
                ASSERT_EQ(editor->received.size(), 3u);
                for (int m = 0; m < 3; ++m) ASSERT_EQ(bitsOf(editor->received[m].second), bitsOf(meters[m])) << m;
            }
            const bool subnormal = (ref.detectorLevel != 0.0f && std::fabs(ref.detectorLevel) < FLT_MIN) ||
                                   (ref.peakEnvelope != 0.0f && std::fabs(ref.peakEnvelope) < FLT_MIN);
            flushes += subnormal;
            for (const auto* section : {ref.hp, ref.lp}) {
                for (int c = 0; c < 2; ++c) {
                    for (int k = 1; k < 3; ++k) {
                        filterFlushes += section[c][k] != 0.0 && std::fabs(section[c][k]) < DBL_MIN;
                    }
                }
            }
            start += size_t(n);
        }
    }
};

// Loud, then long silence, then a return through the subnormal and tiny normal range.
void runDecayAndReturn(Session& s, bool strict) {
    std::vector<float> burst = whiteNoise(20000, 1.0f, s.seed), silence(250000, 0.0f);
    s.run(burst, burst, strict);
    s.run(silence, silence, strict);
    // A rise from the smallest subnormal to full scale over 100000 frames.
    std::vector<float> rise(100000), riseR(100000);
    for (size_t i = 0; i < rise.size(); ++i) {
        rise[i] = float(1e-45 * std::pow(1e45, double(i) / double(rise.size())) * ((i & 1) ? 1.0 : -0.7));
        riseR[i] = rise[i] * 0.5f;
    }
    s.run(rise, riseR, strict);
    s.run(silence, silence, strict);
    // Subnormal and tiny noise, then a normal tone.
    for (float amplitude : {1e-42f, 1e-39f, 1e-36f, 1e-30f}) {
        const auto tiny = whiteNoise(60000, amplitude, s.seed + 7);
        s.run(tiny, tiny, strict);
    }
    std::vector<float> tone(20000);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.3f * float(std::sin(0.05 * double(i)));
    s.run(tone, tone, strict);
}

}  // namespace

// Thresholds of the parameter range lie far above the subnormal levels, so the flush cannot be heard.
TEST(SubnormalFlushTest, OutputsAndMetersMatchTheUnflushedChain) {
    struct Case { float threshold, ratio, attack, release, hp, lp; };
    const Case cases[] = {
        {0.0f, 0.33f, 0.0f, 0.0f, 0.0f, 1.0f},    // fastest times, no filters
        {0.0f, 0.1f, 0.1f, 0.2f, 0.05f, 0.5f},    // defaults' times, both filters
        {0.5f, 0.0f, 1.0f, 0.0f, 0.2f, 1.0f},     // high-pass only
        {0.0f, 0.2f, 0.0f, 0.1f, 0.0f, 0.02f},    // slow low-pass only
    };
    unsigned seed = 1;
    int filterFlushes = 0;
    for (const Case& c : cases) {
        Session s;
        s.seed = seed++;
        s.set(kCompThreshold, c.threshold);
        s.set(kCompRatio, c.ratio);
        s.set(kCompAttack, c.attack);
        s.set(kCompRelease, c.release);
        s.set(kHpShelf, c.hp);
        s.set(kLpShelf, c.lp);
        runDecayAndReturn(s, true);
        if (HasFatalFailure()) return;
        EXPECT_GT(s.flushes, 0) << "the case never reached subnormal state";
        filterFlushes += s.filterFlushes;
    }
    EXPECT_GT(filterFlushes, 0) << "no filter section reached subnormal memories";
}

// Thresholds far below the parameter range (under the smallest normal float) do let the flushed level
// decide the gain, but a compressing curve then only moves samples that are themselves subnormal.
TEST(SubnormalFlushTest, BelowRangeThresholdsDifferOnlyInSubnormalSamples) {
    for (float threshold : {-12.0f, -20.0f}) {
        Session s;
        s.set(kCompThreshold, threshold);
        s.set(kCompRatio, 0.33f);
        s.set(kCompAttack, 0.0f);
        s.set(kCompRelease, 0.0f);
        runDecayAndReturn(s, false);
        EXPECT_GT(s.differences, 0) << threshold;
        EXPECT_LT(s.largest, FLT_MIN) << threshold;
    }
}
