// RenderFormatTest: each --format writes WAV samples of the width it names, holding the render.
#include <sndfile.h>

#include "tests/render/RenderTestSupport.h"

namespace {

TEST(RenderFormatTest, WavOutputHasTheSampleWidthAskedFor) {
    SKIP_WITHOUT_NATIVE();
    const Audio input = makeSignal(44100, 2, 0.5);
    const std::string dir = scratchDir();
    writeAudio(dir + "/in.wav", input);
    const Audio reference = processInProcess(input, 512, 0, {});
    struct Case {
        const char* format;
        int subtype;
        const char* described;
        double tolerance;  // half a step of the width, and float rounding
    };
    const Case cases[] = {{"float", SF_FORMAT_FLOAT, "WAV 32-bit float", 1e-7},
                          {"pcm16", SF_FORMAT_PCM_16, "WAV 16-bit", 1.0 / (1 << 15)},
                          {"pcm24", SF_FORMAT_PCM_24, "WAV 24-bit", 1.0 / (1 << 23)},
                          {"pcm32", SF_FORMAT_PCM_32, "WAV 32-bit integer", 1e-7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        const std::string name = std::string(c.format) + ".wav";
        const CommandResult r = runRender({"--plugin", nativePlugin(), "--format", c.format, "in.wav", name}, dir);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(name + " (" + c.described + ")"), std::string::npos) << r.out;
        SF_INFO info{};
        SNDFILE* f = sf_open((dir + "/" + name).c_str(), SFM_READ, &info);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(info.format, SF_FORMAT_WAV | c.subtype);
        sf_close(f);
        EXPECT_LE(largestDifference(readAudio(dir + "/" + name), reference), c.tolerance);
    }
}

}  // namespace
