// The read-out texts of the editor's six converters, at the ends of their ranges and where truncation bites.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "editor/CompGateFormats.h"

namespace {

using Converter = void (*)(float, char*);

std::string text(Converter converter, float value) {
    char buffer[256] = "unchanged";
    converter(value, buffer);
    return buffer;
}

TEST(FormatTest, GainTruncatesTowardZero) {
    EXPECT_EQ(text(formatGain, 0.5f), "0");
    EXPECT_EQ(text(formatGain, 0.49f), "0");  // -0.4 truncates to 0, not -1
    EXPECT_EQ(text(formatGain, 0.0f), "-20");
    EXPECT_EQ(text(formatGain, 1.0f), "20");
    EXPECT_EQ(text(formatGain, 0.1f), "-15");  // -15.99999994
    EXPECT_EQ(text(formatGain, 0.75f), "10");
}

TEST(FormatTest, ShelfUsesTheSinglePrecisionHundredth) {
    EXPECT_EQ(text(formatShelf, 0.0f), "0.01");
    EXPECT_EQ(text(formatShelf, 0.5f), "5.51");
    EXPECT_EQ(text(formatShelf, 1.0f), "22.01");
    EXPECT_EQ(text(formatShelf, 0.1f), "0.23");
}

TEST(FormatTest, ThresholdRatioAttackRelease) {
    EXPECT_EQ(text(formatThreshold, 1.0f), "0");
    EXPECT_EQ(text(formatThreshold, 0.99f), "0");
    EXPECT_EQ(text(formatThreshold, 0.0f), "-60");
    EXPECT_EQ(text(formatThreshold, 0.5f), "-30");

    EXPECT_EQ(text(formatRatio, 0.0f), "1:1");
    EXPECT_EQ(text(formatRatio, 0.1f), "1:3");
    EXPECT_EQ(text(formatRatio, 0.33f), "1:10");
    EXPECT_EQ(text(formatRatio, 0.330000013f), "1:10");
    EXPECT_EQ(text(formatRatio, 1.0f), "1:30");

    EXPECT_EQ(text(formatAttack, 0.1f), "15");
    EXPECT_EQ(text(formatAttack, 1.0f), "150");
    EXPECT_EQ(text(formatRelease, 0.2f), "300");
    EXPECT_EQ(text(formatRelease, 1.0f), "1500");
}

TEST(FormatTest, ValuesFarOutsideTheRangeStayWithinTheBuffer) {
    // A host may store any float; the texts saturate instead of overflowing the integer conversion.
    EXPECT_EQ(text(formatGain, 3.0e38f), "2147483647");
    EXPECT_EQ(text(formatRelease, -3.0e38f), "-2147483648");
    EXPECT_EQ(text(formatRatio, 3.0e38f), "1:2147483647");
    EXPECT_EQ(text(formatAttack, NAN), "0");
    EXPECT_LT(text(formatShelf, 3.0e38f).size(), 256u);
}

}  // namespace
