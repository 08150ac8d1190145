// RenderStatsTest: the host-side measurement of levels and gain reduction behind the summary and plot.
#include <cmath>
#include <cstdint>

#include "tests/render/RenderTestSupport.h"
#include "tools/render/RenderStats.h"

namespace {

TEST(RenderStatsTest, GainReductionIsTheRatioWithTheStaticGainTakenOut) {
    // Static gain x2 (+6 dB); the first half passes with it, the second half loses a further 12 dB.
    const int frames = 1000;
    std::vector<float> inL(frames, 0.25f), inR(frames, -0.1f), outL(frames), outR(frames);
    for (int i = 0; i < frames; ++i) {
        const float g = i < frames / 2 ? 2.0f : 2.0f * 0.2511886f;
        outL[i] = inL[i] * g;
        outR[i] = inR[i] * g;
    }
    RenderStats stats(2.0, frames);
    const float* in[2] = {inL.data(), inR.data()};
    const float* out[2] = {outL.data(), outR.data()};
    stats.add(in, out, 2, frames);
    EXPECT_NEAR(stats.largestReductionDb(), 12.0, 1e-3);
    EXPECT_NEAR(stats.averageReductionDb(), 6.0, 1e-3);
    EXPECT_NEAR(stats.inputPeakDb(), 20 * std::log10(0.25), 1e-6);
    EXPECT_NEAR(stats.outputPeakDb(), 20 * std::log10(0.5), 1e-6);
    EXPECT_NEAR(stats.inputRmsDb(), 10 * std::log10((0.0625 + 0.01) / 2), 1e-4);
    EXPECT_EQ(stats.bins().front().smallestGain, 1.0f);
    EXPECT_NEAR(stats.bins().back().smallestGain, 0.2511886f, 1e-6);
}

// About 2000 bins of whole frames, rounded up so a file never needs more than 2000.
TEST(RenderStatsTest, FramesPerBinRoundUpToAtMostTwoThousandBins) {
    const long long cases[][2] = {{0, 1}, {1, 1}, {2000, 1}, {2001, 2}, {4000, 2}, {4001, 3}};
    for (const auto& c : cases) {
        RenderStats stats(1.0, c[0]);
        EXPECT_EQ(stats.binFrames(), c[1]) << c[0] << " frames";
        std::vector<float> signal(static_cast<size_t>(c[0]), 0.5f);
        const float* channel[1] = {signal.data()};
        if (c[0] > 0) stats.add(channel, channel, 1, static_cast<int>(c[0]));
        EXPECT_LE(stats.bins().size(), 2000u) << c[0] << " frames";
    }
}

TEST(RenderStatsTest, SilenceAndMonoAreMeasuredSafely) {
    // Frames below -80 dBFS carry no ratio; a mono channel is measured alone.
    std::vector<float> in = {0.0f, 1e-6f, 0.5f, 0.5f}, out = {0.0f, 0.5f, 0.25f, 0.5f};
    RenderStats stats(1.0, 4);
    const float* i[1] = {in.data()};
    const float* o[1] = {out.data()};
    stats.add(i, o, 1, 4);
    EXPECT_NEAR(stats.largestReductionDb(), 20 * std::log10(2.0), 1e-9);
    EXPECT_NEAR(stats.averageReductionDb(), 20 * std::log10(2.0) / 2, 1e-9);
    EXPECT_EQ(stats.frames(), 4);

    RenderStats empty(1.0, 0);
    EXPECT_TRUE(std::isinf(empty.inputPeakDb()));
    EXPECT_EQ(empty.largestReductionDb(), 0.0);
    EXPECT_EQ(empty.averageReductionDb(), 0.0);
}

TEST(RenderStatsTest, StereoChunksMeasureAsFrameByFrame) {
    // Long chunks go four frames at a time, single frames one by one: both must measure alike, with
    // NaN, silent and tied inputs, unreduced and louder outputs, and runs that end inside a bin.
    const int frames = 4003;
    std::vector<float> inL(frames), inR(frames), outL(frames), outR(frames);
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f * 2.0f - 1.0f;
    };
    for (int i = 0; i < frames; ++i) {
        inL[i] = next();
        inR[i] = i % 5 == 0 ? -inL[i] : next();
        const float g = i % 3 == 0 ? 1.0f : 0.5f + 0.5f * std::fabs(next());
        outL[i] = inL[i] * g * 1.5f;
        outR[i] = inR[i] * g * (i % 7 == 0 ? 3.0f : 1.5f);
        if (i % 11 == 0) inL[i] = 0.0f;
        if (i % 13 == 0) inL[i] = inR[i] = 5e-5f;  // below -80 dBFS
        if (i % 17 == 0) inL[i] = std::nanf("");
        if (i % 19 == 0) outR[i] = 0.0f;
    }
    const float* in[2] = {inL.data(), inR.data()};
    const float* out[2] = {outL.data(), outR.data()};
    RenderStats whole(1.5, 3 * frames), single(1.5, 3 * frames);
    for (int pass = 0; pass < 3; ++pass) {
        whole.add(in, out, 2, 1001);  // chunks that start at frames that are not a multiple of four
        whole.add(in, out, 2, frames);
        for (int i = 0; i < 1001; ++i) {
            const float* i1[2] = {inL.data() + i, inR.data() + i};
            const float* o1[2] = {outL.data() + i, outR.data() + i};
            single.add(i1, o1, 2, 1);
        }
        for (int i = 0; i < frames; ++i) {
            const float* i1[2] = {inL.data() + i, inR.data() + i};
            const float* o1[2] = {outL.data() + i, outR.data() + i};
            single.add(i1, o1, 2, 1);
        }
    }
    EXPECT_EQ(whole.inputPeakDb(), single.inputPeakDb());
    EXPECT_EQ(whole.outputPeakDb(), single.outputPeakDb());
    EXPECT_EQ(whole.largestReductionDb(), single.largestReductionDb());
    EXPECT_NEAR(whole.averageReductionDb(), single.averageReductionDb(), 1e-9);
    EXPECT_NEAR(whole.outputRmsDb(), single.outputRmsDb(), 1e-9);
    EXPECT_GT(whole.averageReductionDb(), 0.5);
    ASSERT_EQ(whole.bins().size(), single.bins().size());
    for (size_t b = 0; b < whole.bins().size(); ++b) {
        EXPECT_EQ(whole.bins()[b].inputPeak, single.bins()[b].inputPeak) << "bin " << b;
        EXPECT_EQ(whole.bins()[b].outputPeak, single.bins()[b].outputPeak) << "bin " << b;
        EXPECT_EQ(whole.bins()[b].smallestGain, single.bins()[b].smallestGain) << "bin " << b;
    }
}

}  // namespace
