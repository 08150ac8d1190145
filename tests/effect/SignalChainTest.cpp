// The compressor's audio path through the record: gains, the compression curve, channels and meters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

// Heavy compression on a constant 0.5: threshold -60 dB, ratio 3.9, unity input and make-up gain.
void setConstantInputCase(const Instance& instance) {
    instance.set(kHpShelf, 0.0f);
    instance.set(kLpShelf, 1.0f);
    instance.set(kCompThreshold, 0.0f);
    instance.set(kCompRatio, 0.1f);
    instance.set(kInputGain, 0.5f);
    instance.set(kCompMakeup, 0.5f);
}

}  // namespace

TEST(SignalChainTest, UnityAtZeroDecibelThreshold) {
    Instance instance;
    const auto left = whiteNoise(4096, 0.99f, 1), right = whiteNoise(4096, 0.99f, 2);
    std::vector<float> outL(4096), outR(4096);
    instance.process(left.data(), right.data(), outL.data(), outR.data(), 4096);
    for (size_t i = 0; i < left.size(); ++i) {
        ASSERT_EQ(bitsOf(outL[i]), bitsOf(left[i])) << i;
        ASSERT_EQ(bitsOf(outR[i]), bitsOf(right[i])) << i;
    }
    // Input gain and make-up gain multiply, in that order of rounding. Set while suspended: in force from
    // the first frame after the resume.
    instance.dispatch(effMainsChanged, 0, 0);
    instance.set(kInputGain, 0.25f);   // -10 dB keeps the signal below the threshold
    instance.set(kCompMakeup, 0.6f);   // +4 dB
    instance.dispatch(effMainsChanged, 0, 1);
    const ChainSettings s = instance.plugin().chainSettings();
    instance.process(left.data(), right.data(), outL.data(), outR.data(), 4096);
    for (size_t i = 0; i < left.size(); ++i) {
        const float gained = float(double(left[i]) * s.inputGainLinear);
        ASSERT_EQ(outL[i], float(gained * (1.0 * s.makeupLinear))) << i;
    }
}

TEST(SignalChainTest, ConstantInputSettlesOnTheCompressionCurve) {
    Instance instance;
    auto* editor = attachRecordingEditor(instance.plugin());
    setConstantInputCase(instance);
    std::vector<float> in(44100, 0.5f), outL(44100), outR(44100);
    instance.process(in.data(), in.data(), outL.data(), outR.data(), 44100);
    // -60 + (-6.02 + 60) / 3.9 + 6.02 = -40.14 dB of gain.
    EXPECT_NEAR(outL.back(), 0.00492, 0.00001);
    EXPECT_EQ(outL.back(), outR.back());
    // A settled block: its extremes are its last frame's values.
    editor->received.clear();
    instance.process(in.data(), in.data(), outL.data(), outR.data(), 4410);
    ASSERT_EQ(editor->received.size(), 3u);
    const auto* meters = &editor->received[0];
    EXPECT_EQ(meters[0], std::make_pair(VstInt32(kMeterInput), 0.5f));
    EXPECT_EQ(meters[1].first, kMeterOutput);
    EXPECT_NEAR(meters[1].second, 0.00492, 0.00001);
    EXPECT_EQ(meters[2].first, kMeterGain);
    EXPECT_NEAR(meters[2].second, 0.00984, 0.00002);
    // The detector level stops just below the input.
    const float level = instance.plugin().getChainState().detectorLevel;
    EXPECT_LT(level, 0.5f);
    EXPECT_GT(level, 0.49997f);
}

TEST(SignalChainTest, LouderChannelDrivesBothAndNullRightOutputIsSkipped) {
    Instance instance;
    setConstantInputCase(instance);
    std::vector<float> quiet(8192, 0.01f), loud(8192, 0.5f), outL(8192, 7.0f);
    instance.process(quiet.data(), loud.data(), outL.data(), nullptr, 8192);
    // The right input is read: its level compresses the left output (0.01 x 0.00984).
    EXPECT_NEAR(outL.back(), 0.01 * 0.00984, 0.0000005);
    for (float s : outL) ASSERT_NE(s, 7.0f);
}

TEST(SignalChainTest, FiltersShapeOnlyTheDetector) {
    Instance instance;
    instance.set(kCompThreshold, 0.0f);
    instance.set(kCompRelease, 0.0f);
    // A constant input is invisible to the high-pass (corner near 1.3 kHz) once its step has passed.
    instance.set(kHpShelf, 0.3f);
    std::vector<float> in(16384, 0.5f), outL(16384), outR(16384);
    instance.process(in.data(), in.data(), outL.data(), outR.data(), 16384);
    EXPECT_NEAR(outL.back(), 0.5f, 0.0005f);
    instance.set(kHpShelf, 0.0f);
    instance.process(in.data(), in.data(), outL.data(), outR.data(), 16384);
    EXPECT_LT(outL.back(), 0.01f);
    // A tone at half the sample rate is invisible to the low-pass (corner near 140 Hz).
    std::vector<float> tone(16384);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = (i % 2) ? -0.5f : 0.5f;
    instance.set(kLpShelf, 0.1f);
    instance.process(tone.data(), tone.data(), outL.data(), outR.data(), 16384);
    EXPECT_NEAR(std::fabs(outL.back()), 0.5f, 0.0005f);
    EXPECT_EQ(outL.back(), outR.back());
}

TEST(SignalChainTest, AccumulatingEntryLeavesOutputsAlone) {
    Instance instance;
    std::vector<float> in(64, 0.5f), outL(64, 3.0f), outR(64, 4.0f);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    instance.record->process(instance.record, inputs, outputs, 64);
    for (size_t i = 0; i < 64; ++i) {
        ASSERT_EQ(outL[i], 3.0f);
        ASSERT_EQ(outR[i], 4.0f);
    }
}

