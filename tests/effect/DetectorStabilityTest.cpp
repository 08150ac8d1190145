// The detector filters stay stable at every setting and rate: 30 s of noise come out finite and at a
// steady level, and a high-pass far below the audio band leaves the level as the filter off does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Output level in dB of each 5-second window of 30 s of stereo noise, compressed hard (threshold
// -30 dB, ratio 10.6), with one detector filter set; empty when a sample is not finite.
std::vector<double> windowLevels(float rate, VstInt32 filter, float value) {
    Instance instance;
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    instance.set(kCompThreshold, 0.5f);
    instance.set(kCompRatio, 0.33f);
    instance.set(filter, value);

    constexpr int kBlock = 1024;
    const long window = long(rate) * 5;
    std::vector<float> left(kBlock), right(kBlock), outL(kBlock), outR(kBlock);
    uint32_t state = 12345u;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return 0.5f * (static_cast<float>(state >> 8) / 8388608.0f - 1.0f);
    };
    std::vector<double> levels;
    double energy = 0.0;
    long counted = 0;
    for (long done = 0; done < 6 * window; done += kBlock) {
        for (int i = 0; i < kBlock; ++i) {
            left[i] = next();
            right[i] = next();
        }
        instance.process(left.data(), right.data(), outL.data(), outR.data(), kBlock);
        for (int i = 0; i < kBlock; ++i) {
            if (!std::isfinite(outL[i]) || !std::isfinite(outR[i])) return {};
            energy += double(outL[i]) * outL[i] + double(outR[i]) * outR[i];
            if (++counted == window) {
                levels.push_back(10.0 * std::log10(energy / (2.0 * window)));
                energy = 0.0;
                counted = 0;
            }
        }
    }
    return levels;
}

double mean(const std::vector<double>& levels) {
    double sum = 0.0;
    for (double l : levels) sum += l;
    return sum / double(levels.size());
}

void expectSteady(const std::vector<double>& levels, float rate, VstInt32 filter, float value) {
    ASSERT_EQ(levels.size(), 6u) << "not finite: filter " << filter << " at " << value << ", " << rate << " Hz";
    const auto [low, high] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_LE(*high - *low, 1.0) << "filter " << filter << " at " << value << ", " << rate << " Hz";
}

}  // namespace

TEST(DetectorStabilityTest, HighPassIsSteadyNearBothEndsAndTransparentBelowTwentyHertz) {
    const float values[] = {1e-5f, 0.0005f, 0.001f, 0.002f, 0.003f, 0.004f, 0.005f, 0.006f,
                            0.007f, 0.0085f, 0.01f,  0.012f, 0.99f,  0.999f, 1.0f};
    for (float rate : {22050.0f, 44100.0f, 192000.0f}) {
        const double off = mean(windowLevels(rate, kHpShelf, 0.0f));
        for (float value : values) {
            const std::vector<double> levels = windowLevels(rate, kHpShelf, value);
            expectSteady(levels, rate, kHpShelf, value);
            if (levels.empty()) continue;
            const double corner = rate * std::atan(double(value) * value) / kPi;
            if (corner < 20.0) {
                EXPECT_NEAR(mean(levels), off, 1.0) << value << " (corner " << corner << " Hz) at " << rate;
            }
        }
    }
}

TEST(DetectorStabilityTest, LowPassIsSteadyNearBothEnds) {
    const float values[] = {0.0f, 1e-5f, 0.0001f, 0.001f, 0.005f, 0.01f, 0.99f, 0.999f, 0.9999999f};
    for (float rate : {22050.0f, 44100.0f, 192000.0f}) {
        for (float value : values) expectSteady(windowLevels(rate, kLpShelf, value), rate, kLpShelf, value);
    }
}
