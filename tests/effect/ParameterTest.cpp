// Parameters as the host sees them: fresh values, limits, names, labels, display texts, derived values.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

TEST(ParameterTest, FreshInstanceAnswersTheDefaults) {
    Instance instance;
    const float expected[17] = {0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 0.1f, 0.5f, 1.0f, 0.1f,
                                0.1f, 0.2f, 0.5f, 0.5f, 0.75f, 0.0f, 0.0f, 0.0f};
    for (VstInt32 i = 0; i < 17; ++i) EXPECT_EQ(instance.get(i), expected[i]) << "parameter " << i;
    EXPECT_EQ(instance.get(-1), 0.0f);
    EXPECT_EQ(instance.get(17), 0.0f);
}

TEST(ParameterTest, LimitsApplyFromAboveOnlyAndReachTheProgram) {
    Instance instance;
    instance.set(kCompRatio, 0.9f);
    instance.set(kCompRelease, 0.9f);
    instance.set(kCompMakeup, 0.9f);
    EXPECT_EQ(instance.get(kCompRatio), 0.33f);
    EXPECT_EQ(double(instance.get(kCompRatio)), double(0.330000013f));
    EXPECT_EQ(instance.get(kCompRelease), 0.2f);
    EXPECT_EQ(instance.get(kCompMakeup), 0.75f);
    // The limit constants themselves pass unchanged; nothing is limited from below or elsewhere.
    instance.set(kCompRelease, 0.2f);
    EXPECT_EQ(instance.get(kCompRelease), 0.2f);
    instance.set(kCompRatio, -0.5f);
    instance.set(kInputGain, 1.5f);
    EXPECT_EQ(instance.get(kCompRatio), -0.5f);
    EXPECT_EQ(instance.get(kInputGain), 1.5f);
    // The current program keeps the limited values.
    instance.set(kCompRatio, 0.9f);
    instance.dispatch(effSetProgram, 0, 1);
    EXPECT_EQ(instance.get(kCompRatio), 0.1f);
    instance.dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(instance.get(kCompRatio), 0.33f);
    EXPECT_EQ(instance.get(kCompMakeup), 0.75f);
}

TEST(ParameterTest, NamesAndLabels) {
    Instance instance;
    const char* names[14] = {"Delay",     "InputGain", "LPShelf",     "HPShelf",    "GateThreshold",
                             "GateAttack", "GateRelease", "CompThreshold", "CompRatio", "CompAttack",
                             "CompRelease", "CompMakeup", "FeedBack",    "Volume"};
    // The defaults: both filters off, no unit for them or the ratio.
    const char* labels[14] = {"samples", "dB", "", "", "dB", "ms", "ms", "dB", "", "ms", "ms", "dB", "amount", "dB"};
    for (VstInt32 i = 0; i < 14; ++i) {
        EXPECT_EQ(instance.text(effGetParamName, i), names[i]);
        EXPECT_EQ(instance.text(effGetParamLabel, i), labels[i]);
    }
    for (VstInt32 i : {14, 15, 16, -1}) {
        EXPECT_EQ(instance.text(effGetParamName, i), "<untouched>");
        EXPECT_EQ(instance.text(effGetParamLabel, i), "<untouched>");
        EXPECT_EQ(instance.text(effGetParamDisplay, i), "<untouched>");
    }
}

// Parameters that take no part in the audio show the framework's float and decibel texts.
TEST(ParameterTest, DisplayTextsOfStoredOnlyParameters) {
    Instance instance;
    instance.set(kGateAttack, 0.7f);
    EXPECT_EQ(instance.text(effGetParamDisplay, kGateAttack), "0.699999");
    EXPECT_EQ(instance.text(effGetParamDisplay, kFeedBack), "0.500000");
    // Volume in decibels.
    EXPECT_EQ(instance.text(effGetParamDisplay, kVolume), "-2.49877");
    instance.set(kVolume, 0.0f);
    EXPECT_EQ(instance.text(effGetParamDisplay, kVolume), "-oo");
    instance.set(kVolume, 1.0f);
    EXPECT_EQ(instance.text(effGetParamDisplay, kVolume), "0.000000");
}

