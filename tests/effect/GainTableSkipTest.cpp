// The gain table is rebuilt only when its inputs changed: outputs stay bit-identical to rebuilding it for
// every block.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

// Runs the same blocks and parameter changes through an instance that skips and one that rebuilds for
// every block, and compares every output sample bit for bit.
void expectSameOutputs(const std::vector<std::function<void(const Instance&)>>& changes) {
    Instance skipping, rebuilding;
    int block = 0;
    for (const auto& change : changes) {
        for (const Instance* instance : {&skipping, &rebuilding}) change(*instance);
        for (int repeat = 0; repeat < 3; ++repeat, ++block) {
            const auto left = whiteNoise(256, 1.5f, block), right = whiteNoise(256, 0.7f, block + 1000);
            std::vector<float> skipL(256), skipR(256), fullL(256), fullR(256);
            skipping.process(left.data(), right.data(), skipL.data(), skipR.data(), 256);
            rebuilding.plugin().invalidateGainTable();
            rebuilding.process(left.data(), right.data(), fullL.data(), fullR.data(), 256);
            ASSERT_EQ(std::memcmp(skipL.data(), fullL.data(), 256 * sizeof(float)), 0) << "block " << block;
            ASSERT_EQ(std::memcmp(skipR.data(), fullR.data(), 256 * sizeof(float)), 0) << "block " << block;
        }
    }
    for (int i = 0; i < CompressorState::kTableSize; ++i) {
        ASSERT_EQ(bitsOf(skipping.plugin().getChainState().gainTable[i]),
                  bitsOf(rebuilding.plugin().getChainState().gainTable[i]))
            << i;
    }
}

// Settings of a moderate compressor whose gain-table inputs can be varied.
ChainSettings settings(double thresholdDb, double inverseRatio) {
    ChainSettings s{};
    s.inputGainLinear = 1.0;
    s.thresholdDb = thresholdDb;
    s.thresholdLinear = std::pow(10.0, thresholdDb * 0.05);
    s.inverseRatio = inverseRatio;
    s.attackCoefficient = 0.01;
    s.releaseCoefficient = 0.001;
    s.makeupLinear = 1.0;
    return s;
}

std::vector<float> runBlock(CompressorState& state, const ChainSettings& s, unsigned seed) {
    const auto in = whiteNoise(512, 1.0f, seed);
    std::vector<float> out0(512), out1(512);
    state.processBlock(s, in.data(), in.data(), out0.data(), out1.data(), 512);
    return out0;
}

}  // namespace

TEST(GainTableSkipTest, ParameterChangesBetweenBlocks) {
    expectSameOutputs({
        [](const Instance&) {},
        [](const Instance& i) { i.set(kCompThreshold, 0.2f); },
        [](const Instance& i) { i.set(kCompRatio, 0.33f); },
        [](const Instance& i) { i.set(kCompAttack, 0.0f); },            // not a table input
        [](const Instance& i) { i.set(kCompThreshold, 0.2f); },         // the same value again
        [](const Instance& i) { i.set(kCompThreshold, 0.7f); i.set(kCompThreshold, 0.2f); },
        [](const Instance& i) { i.dispatch(effSetProgram, 0, 3); },
        [](const Instance& i) { i.set(kCompThreshold, -0.5f); i.set(kCompRatio, -0.01f); },
        [](const Instance& i) { i.dispatch(effSetProgram, 0, 0); },
    });
}

// Derived values that change without a build (a set in progress on another thread) are still noticed.
TEST(GainTableSkipTest, ChangedInputsWithoutABuildAreNoticed) {
    CompressorState skipping, rebuilding;
    const ChainSettings a = settings(-30.0, 0.25), b = settings(-30.0, 0.5), c = settings(-12.0, 0.5);
    for (const ChainSettings* s : {&a, &a, &b, &c, &c, &a}) {
        rebuilding.invalidateGainTable();
        EXPECT_EQ(runBlock(skipping, *s, 7), runBlock(rebuilding, *s, 7));
    }
}
