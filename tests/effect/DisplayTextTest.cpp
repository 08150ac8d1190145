// The host's display and label of every audio parameter give what the signal chain does, in the unit the
// label names, at the current sample rate; the texts fit the host's eight characters.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

std::string shown(const Instance& instance, VstInt32 index, float value) {
    instance.set(index, value);
    return instance.text(effGetParamDisplay, index) + "|" + instance.text(effGetParamLabel, index);
}

}  // namespace

TEST(DisplayTextTest, GainsThresholdAndRatio) {
    Instance instance;
    EXPECT_EQ(shown(instance, kInputGain, 0.5f), "0.0|dB");
    EXPECT_EQ(shown(instance, kInputGain, 0.1f), "-16.0|dB");
    EXPECT_EQ(shown(instance, kInputGain, 0.499f), "0.0|dB");  // -0.04: no "-0.0"
    EXPECT_EQ(shown(instance, kInputGain, 1.0f), "20.0|dB");
    EXPECT_EQ(shown(instance, kCompMakeup, 0.6f), "4.0|dB");
    EXPECT_EQ(shown(instance, kCompMakeup, 0.9f), "10.0|dB");  // stored as 0.75
    EXPECT_EQ(shown(instance, kCompThreshold, 0.5f), "-30.0|dB");
    EXPECT_EQ(shown(instance, kCompThreshold, 0.0f), "-60.0|dB");
    // The ratio rounded, compressor-style: 3.9000000432 for the single-precision 0.1.
    EXPECT_EQ(shown(instance, kCompRatio, 0.1f), "3.9:1|");
    EXPECT_EQ(shown(instance, kCompRatio, 0.0517f), "2.5:1|");  // 2.4993
    EXPECT_EQ(shown(instance, kCompRatio, 0.9f), "10.6:1|");    // stored as 0.33
    EXPECT_EQ(shown(instance, kCompRatio, 0.0f), "1.0:1|");
    // Below 0 the ratio would fall under 1 and, at -1/29, become infinite: it stays at 1.
    EXPECT_EQ(shown(instance, kCompRatio, -1.0f / 29.0f), "1.0:1|");
    EXPECT_EQ(instance.plugin().chainSettings().inverseRatio, 1.0);
}

TEST(DisplayTextTest, FilterCornersFollowTheSampleRate) {
    Instance instance;
    EXPECT_EQ(shown(instance, kLpShelf, 1.0f), "off|");
    EXPECT_EQ(shown(instance, kHpShelf, 0.0f), "off|");
    // f = fs / pi x atan(v^2): 875.6 Hz and 3439 Hz at 44.1 kHz.
    EXPECT_EQ(shown(instance, kHpShelf, 0.25f), "876|Hz");
    EXPECT_EQ(shown(instance, kLpShelf, 0.5f), "3.44|kHz");
    EXPECT_EQ(shown(instance, kLpShelf, 0.999f), "11.0|kHz");
    EXPECT_EQ(shown(instance, kHpShelf, 0.005f), "0.35|Hz");
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    EXPECT_EQ(instance.text(effGetParamDisplay, kHpShelf) + "|" + instance.text(effGetParamLabel, kHpShelf),
              "0.76|Hz");  // 0.005 again
    EXPECT_EQ(shown(instance, kHpShelf, 0.25f), "1.91|kHz");
    EXPECT_EQ(shown(instance, kLpShelf, 0.5f), "7.49|kHz");
    instance.dispatch(effSetBlockSizeAndSampleRate, 0, 256, nullptr, 22050.0f);
    EXPECT_EQ(shown(instance, kHpShelf, 0.1f), "70.2|Hz");
}

