// Which shelf values switch a detector section on, seen from outside: a section that is on keeps what it
// blocks away from the detector, so the signal is not compressed; one that is off lets it be compressed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

// Gain of the last 0.1 s after 1 s of a 0.5 signal: DC, or a tone at half the sample rate.
double settledGain(float hpShelf, float lpShelf, bool nyquistTone) {
    Instance instance;
    instance.set(kCompThreshold, 2.0f / 3.0f);  // -20 dB: only a detector that hears the signal compresses
    instance.set(kCompRatio, 0.33f);
    instance.set(kHpShelf, hpShelf);
    instance.set(kLpShelf, lpShelf);
    std::vector<float> in(44100), out(44100);
    for (size_t i = 0; i < in.size(); ++i) in[i] = nyquistTone && (i % 2) ? -0.5f : 0.5f;
    instance.process(in.data(), in.data(), out.data(), nullptr, VstInt32(in.size()));
    float loudest = 0.0f;
    for (size_t i = in.size() - 4410; i < in.size(); ++i) loudest = std::max(loudest, std::fabs(out[i]));
    return loudest / 0.5;
}

}  // namespace

TEST(DetectorSwitchTest, OnlyHighPassZeroAndLowPassOneSwitchASectionOff) {
    struct Case {
        float hp, lp;
        bool nyquist;  // else DC: the high-pass blocks DC, the low-pass a tone at half the rate
        bool compressed;
    } cases[] = {
        {0.0f, 1.0f, false, true},      // both off
        {-0.0f, 1.0f, false, true},     // -0 is 0
        {0.3f, 1.0f, false, false},     // on
        {-0.5f, 1.0f, false, false},    // below the range: on, K = 0.25
        {1500.0f, 1.0f, false, false},  // far above: on, corner just under half the rate
        {0.0f, 1.0f, true, true},       // both off
        {0.0f, 0.5f, true, false},      // on
        {0.0f, 1.5f, true, false},      // above the range: on, corner above a quarter of the rate
        {0.0f, -1.0f, true, false},     // K = 1 as at 1, but the value is not 1: on
        {0.0f, 0.0f, true, false},      // the lowest corner
    };
    for (const Case& c : cases) {
        const double gain = settledGain(c.hp, c.lp, c.nyquist);
        if (c.compressed)
            EXPECT_LT(gain, 0.3) << "HPShelf " << c.hp << ", LPShelf " << c.lp;
        else
            EXPECT_GT(gain, 0.95) << "HPShelf " << c.hp << ", LPShelf " << c.lp;
    }
}
