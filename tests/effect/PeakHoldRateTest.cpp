// The peak hold lasts 20 ms at the rate the host set last, also when the rate changes between blocks or
// during a hold; rates that are not a positive number change nothing. Measured on the output: with attack
// and release instant, the gain stays put while a peak is held and rises the frame the hold ends.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

struct HoldRun {
    explicit HoldRun(float firstRate) {
        instance.dispatch(effSetSampleRate, 0, 0, nullptr, firstRate);
        instance.set(kCompThreshold, 0.0f);  // -60 dB
        instance.set(kCompRatio, 0.33f);
        instance.set(kCompAttack, -1.0f);  // below the range: the level follows the envelope at once
        instance.set(kCompRelease, -1.0f);
        quiet(64);  // the block takes its settings at this rate
    }

    // A rising ramp: every frame is a new peak, so the hold starts afresh at its last frame.
    void peak() {
        std::vector<float> ramp(256);
        for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = 0.25f + 0.25f * float(i) / float(ramp.size());
        run(ramp);
        peakEnd = output.size();
    }

    void run(const std::vector<float>& in) {
        std::vector<float> out(in.size());
        instance.process(in.data(), in.data(), out.data(), nullptr, VstInt32(in.size()));
        output.insert(output.end(), out.begin(), out.end());
    }
    // After the peak, quiet frames: those whose gain is still that of the held peak.
    void quiet(size_t frames) { run(std::vector<float>(frames, 0.05f)); }

    // Frames after the peak before the gain first rises.
    long heldFrames() const {
        for (size_t i = peakEnd + 1; i < output.size(); ++i)
            if (output[i] != output[peakEnd]) return long(i - peakEnd);
        return -1;
    }

    Instance instance;
    std::vector<float> output;
    size_t peakEnd = 0;
};

constexpr float kInfinity = std::numeric_limits<float>::infinity();

}  // namespace

TEST(PeakHoldRateTest, HoldIsTwentyMillisecondsAtTheRateSetLast) {
    struct Case {
        float first, second;  // the rate of a first block, then the rate set after it
        long peakBefore;      // -1: the peak comes after the change; else quiet frames after it before
        long held;            // frames the gain stays after the peak
    } cases[] = {
        {44100.0f, 44100.0f, -1, 882},
        {44100.0f, 96000.0f, -1, 1920},
        {96000.0f, 22050.0f, -1, 441},
        {192000.0f, 44100.0f, 100, 100 + 882},  // a hold begun at 192 kHz ends as a new one would
        {44100.0f, 96000.0f, 100, 100 + 782},   // and one begun at 44.1 kHz is not lengthened
        {44100.0f, kInfinity, -1, 882},         // unusable rates are ignored
        {44100.0f, 0.0f, -1, 882},
        {44100.0f, -48000.0f, -1, 882},
        {44100.0f, std::numeric_limits<float>::quiet_NaN(), -1, 882},
    };
    for (const Case& c : cases) {
        HoldRun hold(c.first);
        if (c.peakBefore >= 0) {
            hold.peak();
            hold.quiet(size_t(c.peakBefore));
        }
        hold.instance.dispatch(effSetSampleRate, 0, 0, nullptr, c.second);
        if (c.peakBefore < 0) hold.peak();
        hold.quiet(8000);
        EXPECT_EQ(hold.heldFrames(), c.held) << c.first << " then " << c.second << " Hz";
        // The gain rises from then on: a hold, not a stall.
        EXPECT_GT(hold.output.back(), 2.0f * hold.output[hold.peakEnd])
            << c.first << " then " << c.second << " Hz";
    }
}

// The same through effSetBlockSizeAndSampleRate, and the displays that depend on the rate.
TEST(PeakHoldRateTest, UnusableRatesLeaveTheDisplaysAsTheyWere) {
    Instance instance;
    instance.set(kHpShelf, 0.25f);
    instance.set(kCompAttack, 0.1f);
    const std::string corner = instance.text(effGetParamDisplay, kHpShelf);
    const std::string attack = instance.text(effGetParamDisplay, kCompAttack);
    for (float rate : {kInfinity, -kInfinity, 0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        instance.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        instance.dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, rate);
        EXPECT_EQ(instance.text(effGetParamDisplay, kHpShelf), corner) << rate;
        EXPECT_EQ(instance.text(effGetParamDisplay, kCompAttack), attack) << rate;
        EXPECT_EQ(instance.plugin().getSampleRate(), 44100.0f) << rate;
    }
}
