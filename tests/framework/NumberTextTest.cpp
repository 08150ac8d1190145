// Fixed-width number texts: exact digits, cut not rounded, and the 8-character budget.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "ProbeEffect.h"

namespace {

class NumberTextTest : public ::testing::Test {
  protected:
    // Formats into a buffer filled with a sentinel, and checks nothing beyond the terminator was touched.
    template <typename F>
    std::string text(F format) {
        std::memset(buffer, '#', sizeof(buffer));
        format(buffer);
        const size_t length = std::strlen(buffer);
        EXPECT_LE(length, 8u) << buffer;
        for (size_t i = length + 1; i < sizeof(buffer); ++i)
            EXPECT_EQ(buffer[i], '#') << "wrote past the text";
        return buffer;
    }
    std::string floatText(float v) {
        return text([&](char* t) { effect.formatFloat(v, t); });
    }
    std::string decibelText(float v) {
        return text([&](char* t) { effect.formatDecibels(v, t); });
    }
    std::string integerText(VstInt32 v) {
        return text([&](char* t) { effect.formatInteger(v, t); });
    }

    ProbeEffect effect{nullptr};
    char buffer[40];
};

TEST_F(NumberTextTest, FloatFillsEightCharactersWithCutDigits) {
    EXPECT_EQ(floatText(0.0f), "0.000000");
    EXPECT_EQ(floatText(-0.0f), "0.000000");
    EXPECT_EQ(floatText(0.5f), "0.500000");
    EXPECT_EQ(floatText(1.5f), "1.500000");
    EXPECT_EQ(floatText(-0.5f), "-0.50000");
    EXPECT_EQ(floatText(100.0f), "100.0000");
    EXPECT_EQ(floatText(0.7f), "0.699999");  // the float nearest 0.7 lies below it
    EXPECT_EQ(floatText(-12.25f), "-12.2500");
    EXPECT_EQ(floatText(1234567.0f), "1234567.");
    EXPECT_EQ(floatText(-123456.0f), "-123456.");
}

TEST_F(NumberTextTest, FloatOutOfRangeIsHuge) {
    EXPECT_EQ(floatText(99999999.5f), "Huge!");
    EXPECT_EQ(floatText(1e9f), "Huge!");
    EXPECT_EQ(floatText(-9999999.5f), "Huge!");
    EXPECT_EQ(floatText(-1e7f), "Huge!");
    EXPECT_EQ(floatText(std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(floatText(-std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(floatText(std::numeric_limits<float>::quiet_NaN()), "NaN");
}

// The largest values below the Huge! limits have one integer digit more than fits beside the point:
// they keep every digit and drop the point instead of losing their leading digit.
TEST_F(NumberTextTest, FloatWidestIntegersKeepAllDigits) {
    EXPECT_EQ(floatText(12345678.0f), "12345678");
    EXPECT_EQ(floatText(99999992.0f), "99999992");
    EXPECT_EQ(floatText(-1234567.0f), "-1234567");
    EXPECT_EQ(floatText(-9999999.0f), "-9999999");
}

// Every text read back lies at or below the magnitude, within one unit of its last digit.
TEST_F(NumberTextTest, FloatTextReadsBackAsTheValue) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> exponent(-4.0, 7.9);
    for (int i = 0; i < 20000; ++i) {
        float value = static_cast<float>(std::pow(10.0, exponent(random)));
        if (i % 2) value = -value;
        if (value < -9999999.0f) continue;
        const std::string t = floatText(value);
        const size_t point = t.find('.');
        const int decimals = point == std::string::npos ? 0 : static_cast<int>(t.size() - point - 1);
        const double unit = std::pow(10.0, -decimals);
        const double read = std::strtod(t.c_str(), nullptr);
        const double magnitude = std::fabs(static_cast<double>(value));
        EXPECT_LE(std::fabs(read), magnitude * (1 + 1e-12)) << value << " -> " << t;
        EXPECT_GT(std::fabs(read), magnitude - unit * 1.0001 - magnitude * 1e-12) << value << " -> " << t;
    }
}

TEST_F(NumberTextTest, DecibelsOfNonPositiveAreMinusInfinity) {
    EXPECT_EQ(decibelText(0.0f), "-oo");
    EXPECT_EQ(decibelText(-1.0f), "-oo");
    EXPECT_EQ(decibelText(std::numeric_limits<float>::quiet_NaN()), "-oo");
    EXPECT_EQ(decibelText(1.0f), "0.000000");
    EXPECT_EQ(decibelText(10.0f), "20.00000");
    EXPECT_EQ(decibelText(0.5f), "-6.02059");
}

TEST_F(NumberTextTest, IntegerIsRightAlignedInSevenColumns) {
    EXPECT_EQ(integerText(42), "     42");
    EXPECT_EQ(integerText(0), "      0");
    EXPECT_EQ(integerText(-42), "    -42");
    EXPECT_EQ(integerText(99999999), "99999999");
    EXPECT_EQ(integerText(100000000), "Huge!");
    EXPECT_EQ(integerText(std::numeric_limits<VstInt32>::max()), "Huge!");
    EXPECT_EQ(integerText(-12345678), "-1234567");  // cut after the eighth character
    EXPECT_EQ(integerText(std::numeric_limits<VstInt32>::min()), "-2147483");
}

TEST_F(NumberTextTest, HertzAndMillisecondsFollowTheSampleRate) {
    EXPECT_EQ(text([&](char* t) { effect.formatHertz(0.0f, t); }), "0.000000");
    EXPECT_EQ(text([&](char* t) { effect.formatHertz(441.0f, t); }), "100.0000");
    EXPECT_EQ(text([&](char* t) { effect.formatMilliseconds(441.0f, t); }), "10.00000");
    effect.setSampleRate(48000.0f);
    EXPECT_EQ(text([&](char* t) { effect.formatHertz(480.0f, t); }), "100.0000");
    EXPECT_EQ(text([&](char* t) { effect.formatMilliseconds(96.0f, t); }), "2.000000");
}

}  // namespace