TEST(DisplayTextTest, TimeConstantsInMilliseconds) {
    Instance instance;
    EXPECT_EQ(shown(instance, kCompAttack, 0.1f), "16.4|ms");
    EXPECT_EQ(shown(instance, kCompAttack, 0.0f), "1.50|ms");
    EXPECT_EQ(shown(instance, kCompAttack, 1.0f), "150|ms");
    EXPECT_EQ(shown(instance, kCompRelease, 0.2f), "312|ms");
    EXPECT_EQ(shown(instance, kCompRelease, 0.0f), "15.0|ms");
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, 192000.0f);
    EXPECT_EQ(instance.text(effGetParamDisplay, kCompRelease), "15.0");
    // Below -0.0101 the time would be negative: the level follows at once, one sample.
    EXPECT_EQ(shown(instance, kCompAttack, -1.0f), "0.01|ms");
}

TEST(DisplayTextTest, EightCharactersKeepTheirDecimalsNineTurnToAnExponent) {
    Instance instance;
    EXPECT_EQ(shown(instance, kInputGain, -308.0f), "-12340.0|dB");
    EXPECT_EQ(shown(instance, kInputGain, -3000.0f), "-1e+05|dB");
    EXPECT_EQ(shown(instance, kCompThreshold, -200.0f), "-12060.0|dB");
    EXPECT_EQ(shown(instance, kCompThreshold, -2000.0f), "-1e+05|dB");
}

TEST(DisplayTextTest, ValuesFarOutsideTheRangeStayWithinEightCharacters) {
    Instance instance;
    const VstInt32 audio[] = {kInputGain, kLpShelf, kHpShelf, kCompThreshold, kCompRatio, kCompAttack, kCompRelease,
                              kCompMakeup};
    for (VstInt32 index : audio) {
        for (float value : {3.0e38f, -3.0e38f, 1.0e-30f, -0.7f, 1.5f, NAN}) {
            instance.set(index, value);
            EXPECT_LE(instance.text(effGetParamDisplay, index).size(), 8u) << index << " at " << value;
            EXPECT_LE(instance.text(effGetParamLabel, index).size(), 7u);
        }
    }
}

// Three significant digits, and where Hz gives way to kHz: the rate places a corner of HPShelf 0.5
// (K = 0.25) exactly where wanted. Then shelf values far outside the range show the corner the section has.
TEST(DisplayTextTest, CornersAtTheEdgesOfTheirDigitsAndRange) {
    const double cornerPerHertz = std::atan(0.25) / 3.14159265358979323846;  // corner / rate
    const struct {
        double hertz;
        const char* shown;
    } corners[] = {
        {9.994, "9.99|Hz"},  {9.996, "10.0|Hz"},   {99.94, "99.9|Hz"},   {99.96, "100|Hz"},
        {999.4, "999|Hz"},   {999.6, "1.00|kHz"},  {9994.0, "9.99|kHz"}, {9996.0, "10.0|kHz"},
        {99940.0, "99.9|kHz"}, {99960.0, "100|kHz"},
    };
    for (const auto& c : corners) {
        Instance instance;
        instance.dispatch(effSetSampleRate, 0, 0, nullptr, float(c.hertz / cornerPerHertz));
        EXPECT_EQ(shown(instance, kHpShelf, 0.5f), c.shown) << c.hertz << " Hz";
    }
    const struct {
        VstInt32 index;
        float value;
        const char* shown;
    } outside[] = {
        {kHpShelf, 1500.0f, "22.0|kHz"},  // just under half the rate
        {kHpShelf, -0.5f, "3.44|kHz"},    // as 0.5
        {kHpShelf, -0.0f, "off|"},
        {kHpShelf, 1.0e-20f, "0.01|Hz"},  // the lowest corner the section resolves
        {kHpShelf, NAN, "0.01|Hz"},
        {kLpShelf, 1.5f, "16.2|kHz"},
        {kLpShelf, -1.0f, "11.0|kHz"},  // K = 1 as at 1, but on
        {kLpShelf, 0.0f, "0.01|Hz"},
        {kLpShelf, NAN, "0.01|Hz"},
    };
    Instance instance;
    for (const auto& c : outside) EXPECT_EQ(shown(instance, c.index, c.value), c.shown) << c.index << " at " << c.value;
}