// Blocks without frames or without buffers process nothing and send the meters nothing.
TEST(SignalChainTest, EmptyOrUnusableBlocksDoNothing) {
    Instance instance;
    auto* editor = attachRecordingEditor(instance.plugin());
    setConstantInputCase(instance);
    std::vector<float> in(256, 0.5f), outL(256), outR(256);
    instance.process(in.data(), in.data(), outL.data(), outR.data(), 256);
    const float level = instance.plugin().getChainState().detectorLevel;
    editor->received.clear();
    std::fill(outL.begin(), outL.end(), 9.0f);
    std::fill(outR.begin(), outR.end(), 9.0f);

    instance.process(in.data(), in.data(), outL.data(), outR.data(), 0);
    instance.process(in.data(), in.data(), outL.data(), outR.data(), -5);
    instance.process(nullptr, in.data(), outL.data(), outR.data(), 256);
    instance.process(in.data(), nullptr, outL.data(), outR.data(), 256);
    instance.process(in.data(), in.data(), nullptr, outR.data(), 256);
    instance.record->processReplacing(instance.record, nullptr, nullptr, 256);
    float* inputs[2] = {in.data(), in.data()};
    instance.record->processReplacing(instance.record, inputs, nullptr, 256);

    EXPECT_TRUE(editor->received.empty());
    EXPECT_EQ(instance.plugin().getChainState().detectorLevel, level);
    for (size_t i = 0; i < 256; ++i) {
        ASSERT_EQ(outL[i], 9.0f);
        ASSERT_EQ(outR[i], 9.0f);
    }
}

// The meters show the block's loudest frame and deepest reduction, wherever in the block they fall.
TEST(SignalChainTest, MetersReportTheBlocksExtremes) {
    Instance instance;
    auto* editor = attachRecordingEditor(instance.plugin());
    setConstantInputCase(instance);
    instance.set(kCompThreshold, 0.5f);  // -30 dB
    instance.set(kCompRelease, 0.0f);    // 15 ms: the gain recovers well before the block ends
    // Quiet, then 0.5 in the middle, then silence up to the last frame.
    std::vector<float> left(8192, 0.001f), right(8192, 0.0f), outL(8192), outR(8192);
    std::fill(left.begin() + 2048, left.begin() + 4096, 0.5f);
    std::fill(right.begin() + 3000, right.begin() + 3100, -0.6f);
    std::fill(left.begin() + 6000, left.end(), 0.0f);
    editor->received.clear();
    instance.process(left.data(), right.data(), outL.data(), outR.data(), 8192);
    ASSERT_EQ(editor->received.size(), 3u);
    EXPECT_EQ(editor->received[0], std::make_pair(VstInt32(kMeterInput), 0.6f));
    // The largest |output| is the largest detector peak after the gain (input and make-up gain are 1).
    float loudest = 0.0f, deepest = 1.0f;
    for (int i = 0; i < 8192; ++i) {
        const float peak = std::max(std::fabs(left[i]), std::fabs(right[i]));
        loudest = std::max({loudest, std::fabs(outL[i]), std::fabs(outR[i])});
        if (peak > 0.0f) deepest = std::min(deepest, std::max(std::fabs(outL[i]), std::fabs(outR[i])) / peak);
    }
    EXPECT_EQ(editor->received[1].first, kMeterOutput);
    EXPECT_FLOAT_EQ(editor->received[1].second, loudest);
    EXPECT_EQ(editor->received[2].first, kMeterGain);
    EXPECT_NEAR(editor->received[2].second, deepest, 1e-5);
    EXPECT_LT(deepest, 0.2f);
    // The last frame alone would show silence and no reduction.
    EXPECT_EQ(outL.back(), 0.0f);
    EXPECT_EQ(outR.back(), 0.0f);
}

// The input meter shows the peak after the input gain, the output meter the loudest output sample: both
// gains and any compression included, whatever their settings.
TEST(SignalChainTest, MetersFollowInputGainAndMakeUp) {
    struct Case {
        float inputGain, makeup, threshold;
    } cases[] = {{0.5f, 0.6f, 1.0f}, {0.5f, 0.25f, 1.0f}, {0.6f, 0.75f, 1.0f}, {0.4f, 0.7f, 0.5f}};
    for (const Case& c : cases) {
        Instance instance;
        auto* editor = attachRecordingEditor(instance.plugin());
        instance.set(kInputGain, c.inputGain);
        instance.set(kCompMakeup, c.makeup);
        instance.set(kCompThreshold, c.threshold);
        const auto left = whiteNoise(4096, 0.3f, 7), right = whiteNoise(4096, 0.3f, 8);
        std::vector<float> outL(4096), outR(4096);
        editor->received.clear();
        instance.process(left.data(), right.data(), outL.data(), outR.data(), 4096);
        float loudestIn = 0.0f, loudestOut = 0.0f;
        for (size_t i = 0; i < left.size(); ++i) {
            loudestIn = std::max({loudestIn, std::fabs(left[i]), std::fabs(right[i])});
            loudestOut = std::max({loudestOut, std::fabs(outL[i]), std::fabs(outR[i])});
        }
        ASSERT_EQ(editor->received.size(), 3u);
        const double inputGain = std::pow(10.0, (c.inputGain - 0.5) * 2.0);
        EXPECT_NEAR(editor->received[0].second, loudestIn * inputGain, 1e-5) << c.inputGain;
        EXPECT_NEAR(editor->received[1].second, loudestOut, 1e-5) << c.makeup;
    }
}
