// The detector filters have the response of their design: a second-order bilinear section with Q = 1 whose
// corner sits at fs / pi x atan(v^2), measured on sines below, at and above the corner at two rates.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

constexpr double kPi = 3.14159265358979323846;

// The largest detector peak of a settled sine, relative to its amplitude: the input meter of a block
// is the largest magnitude the detector saw in it. Threshold 0 dB keeps the gain out of the way.
double measuredGain(float rate, VstInt32 filter, float value, double hz) {
    Instance instance;
    RecordingEditor* editor = attachRecordingEditor(instance.plugin());
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    instance.set(filter, value);
    constexpr float kAmplitude = 0.25f;
    constexpr int kBlock = 8192;
    std::vector<float> in(kBlock), outL(kBlock), outR(kBlock);
    long phase = 0;
    for (long done = 0; done < long(rate) + kBlock; done += kBlock) {
        for (float& s : in) s = float(kAmplitude * std::sin(2.0 * kPi * hz * double(phase++) / rate));
        editor->received.clear();
        instance.process(in.data(), in.data(), outL.data(), outR.data(), kBlock);
    }
    EXPECT_EQ(editor->received.at(0).first, kMeterInput);
    return editor->received.at(0).second / kAmplitude;
}

// |H| of the analog prototype 1 / (s^2 + s + 1) (or s^2 / ...) at the pre-warped frequency.
double designedGain(bool lowPass, double rate, double k, double hz) {
    const double w = std::tan(kPi * hz / rate) / k;
    const double denominator = std::sqrt((1.0 - w * w) * (1.0 - w * w) + w * w);
    return (lowPass ? 1.0 : w * w) / denominator;
}

}  // namespace

TEST(DetectorResponseTest, BothShelvesFollowTheirDesignAroundTheCorner) {
    struct Case {
        VstInt32 filter;
        float value;
    };
    const Case cases[] = {{kLpShelf, 0.3f}, {kLpShelf, 0.6f}, {kHpShelf, 0.3f}, {kHpShelf, 0.1f}};
    for (float rate : {44100.0f, 96000.0f}) {
        for (const Case& c : cases) {
            const double k = double(c.value) * c.value;
            const double corner = rate * std::atan(k) / kPi;
            for (double ratio : {0.25, 0.5, 1.0, 2.0, 4.0}) {
                const double hz = corner * ratio;
                if (hz >= 0.45 * rate) continue;
                const double expected = designedGain(c.filter == kLpShelf, rate, k, hz);
                EXPECT_NEAR(measuredGain(rate, c.filter, c.value, hz), expected, 0.01 * expected + 0.0005)
                    << (c.filter == kLpShelf ? "low-pass " : "high-pass ") << c.value << " at " << hz << " Hz, "
                    << rate << " Hz";
            }
        }
    }
}
