// Gain changes ramp: a -20 dBFS 1 kHz sine whose gain settings step every 256 frames (or every block, so
// that each ramp is cut short by the next) moves no more from one sample to the next than the steady
// signal at the louder setting, give or take 10%.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

constexpr float kRate = 48000.0f;
constexpr int kBlock = 64;

struct RampCase {
    const char* name;
    std::function<void(const Instance&)> setUp;
    std::function<void(const Instance&, bool loud)> apply;
};

// The largest sample-to-sample step of the left output over one second, after a second to settle; with
// stepEvery, the setting alternates between quiet and loud every stepEvery frames, else it stays loud.
double largestStep(const RampCase& c, int stepEvery = 0) {
    Instance instance;
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, kRate);
    c.setUp(instance);
    c.apply(instance, true);
    instance.dispatch(effMainsChanged, 0, 1);
    std::vector<float> in(kBlock), outL(kBlock), outR(kBlock);
    double largest = 0.0, previous = 0.0;
    long frame = 0;
    for (int block = 0; block < 2 * int(kRate) / kBlock; ++block) {
        const bool measuring = block >= int(kRate) / kBlock;
        if (measuring && stepEvery && frame % stepEvery == 0) c.apply(instance, (frame / stepEvery) % 2 == 1);
        for (int i = 0; i < kBlock; ++i) in[i] = float(0.1 * std::sin(2.0 * M_PI * 1000.0 * double(frame + i) / kRate));
        instance.process(in.data(), in.data(), outL.data(), outR.data(), kBlock);
        for (int i = 0; i < kBlock; ++i, ++frame) {
            if (measuring) largest = std::max(largest, std::fabs(outL[i] - previous));
            previous = outL[i];
        }
    }
    return largest;
}

void setBoth(const Instance& i, VstInt32 index, float value) { i.set(index, value); }

}  // namespace

TEST(GainRampTest, SteppedSettingsMoveNoMoreThanTheSteadySignal) {
    const auto none = [](const Instance&) {};
    const std::vector<RampCase> cases = {
        {"CompMakeup 0 / +6 dB", none, [](const Instance& i, bool loud) { setBoth(i, kCompMakeup, loud ? 0.65f : 0.5f); }},
        {"InputGain 0 / +6 dB", none, [](const Instance& i, bool loud) { setBoth(i, kInputGain, loud ? 0.65f : 0.5f); }},
        // Ratio 3.9 on a -20 dB level: -14.9 dB of gain at a -40 dB threshold, -7.4 dB at -30 dB.
        {"CompThreshold -40 / -30 dB", none,
         [](const Instance& i, bool loud) { setBoth(i, kCompThreshold, loud ? 0.5f : 1.0f / 3.0f); }},
        {"CompRatio 10.6 / 3.9", [](const Instance& i) { i.set(kCompThreshold, 1.0f / 3.0f); },
         [](const Instance& i, bool loud) { setBoth(i, kCompRatio, loud ? 0.1f : 0.33f); }},
        {"program 0 / 1 (+6 dB make-up)",
         [](const Instance& i) {
             i.dispatch(effSetProgram, 0, 1);
             i.set(kCompMakeup, 0.65f);
         },
         [](const Instance& i, bool loud) { i.dispatch(effSetProgram, 0, loud ? 1 : 0); }},
    };
    for (const RampCase& c : cases) {
        const double steady = largestStep(c);
        for (int stepEvery : {256, kBlock}) {
            const double stepped = largestStep(c, stepEvery);
            std::printf("%-30s every %3d: steady %.4f stepped %.4f (%.2f times)\n", c.name, stepEvery, steady,
                        stepped, stepped / steady);
            EXPECT_LE(stepped, 1.1 * steady) << c.name << ", every " << stepEvery << " frames";
        }
    }
}

// Below the threshold the output is the input times the gains: a make-up step glides over a ramp longer
// than a block, but a resume has no earlier output to glide from, so its first frame is at the gains as
// they are, also when they changed while suspended.
TEST(GainRampTest, AResumeAppliesTheGainsAtOnce) {
    Instance instance;
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, kRate);
    instance.set(kCompThreshold, 1.0f);  // 0 dBFS: nothing is reduced
    instance.set(kCompMakeup, 0.5f);
    instance.dispatch(effMainsChanged, 0, 1);
    const std::vector<float> in(kBlock, 0.1f);
    std::vector<float> outL(kBlock), outR(kBlock);
    auto block = [&] { instance.process(in.data(), in.data(), outL.data(), outR.data(), kBlock); };
    for (int b = 0; b < 8; ++b) block();
    const float quiet = outL[kBlock - 1];
    instance.set(kCompMakeup, 0.65f);
    block();
    const float gliding = outL[kBlock - 1];
    instance.dispatch(effMainsChanged, 0, 0);
    instance.dispatch(effMainsChanged, 0, 1);
    block();
    const std::vector<float> resumed = outL;
    for (int b = 0; b < 100; ++b) block();
    const float loud = outL[kBlock - 1];
    ASSERT_GT(loud, 1.9f * quiet);
    EXPECT_GT(gliding, quiet);
    EXPECT_LT(gliding, loud) << "the ramp outlasts a block";
    for (int i = 0; i < kBlock; ++i)
        EXPECT_EQ(resumed[size_t(i)], loud) << "frame " << i << " after the resume";
    // A change made while suspended is no step either.
    instance.dispatch(effMainsChanged, 0, 0);
    instance.set(kCompMakeup, 0.5f);
    instance.dispatch(effMainsChanged, 0, 1);
    block();
    for (int i = 0; i < kBlock; ++i)
        EXPECT_EQ(outL[size_t(i)], quiet) << "frame " << i << " after the resume";
}
