// Lv2MatchesVstTest: the bundle loaded through lilv gives the VST 2 library's samples in the same process,
// over blocks of every size, in place or not, with ports changed between blocks; its meters are the
// effect's; its instances refuse rates nothing can run at.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "base/WhiteNoise.h"
#include "effect/CompGateEffect.h"
#include "lv2/PortMap.h"
#include "tests/lv2/LilvTestHost.h"
#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginLibrary.h"

namespace {

constexpr float kRate = 48000.0f;

struct PortChange {
    uint32_t port;
    float value;  // in the port's unit
};

struct Block {
    uint32_t frames;
    bool inPlace;
    std::vector<PortChange> changes;  // made before the block
};

// Loud bursts over a quiet bed, so the detector attacks and releases in every block size.
std::vector<float> testSignal(size_t frames, uint32_t seed) {
    std::vector<float> s = whiteNoise(frames, 0.9f, seed);
    for (size_t i = 0; i < frames; ++i) s[i] *= ((i / 2400) % 3 == 0) ? 1.0f : 0.03f;
    return s;
}

class Lv2MatchesVstTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(lv2.plugin(), nullptr) << "no " << VOZUV_LV2_URI << " in " << VOZUV_LV2_BUNDLE;
        ASSERT_TRUE(library.open(VOZUV_NATIVE_PLUGIN)) << library.error();
        ASSERT_TRUE(vst.instantiate(library.entry())) << vst.error();
        vst.setSampleRate(kRate);
        vst.setBlockSize(8192);
        vst.setMains(true);
        reference.setSampleRate(kRate);
        reference.resume();
        ASSERT_NE(lv2.instantiate(kRate), nullptr);
        // Ports start at the declared defaults, as a host fills them.
        std::vector<float> defaults(PortMap::kNumPorts);
        lilv_plugin_get_port_ranges_float(lv2.plugin(), nullptr, nullptr, defaults.data());
        for (uint32_t i = 0; i < PortMap::kFirstMeter; ++i) controls[i] = defaults[i];
        for (uint32_t i = 0; i < PortMap::kFirstMeter; ++i) lilv_instance_connect_port(lv2.instance(), i, &controls[i]);
        for (uint32_t i = 0; i < 3; ++i) lilv_instance_connect_port(lv2.instance(), PortMap::kFirstMeter + i, &meters[i]);
        lilv_instance_activate(lv2.instance());
    }

    // Runs the blocks through all three and compares every sample and the meters after every block.
    void runAndCompare(const std::vector<Block>& blocks) {
        size_t total = 0;
        for (const Block& b : blocks) total += b.frames;
        const std::vector<float> left = testSignal(total, 1), right = testSignal(total, 2);
        size_t at = 0;
        for (size_t k = 0; k < blocks.size(); ++k) {
            const Block& b = blocks[k];
            for (const PortChange& c : b.changes) {
                controls[c.port] = c.value;
                const float parameter = PortMap::toParameterValue(c.port, c.value);
                vst.setParameter(static_cast<VstInt32>(c.port), parameter);
                reference.setParameter(static_cast<VstInt32>(c.port), parameter);
            }
            const size_t n = b.frames;
            // Each buffer one longer than the block, its last sample a guard nobody may write.
            std::vector<float> inL(left.begin() + at, left.begin() + at + n), inR(right.begin() + at, right.begin() + at + n);
            inL.push_back(-7.0f);
            inR.push_back(-7.0f);
            std::vector<float> outL(n + 1, -7.0f), outR(n + 1, -7.0f);
            std::vector<float> lv2L = inL, lv2R = inR;
            float* lv2Out[2] = {b.inPlace ? lv2L.data() : outL.data(), b.inPlace ? lv2R.data() : outR.data()};
            lilv_instance_connect_port(lv2.instance(), PortMap::kAudioIn, lv2L.data());
            lilv_instance_connect_port(lv2.instance(), PortMap::kAudioIn + 1, lv2R.data());
            lilv_instance_connect_port(lv2.instance(), PortMap::kAudioOut, lv2Out[0]);
            lilv_instance_connect_port(lv2.instance(), PortMap::kAudioOut + 1, lv2Out[1]);
            lilv_instance_run(lv2.instance(), static_cast<uint32_t>(n));

            std::vector<float> vstL(n + 1, -7.0f), vstR(n + 1, -7.0f), refL(n + 1), refR(n + 1);
            float* vstIn[2] = {inL.data(), inR.data()};
            float* vstOut[2] = {vstL.data(), vstR.data()};
            vst.effect()->processReplacing(vst.effect(), vstIn, vstOut, static_cast<VstInt32>(n));
            float* refOut[2] = {refL.data(), refR.data()};
            reference.processReplacing(vstIn, refOut, static_cast<VstInt32>(n));

            const float* gotL = lv2Out[0];
            const float* gotR = lv2Out[1];
            for (size_t i = 0; i <= n; ++i) {
                if (std::memcmp(&gotL[i], &vstL[i], sizeof(float)) != 0 || std::memcmp(&gotR[i], &vstR[i], sizeof(float)) != 0) {
                    FAIL() << "block " << k << " (" << n << " frames" << (b.inPlace ? ", in place" : "") << "), frame "
                           << i << ": LV2 " << gotL[i] << " " << gotR[i] << ", VST 2 " << vstL[i] << " " << vstR[i];
                }
            }
            const BlockMeters& m = reference.lastMeters();
            EXPECT_EQ(meters[0], m.peak) << "block " << k;
            EXPECT_EQ(meters[1], m.peakAfterGain) << "block " << k;
            EXPECT_EQ(meters[2], m.gain) << "block " << k;
            at += n;
        }
    }

    LilvTestHost lv2{VOZUV_LV2_BUNDLE, VOZUV_LV2_URI};
    PluginLibrary library;
    PluginHost vst;
    CompGateEffect reference{nullptr};
    float controls[PortMap::kFirstMeter] = {};
    float meters[3] = {-1.0f, -1.0f, -1.0f};
};

