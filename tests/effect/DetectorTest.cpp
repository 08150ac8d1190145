// The detector and gain lookup on the signal chain's own state: threshold edge, table ends, peak hold.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "effect/CompressorState.h"

namespace {

// Settings that make the detector level follow the peak at once: attack 1 puts L on E exactly.
ChainSettings instantSettings(double thresholdLinear) {
    ChainSettings s{};
    s.inputGainLinear = 1.0;
    s.thresholdLinear = thresholdLinear;
    s.thresholdDb = 20.0 * std::log10(thresholdLinear);
    s.inverseRatio = 0.25;
    s.attackCoefficient = 1.0;
    s.releaseCoefficient = 1.0;
    s.makeupLinear = 1.0;
    return s;
}

BlockMeters runConstant(CompressorState& state, const ChainSettings& s, float value, int frames,
                        std::vector<float>* out = nullptr) {
    std::vector<float> in(frames, value), outL(frames), outR(frames);
    BlockMeters meters = state.processBlock(s, in.data(), in.data(), outL.data(), outR.data(), frames);
    if (out) *out = outL;
    return meters;
}

}  // namespace

TEST(DetectorTest, LevelTableSpansNineteenOctaves) {
    CompressorState state;
    EXPECT_EQ(state.levelTable[0], 1.52587890625e-05f);
    EXPECT_EQ(state.levelTable[64], 2.0f * 1.52587890625e-05f);
    EXPECT_EQ(state.levelTable[65], 2.0f * 1.52587890625e-05f * (1.0f + 1.0f / 64.0f));
    EXPECT_EQ(state.levelTable[1215], 7.9375f);
}

TEST(DetectorTest, LevelAtTheThresholdIsNotCompressed) {
    CompressorState state;
    state.setPeakHold(44100.0f);
    const float level = 0.3f;
    ChainSettings s = instantSettings(level);
    BlockMeters meters = runConstant(state, s, level, 16);
    EXPECT_EQ(state.detectorLevel, level);
    EXPECT_EQ(meters.gain, 1.0f);
    // Just below the level, the curve applies.
    s = instantSettings(std::nextafter(double(level), 0.0));
    meters = runConstant(state, s, level, 16);
    EXPECT_LT(meters.gain, 1.0f);
    EXPECT_GT(meters.gain, 0.99f);
}

TEST(DetectorTest, LookupInterpolatesBetweenEntriesAndClampsAtTheEnds) {
    CompressorState state;
    state.setPeakHold(44100.0f);
    const ChainSettings s = instantSettings(0.001);
    state.buildGainTable(s.thresholdLinear, s.thresholdDb, s.inverseRatio);
    auto gainAt = [&](float level) { return runConstant(state, s, level, 4).gain; };
    auto table = [&](int i) { return state.gainTable[i]; };

    // On an entry exactly: that entry.
    EXPECT_EQ(gainAt(state.levelTable[700]), table(700));
    // Half way (in bit patterns) between two entries: the mean, formed in double precision.
    const float between = state.levelTable[700] + (state.levelTable[701] - state.levelTable[700]) * 0.5f;
    EXPECT_EQ(gainAt(between), float(0.5 * table(700) + 0.5 * table(701)));
    // At and beyond the last entry: the last entry, not an extrapolation.
    EXPECT_EQ(gainAt(7.9375f), table(1215));
    EXPECT_EQ(gainAt(7.95f), table(1215));
    EXPECT_EQ(gainAt(1000.0f), table(1215));

    // Below the first entry, with a threshold lower still: the first entry.
    CompressorState quiet;
    quiet.setPeakHold(44100.0f);
    const ChainSettings low = instantSettings(1e-6);
    const float gain = runConstant(quiet, low, 1e-5f, 4).gain;
    EXPECT_EQ(gain, quiet.gainTable[0]);
    EXPECT_LT(quiet.gainTable[0], 1.0f);
}

TEST(DetectorTest, GainTableIsAHardKnee) {
    CompressorState state;
    state.buildGainTable(0.1, -20.0, 0.5);
    for (int i = 0; i < CompressorState::kTableSize; ++i) {
        const double x = state.levelTable[i];
        const float g = state.gainTable[i];
        if (x <= 0.1) {
            ASSERT_EQ(g, 1.0f) << i;
        } else {
            // Output level in dB: threshold plus half the excess.
            const double outDb = 20.0 * std::log10(x * g);
            ASSERT_NEAR(outDb, -20.0 + (20.0 * std::log10(x) + 20.0) * 0.5, 1e-5) << i;
        }
    }
}

TEST(DetectorTest, PeakIsHeldForExactlyTheHoldLength) {
    CompressorState state;
    state.setPeakHold(44100.0f);
    ASSERT_EQ(state.holdSamples, 882);
    ChainSettings s = instantSettings(1.0);
    runConstant(state, s, 0.8f, 1);
    EXPECT_EQ(state.peakEnvelope, 0.8f);
    runConstant(state, s, 0.0f, 882);
    EXPECT_EQ(state.peakEnvelope, 0.8f);
    EXPECT_EQ(state.holdCounter, 0);
    runConstant(state, s, 0.0f, 1);
    EXPECT_EQ(state.peakEnvelope, float(double(0.8f) - double(0.8f) * (1.0 / (0.02 * 44100.0))));
    // A new peak during the fall starts a new hold.
    runConstant(state, s, 0.9f, 1);
    runConstant(state, s, 0.5f, 500);
    EXPECT_EQ(state.peakEnvelope, 0.9f);
    EXPECT_EQ(state.holdCounter, 382);
}
