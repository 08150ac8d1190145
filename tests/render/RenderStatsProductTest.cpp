// RenderStatsProductTest: the average gain reduction of long, deeply reduced renders, whose per-frame
// gains multiply far below the smallest double.
#include <cmath>

#include "tests/render/RenderTestSupport.h"
#include "tools/render/RenderStats.h"

namespace {

TEST(RenderStatsProductTest, HoursOfDeepReductionAverageExactly) {
    // 60 dB less on every frame of a million, in chunks as the renderer hands them over; a few frames
    // at the 1e-12 floor of the measurement on top. The plain product would reach 10^-3000000.
    const int chunk = 16384, chunks = 64;
    std::vector<float> inL(chunk, 0.5f), inR(chunk, -0.25f), outL(chunk), outR(chunk);
    for (int i = 0; i < chunk; ++i) {
        outL[i] = inL[i] * 0.001f;
        outR[i] = inR[i] * 0.001f;
    }
    RenderStats stats(1.0, static_cast<long long>(chunk) * chunks);
    const float* in[2] = {inL.data(), inR.data()};
    const float* out[2] = {outL.data(), outR.data()};
    for (int k = 0; k < chunks; ++k) stats.add(in, out, 2, chunk);
    const double perFrame = -20.0 * std::log10(static_cast<double>(0.5f * 0.001f) / 0.5);
    EXPECT_NEAR(stats.averageReductionDb(), perFrame, 1e-6);
    EXPECT_NEAR(stats.largestReductionDb(), perFrame, 1e-6);

    std::vector<float> silenced(chunk, 0.0f);
    const float* none[2] = {silenced.data(), silenced.data()};
    stats.add(in, none, 2, 100);  // gain 0: counted as the 1e-12 floor, 240 dB
    const double frames = static_cast<double>(chunk) * chunks + 100;
    EXPECT_NEAR(stats.averageReductionDb(), (perFrame * (frames - 100) + 240.0 * 100) / frames, 1e-6);
    EXPECT_TRUE(std::isfinite(stats.averageReductionDb()));
}

}  // namespace
