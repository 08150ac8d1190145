// The gain ramp's contract, read from the samples alone: a change of the gain settings moves the applied
// gain along a straight line from what the last frame applied to what the settings give, in 5 ms of
// frames (the last of them plain); a change in mid-ramp carries on from where the ramp was; a resume ends it.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

// A constant input with no detector filter: once settled, the detector level and so the table's gain
// stand still, and each output sample is the input times the gain its frame applied.
constexpr float kInput = 0.5f;

class ConstantInput {
  public:
    // Input gain 0 dB, make-up 0 dB; a second at the rate to settle.
    ConstantInput(float rate, int block, float threshold) : block(block) {
        instance.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        instance.set(kInputGain, 0.5f);
        instance.set(kCompThreshold, threshold);
        instance.set(kCompMakeup, 0.5f);
        instance.dispatch(effMainsChanged, 0, 1);
        run(int(rate));
    }

    // The gains of the next n frames, run in whole blocks (the rest of the last block is dropped).
    std::vector<double> run(int n) {
        std::vector<double> gains;
        const size_t frames = static_cast<size_t>(block);
        const std::vector<float> in(frames, kInput);
        std::vector<float> outL(frames), outR(frames);
        while (int(gains.size()) < n) {
            instance.process(in.data(), in.data(), outL.data(), outR.data(), block);
            for (float y : outL) gains.push_back(double(y) / kInput);
        }
        gains.resize(size_t(n));
        return gains;
    }
    double steady() { return run(block).back(); }

    Instance instance;
    int block;
};

// Frame k of a ramp of length frames from `from` to `to` applies from + (to - from) (k + 1) / length.
void expectRamp(const std::vector<double>& gains, size_t first, double from, double to, int length,
                const char* what) {
    for (int k = 0; k < length; ++k) {
        const double expected = from + (to - from) * double(k + 1) / double(length);
        ASSERT_NEAR(gains[first + size_t(k)], expected, 1e-6 * std::fabs(expected) + 1e-9)
            << what << ", frame " << k << " of " << length;
    }
}

}  // namespace

// Make-up and threshold changes, at four rates and in blocks that cut the ramp at odd places: 5 ms of
// frames, rounded to the nearest, in a straight line from the gain applied before; the frame that ends
// the ramp applies the new settings exactly, and a second change starts from there.
TEST(GainRampContractTest, ARampIsLinearFromTheLastAppliedGainOverFiveMilliseconds) {
    struct Rate {
        float rate;
        int frames;
    };
    for (const Rate r :
         {Rate{22050.0f, 110}, Rate{44100.0f, 221}, Rate{48000.0f, 240}, Rate{96000.0f, 480}}) {
        for (const int block : {37, 64, 512}) {
            SCOPED_TRACE(testing::Message() << r.rate << " Hz, blocks of " << block);
            // Below the threshold: make-up 0 dB, +6 dB, then -4 dB.
            ConstantInput makeup(r.rate, block, 1.0f);
            const double unity = makeup.steady();
            ASSERT_EQ(unity, 1.0);
            makeup.instance.set(kCompMakeup, 0.65f);
            const std::vector<double> up = makeup.run(2 * r.frames);
            const double louder = up.back();
            ASSERT_NEAR(louder, std::pow(10.0, 0.3), 1e-6);
            expectRamp(up, 0, unity, louder, r.frames, "make-up up");
            EXPECT_NE(up[size_t(r.frames) - 2], louder) << "a ramp frame too few";
            makeup.instance.set(kCompMakeup, 0.4f);
            const std::vector<double> down = makeup.run(2 * r.frames);
            expectRamp(down, 0, louder, down.back(), r.frames, "make-up down");

            // Above it, the table's gain: threshold -30 dB on a -6 dB input, then -12 dB.
            ConstantInput threshold(r.rate, block, 0.5f);
            const double reduced = threshold.steady();
            ASSERT_LT(reduced, 0.5);
            threshold.instance.set(kCompThreshold, 0.8f);
            const std::vector<double> gains = threshold.run(2 * r.frames);
            ASSERT_GT(gains.back(), reduced);
            expectRamp(gains, 0, reduced, gains.back(), r.frames, "threshold");
        }
    }
}

// A change while a ramp runs: the new ramp starts from the gain the last frame applied, with no seam, and
// runs its full length from there.
TEST(GainRampContractTest, AChangeInMidRampCarriesOnFromWhereTheRampWas) {
    for (const int block : {64, 100}) {
        SCOPED_TRACE(testing::Message() << "blocks of " << block);
        ConstantInput input(48000.0f, block, 1.0f);
        input.instance.set(kCompMakeup, 0.65f);  // +6 dB over 240 frames
        const std::vector<double> first = input.run(block);
        const double reached = first.back();
        ASSERT_GT(reached, 1.0);
        ASSERT_LT(reached, 1.9);
        input.instance.set(kCompMakeup, 0.35f);  // -6 dB, from where the first ramp was
        const std::vector<double> second = input.run(480);
        expectRamp(second, 0, reached, second.back(), 240, "the ramp after the change");
        ASSERT_NEAR(second.back(), std::pow(10.0, -0.3), 1e-6);
    }
}

// A resume has no earlier output to ramp from: its first frame applies the settings as they are, also
// when a ramp was running at the suspend.
TEST(GainRampContractTest, AResumeEndsARamp) {
    ConstantInput input(44100.0f, 64, 1.0f);
    input.instance.set(kCompMakeup, 0.65f);
    const std::vector<double> ramping = input.run(64);
    ASSERT_LT(ramping.back(), std::pow(10.0, 0.3) - 1e-3);
    input.instance.dispatch(effMainsChanged, 0, 0);
    input.instance.dispatch(effMainsChanged, 0, 1);
    const std::vector<double> resumed = input.run(64);
    for (size_t i = 0; i < resumed.size(); ++i)
        EXPECT_NEAR(resumed[i], std::pow(10.0, 0.3), 1e-6) << "frame " << i;
    EXPECT_EQ(resumed.front(), resumed.back());
}