TEST_F(Lv2MatchesVstTest, EveryBlockSizeInPlaceAndNotWithPortsChangedBetweenBlocks) {
    runAndCompare({
        {0, false, {}},
        {1, false, {}},
        {37, true, {{kCompThreshold, -42.0f}}},
        {512, false, {{kCompRatio, 8.0f}, {kInputGain, 6.0f}}},
        {8192, true, {{kCompAttack, 3.0f}, {kCompRelease, 80.0f}}},
        // A change before an empty block still reaches the next one.
        {0, true, {{kCompMakeup, 4.5f}}},
        {37, false, {}},
        {1, true, {{kLpShelf, 0.3f}}},
        {512, true, {{kHpShelf, 0.25f}, {kCompThreshold, -30.0f}}},
        {8192, false, {{kDelay, 0.2f}, {kVolume, 0.1f}}},
        // The filters switched off again at the ends of their travel, the gains back to their defaults.
        {37, false, {{kLpShelf, 1.0f}, {kHpShelf, 0.0f}, {kInputGain, 0.0f}, {kCompMakeup, 0.0f}}},
        {8192, true, {}},
    });
}

TEST_F(Lv2MatchesVstTest, AutomationEveryBlockOfOddSizes) {
    std::vector<Block> blocks;
    for (int k = 0; k < 60; ++k) {
        blocks.push_back({static_cast<uint32_t>(1 + (k * 97) % 301), k % 2 == 0,
                          {{kCompThreshold, -60.0f + static_cast<float>(k)}, {kCompMakeup, static_cast<float>(k % 11) - 5.0f}}});
    }
    runAndCompare(blocks);
}

TEST(Lv2InstanceTest, RefusesRatesNothingCanRunAt) {
    LilvTestHost lv2(VOZUV_LV2_BUNDLE, VOZUV_LV2_URI);
    ASSERT_NE(lv2.plugin(), nullptr);
    for (double rate : {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300}) {
        EXPECT_EQ(lv2.instantiate(rate), nullptr) << rate;
    }
    EXPECT_NE(lv2.instantiate(44100.0), nullptr);
}

// The description's names, defaults and ranges are the effect's, through the same mapping the DSP uses.
TEST(Lv2DescriptionTest, PortsReadLikeTheEffect) {
    LilvTestHost lv2(VOZUV_LV2_BUNDLE, VOZUV_LV2_URI);
    ASSERT_NE(lv2.plugin(), nullptr);
    ASSERT_EQ(lilv_plugin_get_num_ports(lv2.plugin()), PortMap::kNumPorts);
    std::vector<float> low(PortMap::kNumPorts), high(PortMap::kNumPorts), start(PortMap::kNumPorts);
    lilv_plugin_get_port_ranges_float(lv2.plugin(), low.data(), high.data(), start.data());
    CompGateEffect fresh(nullptr);
    for (uint32_t i = 0; i < PortMap::kFirstMeter; ++i) {
        char name[32] = {};
        fresh.getParameterName(static_cast<VstInt32>(i), name);
        EXPECT_EQ(lv2.portIndex(name), static_cast<int>(i)) << name;
        // Exactly the port value the DSP starts from, so a host sending it sets nothing.
        EXPECT_EQ(start[i], PortMap::toPortValue(i, fresh.getParameter(static_cast<VstInt32>(i)))) << name;
    }
    struct Range {
        uint32_t port;
        float low, high;
    };
    for (const Range& r : {Range{kInputGain, -20, 20}, Range{kCompThreshold, -60, 0}, Range{kCompRatio, 1, 10.57f},
                           Range{kCompAttack, 1.5f, 150}, Range{kCompRelease, 15, 312}, Range{kCompMakeup, -20, 10},
                           Range{kLpShelf, 0, 1}, Range{kHpShelf, 0, 1}, Range{kVolume, 0, 1}}) {
        EXPECT_NEAR(low[r.port], r.low, 1e-4) << r.port;
        EXPECT_NEAR(high[r.port], r.high, 1e-4) << r.port;
    }
}

}  // namespace