// Delay is stored and kept in programs like every other parameter, so it reads back and shows as well.
TEST(ParameterTest, DelayReadsBackItsStoredValue) {
    Instance instance;
    EXPECT_EQ(instance.get(kDelay), 0.5f);
    EXPECT_EQ(instance.text(effGetParamDisplay, kDelay), "0.500000");
    instance.set(kDelay, 0.25f);
    EXPECT_EQ(instance.get(kDelay), 0.25f);
    EXPECT_EQ(instance.text(effGetParamDisplay, kDelay), "0.250000");
    instance.dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(instance.get(kDelay), 0.5f);
}

TEST(ParameterTest, DerivedValuesOfTheDefaults) {
    Instance instance;
    const ChainSettings s = instance.plugin().chainSettings();
    EXPECT_EQ(s.inputGainLinear, 1.0);
    EXPECT_EQ(s.makeupLinear, 1.0);
    EXPECT_EQ(s.thresholdDb, 0.0);
    EXPECT_EQ(s.thresholdLinear, 1.0);
    // The single-precision 0.1 and 29: ratio 3.9000000432.
    EXPECT_EQ(s.inverseRatio, 1.0 / (1.0 + 29.0 * double(0.1f)));
    EXPECT_NEAR(1.0 / s.inverseRatio, 3.9, 1e-7);
    // 16.35 ms attack and 312 ms release at 44100, from single-precision constants.
    const double attackSeconds = (double(0.01f) + double(0.99f) * double(0.1f)) * 150.0 * double(0.001f);
    const double releaseSeconds = (double(0.01f) + double(0.99f) * double(0.2f)) * 1500.0 * double(0.001f);
    EXPECT_DOUBLE_EQ(s.attackCoefficient, 1.0 / (attackSeconds * 44100.0));
    EXPECT_DOUBLE_EQ(s.releaseCoefficient, 1.0 / (releaseSeconds * 44100.0));
    EXPECT_NEAR(1.0 / s.attackCoefficient / 44.1, 16.35, 0.01);
    EXPECT_NEAR(1.0 / s.releaseCoefficient / 44.1, 312.0, 0.1);
    EXPECT_FALSE(s.lpActive);
    EXPECT_FALSE(s.hpActive);
}

TEST(ParameterTest, DerivedValuesFollowTheirParameters) {
    Instance instance;
    CompGatePlugin& p = instance.plugin();
    instance.set(kInputGain, 1.0f);
    instance.set(kCompMakeup, 0.0f);
    instance.set(kCompThreshold, 0.0f);
    instance.set(kCompRatio, 0.33f);
    ChainSettings s = p.chainSettings();
    EXPECT_EQ(p.getInputGainDb(), 20.0);
    EXPECT_DOUBLE_EQ(s.inputGainLinear, 10.0);
    EXPECT_DOUBLE_EQ(s.makeupLinear, 0.1);
    EXPECT_EQ(s.thresholdDb, -60.0);
    EXPECT_DOUBLE_EQ(s.thresholdLinear, 0.001);
    EXPECT_NEAR(1.0 / s.inverseRatio, 10.57, 1e-6);

    // Filters: on for any value but the one that switches them off; corner K = v^2.
    instance.set(kLpShelf, 0.5f);
    instance.set(kHpShelf, 0.5f);
    s = p.chainSettings();
    EXPECT_TRUE(s.lpActive);
    EXPECT_TRUE(s.hpActive);
    const double k = 0.25, n = k * k + k + 1.0;
    EXPECT_DOUBLE_EQ(s.lpC0, k * k / n);
    EXPECT_DOUBLE_EQ(s.lpC1, 2.0 * (1.0 - k * k) / n);
    EXPECT_DOUBLE_EQ(s.lpC2, (n - 2.0 * k) / n);
    EXPECT_EQ(s.hpB, float(1.0 / n));
    EXPECT_EQ(s.hpC1, float(2.0 * (1.0 - k * k) / n));
    EXPECT_EQ(s.hpC2, float((n - 2.0 * k) / n));
    instance.set(kLpShelf, 1.0f);
    instance.set(kHpShelf, 0.0f);
    s = p.chainSettings();
    EXPECT_FALSE(s.lpActive);
    EXPECT_FALSE(s.hpActive);
    instance.set(kLpShelf, 0.9999999f);
    instance.set(kHpShelf, 1e-30f);
    s = p.chainSettings();
    EXPECT_TRUE(s.lpActive);
    EXPECT_TRUE(s.hpActive);
}
