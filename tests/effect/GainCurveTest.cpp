// The fast gain-table build against the hard-knee formula evaluated plainly: every entry, bit for bit,
// over a dense grid of thresholds and ratios and the values outside it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "effect/GainCurve.h"
#include "effect/ParameterCurves.h"
#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

float plainGain(float level, double thresholdLinear, double thresholdDb, double inverseRatio) {
    const double x = level;
    if (!(x > thresholdLinear)) return 1.0f;
    const double levelDb = 20.0 * std::log10(x);
    const double outputDb = thresholdDb + (levelDb - thresholdDb) * inverseRatio;
    return float(std::pow(10.0, (outputDb - levelDb) * 0.05));
}

// Builds from a threshold in dB (its linear value as the effect derives it) and compares every entry.
void expectPlain(GainCurve& curve, double thresholdDb, double inverseRatio) {
    const double thresholdLinear = std::pow(10.0, thresholdDb * 0.05);
    std::vector<float> gains(GainCurve::kTableSize, -1.0f);
    std::vector<double> wide(GainCurve::kTableSize, -1.0);
    curve.build(thresholdLinear, thresholdDb, inverseRatio, gains.data(), wide.data());
    for (int i = 0; i < GainCurve::kTableSize; ++i) {
        const float expected = plainGain(curve.levels[i], thresholdLinear, thresholdDb, inverseRatio);
        ASSERT_EQ(bitsOf(gains[i]), bitsOf(expected))
            << "entry " << i << ", threshold " << thresholdDb << " dB, inverse ratio " << inverseRatio;
        ASSERT_EQ(bitsOf(float(wide[i])), bitsOf(gains[i])) << "entry " << i;  // NaN included
    }
}

}  // namespace

// The parameter range (threshold -60 to 0 dB, ratio 1 to 10.57) on a grid of 0.4 dB and 1/24 of the ratio
// knob, and past it on both sides: thresholds down to -120 and up to +12 dB, ratios to 30.
TEST(GainCurveTest, EveryEntryOnADenseGridIsThePlainFormula) {
    GainCurve curve;
    // Ratio outside, so that builds at one ratio follow each other as under threshold automation.
    for (int r = 0; r <= 24; ++r) {
        for (int t = 0; t <= 330; ++t) {
            expectPlain(curve, thresholdDecibels(-1.0 + t / 150.0), 1.0 / compressionRatio(r / 24.0));
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
}

TEST(GainCurveTest, ValuesFarOutsideTheRangeAreThePlainFormulaToo) {
    GainCurve curve;
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    // Unity and near-unity ratios, thresholds at and beyond the fast path's +-200 dB, and thresholds
    // that put every level, or none, above them.
    for (double thresholdDb : {-1e6, -1000.0, -200.01, -200.0, -199.9, -150.0, -96.33, 18.0, 24.0, 200.0, 2000.0}) {
        for (double inverseRatio : {1.0, 1.0 - 1e-15, 0.5, 1.0 / 30.0, 1e-12, 0.0}) {
            expectPlain(curve, thresholdDb, inverseRatio);
        }
    }
    expectPlain(curve, nan, 0.5);
    expectPlain(curve, -inf, 0.5);
    expectPlain(curve, -30.0, nan);
}
