// Lv2ApplyMatchTest: lv2apply with port values in their units renders what vozuv-render renders through the
// VST 2 library with the matching 0..1 values: bit for bit where the unit value maps back to the same
// 0..1 value, within 1e-6 relative where it does not.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "base/WhiteNoise.h"
#include "effect/CompGateEffect.h"
#include "lv2/PortMap.h"

namespace {

constexpr int kRate = 44100;
constexpr int kFrames = kRate * 2;

std::string scratchDir() {
    static const std::string dir = [] {
        char name[] = "/tmp/vozuv-lv2apply-XXXXXX";
        const char* made = mkdtemp(name);
        return std::string(made ? made : "/tmp");
    }();
    return dir;
}

bool writeStereo(const std::string& path, const std::vector<float>& interleaved) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    const sf_count_t frames = static_cast<sf_count_t>(interleaved.size() / 2);
    const bool ok = sf_writef_float(file, interleaved.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

std::vector<float> readStereo(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file || info.channels != 2) {
        if (file) sf_close(file);
        return {};
    }
    std::vector<float> samples(static_cast<size_t>(info.frames) * 2);
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

const std::string& inputFile() {
    static const std::string path = [] {
        const std::vector<float> noise = whiteNoise(static_cast<size_t>(kFrames) * 2, 0.8f, 11);
        std::vector<float> signal(noise.size());
        // Bursts and pauses, so the detector attacks, holds and releases.
        for (size_t i = 0; i < noise.size(); ++i) signal[i] = noise[i] * (((i / 2) / 6000) % 2 ? 0.05f : 1.0f);
        const std::string file = scratchDir() + "/in.wav";
        return writeStereo(file, signal) ? file : std::string();
    }();
    return path;
}

struct PortSetting {
    uint32_t port;
    float unitValue;  // what lv2apply is given
    float parameter;  // what vozuv-render is given
};

// Renders through both and compares. exact: every sample equal; otherwise within 1e-6 of the larger.
void renderBoth(const std::string& name, const std::vector<PortSetting>& settings, int block, bool exact) {
#ifdef VOZUV_SANITIZED_TREE
    GTEST_SKIP() << "lv2apply cannot load a library built with a sanitizer";
#endif
    ASSERT_FALSE(inputFile().empty());
    const std::string lv2Out = scratchDir() + "/" + name + "-lv2.wav";
    const std::string vstOut = scratchDir() + "/" + name + "-vst.wav";
    std::string lv2Command = std::string("LV2_PATH=") + VOZUV_LV2_PATH + " lv2apply -i " + inputFile() + " -o " + lv2Out;
    std::string vstCommand = std::string(VOZUV_RENDER_EXE) + " --plugin " + VOZUV_NATIVE_PLUGIN + " --block " +
                             std::to_string(block);
    CompGateEffect names(nullptr);
    for (const PortSetting& s : settings) {
        char symbol[32] = {};
        names.getParameterName(static_cast<VstInt32>(s.port), symbol);
        lv2Command += std::string(" -c ") + symbol + " " + number(s.unitValue);
        vstCommand += std::string(" --set ") + symbol + "=" + number(s.parameter);
    }
    lv2Command += std::string(" ") + VOZUV_LV2_URI + " >/dev/null 2>&1";
    vstCommand += " " + inputFile() + " " + vstOut + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(lv2Command.c_str()), 0) << lv2Command;
    ASSERT_EQ(std::system(vstCommand.c_str()), 0) << vstCommand;
    const std::vector<float> lv2 = readStereo(lv2Out), vst = readStereo(vstOut);
    ASSERT_EQ(lv2.size(), static_cast<size_t>(kFrames) * 2);
    ASSERT_EQ(vst.size(), lv2.size());
    double reduced = 0.0;
    for (size_t i = 0; i < lv2.size(); ++i) {
        const double a = lv2[i], b = vst[i];
        if (exact) {
            ASSERT_EQ(lv2[i], vst[i]) << name << ": sample " << i;
        } else {
            ASSERT_LE(std::fabs(a - b), 1e-6 * std::fmax(std::fabs(a), std::fabs(b))) << name << ": sample " << i;
        }
        reduced += std::fabs(a);
    }
    EXPECT_GT(reduced, 0.0) << name << " rendered silence";
}

// A setting given in the port's unit: the VST 2 library gets the 0..1 value the DSP maps it onto.
PortSetting inUnits(uint32_t port, float unitValue) {
    return {port, unitValue, PortMap::toParameterValue(port, unitValue)};
}

TEST(Lv2ApplyMatchTest, Defaults) { renderBoth("defaults", {}, 512, true); }

TEST(Lv2ApplyMatchTest, HeavyCompressionInUnits) {
    renderBoth("heavy",
               {inUnits(kCompThreshold, -50.0f), inUnits(kCompRatio, 10.0f), inUnits(kCompAttack, 2.0f),
                inUnits(kCompRelease, 40.0f), inUnits(kCompMakeup, 8.0f), inUnits(kInputGain, 3.0f)},
               512, true);
}

TEST(Lv2ApplyMatchTest, BothDetectorFiltersAtOddBlockSizes) {
    const std::vector<PortSetting> filters = {inUnits(kLpShelf, 0.35f), inUnits(kHpShelf, 0.15f),
                                              inUnits(kCompThreshold, -35.0f), inUnits(kCompRatio, 6.0f)};
    renderBoth("filters-37", filters, 37, true);
    renderBoth("filters-1021", filters, 1021, true);
}

// Values chosen on the 0..1 scale, as a VST 2 host stores them, given to the LV2 edition in units: where the
// unit value does not map back to the very same float, the sound still agrees to 1e-6.
TEST(Lv2ApplyMatchTest, NormalizedValuesGivenInUnits) {
    const std::pair<uint32_t, float> chosen[] = {{kCompThreshold, 0.23f}, {kCompRatio, 0.29f}, {kCompAttack, 0.37f},
                                                 {kCompRelease, 0.13f},   {kCompMakeup, 0.61f}, {kInputGain, 0.47f},
                                                 {kLpShelf, 0.5f}};
    std::vector<PortSetting> settings;
    bool allExact = true;
    for (const auto& c : chosen) {
        const float unitValue = std::strtof(number(PortMap::toPortValue(c.first, c.second)).c_str(), nullptr);
        settings.push_back({c.first, unitValue, c.second});
        allExact = allExact && PortMap::toParameterValue(c.first, unitValue) == c.second;
    }
    renderBoth("normalized", settings, 256, allExact);
}

}  // namespace
