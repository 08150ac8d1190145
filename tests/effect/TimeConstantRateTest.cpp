// Attack and release take the same milliseconds at every sample rate, in whatever order the host sets
// the rate and the parameters.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

enum class HostOrder {
    RateThenParameters,
    ParametersThenRate,          // a project restored before the rate is known
    DefaultsThenBlockSizeAndRate,  // attack and release never touched
    RateChangedWhileSuspended,
    RateChangedAfterABlock,  // the block has taken its settings at 44.1 kHz already
};

struct Times {
    double attackMs;
    double releaseMs;
};

// Milliseconds for the gain to go 90% of the way (in dB, from 0 to about -49) after the input steps from
// -80 dB to -6 dB (attack) and back (release), with threshold -60 dB and ratio 10.6. The crossing is
// interpolated between samples, so that the coarse rates are measured as finely as the others.
Times measure(float rate, HostOrder order) {
    Instance instance;
    auto setParameters = [&] {
        instance.set(kCompThreshold, 0.0f);
        instance.set(kCompRatio, 0.33f);
        if (order == HostOrder::DefaultsThenBlockSizeAndRate) return;
        instance.set(kCompAttack, 0.1f);
        instance.set(kCompRelease, 0.2f);
    };
    switch (order) {
        case HostOrder::RateThenParameters:
            instance.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
            setParameters();
            break;
        case HostOrder::ParametersThenRate:
            setParameters();
            instance.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
            break;
        case HostOrder::DefaultsThenBlockSizeAndRate:
            setParameters();
            instance.dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, rate);
            break;
        case HostOrder::RateChangedWhileSuspended:
            setParameters();
            instance.dispatch(effMainsChanged, 0, 1);
            instance.dispatch(effMainsChanged, 0, 0);
            instance.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
            instance.dispatch(effMainsChanged, 0, 1);
            break;
        case HostOrder::RateChangedAfterABlock: {
            setParameters();
            std::vector<float> warmUp(64, 1e-4f), out(64);
            instance.process(warmUp.data(), warmUp.data(), out.data(), out.data(), 64);
            instance.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
            break;
        }
    }

    const size_t quiet = size_t(0.2 * rate), loud = size_t(1.0 * rate), tail = size_t(3.0 * rate);
    std::vector<float> in(quiet + loud + tail, 1e-4f), outL(in.size()), outR(in.size());
    std::fill(in.begin() + quiet, in.begin() + quiet + loud, 0.5f);
    instance.process(in.data(), in.data(), outL.data(), outR.data(), VstInt32(in.size()));

    auto gainDb = [&](size_t i) { return 20.0 * std::log10(double(outL[i]) / in[i]); };
    const double compressed = gainDb(quiet + loud - 1);
    EXPECT_LT(compressed, -40.0);
    // Time from the step at frame `from` until the gain first passes `target` going the given way.
    auto crossing = [&](size_t from, size_t to, double target, bool falling) {
        for (size_t i = from + 1; i < to; ++i) {
            const double before = gainDb(i - 1), now = gainDb(i);
            if (falling ? now <= target : now >= target) {
                const double fraction = (target - before) / (now - before);
                return 1000.0 * (double(i - 1 - from) + fraction) / rate;
            }
        }
        ADD_FAILURE() << "the gain never reached " << target << " dB at " << rate << " Hz";
        return 0.0;
    };
    const double attackMs = crossing(quiet - 1, quiet + loud, 0.9 * compressed, true);
    const double releaseMs = crossing(quiet + loud - 1, in.size(), 0.1 * compressed, false);
    return {attackMs, releaseMs};
}

}  // namespace

TEST(TimeConstantRateTest, MillisecondsAgreeAtEveryRateAndHostOrder) {
    for (HostOrder order : {HostOrder::RateThenParameters, HostOrder::ParametersThenRate,
                            HostOrder::DefaultsThenBlockSizeAndRate, HostOrder::RateChangedWhileSuspended,
                            HostOrder::RateChangedAfterABlock}) {
        const Times reference = measure(44100.0f, order);
        // A 16.35 ms attack; a 312 ms release after the 20 ms peak hold.
        EXPECT_GT(reference.attackMs, 2.0);
        EXPECT_GT(reference.releaseMs, 1000.0);
        for (float rate : {22050.0f, 48000.0f, 96000.0f, 192000.0f}) {
            const Times t = measure(rate, order);
            EXPECT_NEAR(t.attackMs, reference.attackMs, 0.02 * reference.attackMs)
                << rate << " Hz, order " << int(order);
            EXPECT_NEAR(t.releaseMs, reference.releaseMs, 0.02 * reference.releaseMs)
                << rate << " Hz, order " << int(order);
        }
    }
}
