// RenderStatsTest: the host-side measurement of levels and gain reduction behind the summary and plot.
#include <cmath>

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

}  // namespace
