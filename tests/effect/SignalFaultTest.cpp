// Bad samples and long silence: the chain recovers from non-finite input and keeps its state normal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

bool stateIsFinite(const CompressorState& s) {
    bool finite = std::isfinite(s.peakEnvelope) && std::isfinite(s.detectorLevel);
    for (const FilterSection* sections : {s.highPass, s.lowPass}) {
        for (int c = 0; c < 2; ++c) {
            finite = finite && std::isfinite(sections[c].w) && std::isfinite(sections[c].w1) &&
                     std::isfinite(sections[c].w2) && std::isfinite(sections[c].out);
        }
    }
    return finite;
}

// Neither zero nor a normal number.
bool isSubnormal(double value) { return value != 0.0 && std::fabs(value) < DBL_MIN; }
bool isSubnormal(float value) { return value != 0.0f && std::fabs(value) < FLT_MIN; }

}  // namespace

class SignalFaultTest : public ::testing::TestWithParam<float> {};

// One bad sample poisons the block it arrives in, not the blocks after it.
TEST_P(SignalFaultTest, CompressionReturnsAfterOneBadSample) {
    for (bool filters : {false, true}) {
        Instance instance;
        instance.set(kCompThreshold, 0.0f);
        instance.set(kHpShelf, filters ? 0.01f : 0.0f);
        instance.set(kLpShelf, filters ? 0.9f : 1.0f);
        auto left = whiteNoise(512, 0.5f, 3), right = whiteNoise(512, 0.5f, 4);
        left[100] = GetParam();
        std::vector<float> outL(512), outR(512);
        instance.process(left.data(), right.data(), outL.data(), outR.data(), 512);
        EXPECT_TRUE(stateIsFinite(instance.plugin().getChainState())) << "filters " << filters;

        // A 1 kHz tone that both filters pass: compressed from -6 dB towards the -60 dB threshold.
        std::vector<float> tone(44100), out0(44100), out1(44100);
        for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5f * float(std::sin(2.0 * M_PI * 1000.0 * i / 44100.0));
        instance.process(tone.data(), tone.data(), out0.data(), out1.data(), 44100);
        float loudest = 0.0f;
        for (size_t i = 22050; i < out0.size(); ++i) loudest = std::max(loudest, std::fabs(out0[i]));
        EXPECT_LT(loudest, 0.02f) << "filters " << filters;
        EXPECT_GT(loudest, 0.001f) << "filters " << filters;
    }
}

INSTANTIATE_TEST_SUITE_P(NonFinite, SignalFaultTest,
                         ::testing::Values(std::numeric_limits<float>::quiet_NaN(),
                                           std::numeric_limits<float>::infinity(),
                                           -std::numeric_limits<float>::infinity()));

// After a loud burst, a long silence leaves the envelopes and filter memories at zero, not subnormal.
TEST(SignalDecayTest, SilenceDoesNotLeaveSubnormalState) {
    Instance instance;
    instance.set(kCompThreshold, 0.0f);
    instance.set(kHpShelf, 0.05f);
    instance.set(kLpShelf, 0.5f);
    const auto burst = whiteNoise(4410, 1.0f, 5);
    std::vector<float> outL(4410), outR(4410);
    instance.process(burst.data(), burst.data(), outL.data(), outR.data(), 4410);
    std::vector<float> silence(512, 0.0f), o0(512), o1(512);
    for (int block = 0; block < 3000; ++block) {  // 35 s: the 312 ms release needs ~27 s to leave the normal range
        instance.process(silence.data(), silence.data(), o0.data(), o1.data(), 512);
        const CompressorState& s = instance.plugin().getChainState();
        ASSERT_FALSE(isSubnormal(s.peakEnvelope)) << block;
        ASSERT_FALSE(isSubnormal(s.detectorLevel)) << block;
        for (int c = 0; c < 2; ++c) {
            ASSERT_FALSE(isSubnormal(s.highPass[c].w1) || isSubnormal(s.highPass[c].w2)) << block;
            ASSERT_FALSE(isSubnormal(s.lowPass[c].w1) || isSubnormal(s.lowPass[c].w2)) << block;
        }
    }
    EXPECT_EQ(instance.plugin().getChainState().peakEnvelope, 0.0f);
    EXPECT_EQ(instance.plugin().getChainState().detectorLevel, 0.0f);
    EXPECT_EQ(o0.back(), 0.0f);
}
