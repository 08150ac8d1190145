// ReadAheadTest: input read ahead while the plug-in starts comes out in whole chunks, in order, so the
// plug-in still gets every block at the size asked for.
#include "tests/render/RenderTestSupport.h"
#include "tools/render/AudioReader.h"

namespace {

TEST(ReadAheadTest, ChunksStayWholeAcrossTheEndOfTheReadAhead) {
    const std::string path = scratchDir() + "/in.wav";
    Audio input = makeSignal(44100, 2, 5.0);  // 220500 frames
    for (size_t i = 0; i < input.samples.size(); ++i) input.samples[i] += static_cast<float>(i % 7) * 1e-3f;
    writeAudio(path, input);
    // Part of the file read ahead, then the rest read as it goes; and the whole file read ahead.
    for (int steps : {2, 1000}) {
        AudioReader reader(path);
        int asked = 0;
        reader.readAhead([&] { return asked++ < steps; }, 1LL << 25);
        const long long chunk = 48000;  // not a divisor of the read-ahead's steps
        std::vector<float> scratch(static_cast<size_t>(2 * chunk)), taken;
        long long got = 0;
        std::vector<long long> sizes;
        do {
            const float* samples = reader.next(scratch.data(), chunk, got);
            taken.insert(taken.end(), samples, samples + 2 * got);
            sizes.push_back(got);
        } while (got > 0);
        EXPECT_EQ(sizes, (std::vector<long long>{chunk, chunk, chunk, chunk, 28500, 0})) << steps << " steps";
        EXPECT_EQ(taken, readAudio(path).samples) << steps << " steps";
    }
    AudioReader capped(path);
    capped.readAhead([] { return true; }, 1000);
    EXPECT_EQ(capped.readAheadFrames(), 1000);
}

}  // namespace
