// The effect against an independent scalar model: every output sample, meter value, stored parameter and
// derived value bit for bit, over random signals, parameter sets, program switches and rate changes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/effect/EffectTestSupport.h"
#include "tests/effect/ReferenceCompressor.h"

using namespace effecttest;

namespace {

class Random {
public:
    explicit Random(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return uint32_t(state >> 33);
    }
    double uniform(double lo, double hi) { return lo + (hi - lo) * (next() / 2147483648.0); }
    int below(int n) { return int(next() % uint32_t(n)); }

private:
    uint64_t state;
};

// A block of one of several signal shapes, at a random level.
void makeSignal(Random& r, std::vector<float>& left, std::vector<float>& right, size_t& phase, bool quiet) {
    const int shape = r.below(8);
    const double level = quiet ? std::pow(10.0, r.uniform(-8.0, -3.0)) : std::pow(10.0, r.uniform(-5.0, 1.0));
    const double freq = r.uniform(20.0, 20000.0) / 44100.0;
    for (size_t i = 0; i < left.size(); ++i, ++phase) {
        double l = 0.0, rr = 0.0;
        switch (shape) {
            case 0: l = r.uniform(-level, level); rr = r.uniform(-level, level); break;
            case 1: l = level * std::sin(2.0 * M_PI * freq * phase); rr = 0.5 * l; break;
            case 2: l = level; rr = -level * 0.25; break;
            case 3: break;  // silence
            case 4: l = (phase % 997 == 0) ? level : 0.0; rr = (phase % 1499 == 7) ? -level : 0.0; break;
            case 5: l = level * double(i) / double(left.size()); rr = level - l; break;
            case 6: l = (phase & 1) ? level : -level; rr = r.uniform(-level, level) * 0.01; break;
            default: l = level * std::sin(2.0 * M_PI * freq * phase) * std::exp(-double(i) / 300.0); rr = -l; break;
        }
        left[i] = float(l);
        right[i] = float(rr);
    }
}

// A parameter value that exercises limits, switches, values outside 0 to 1 and the ends of the filter range.
float randomValue(Random& r, VstInt32 index, bool quiet) {
    static const float special[] = {0.0f, 1.0f, 0.5f, 0.33f, 0.2f, 0.75f, 0.1f, 0.9f};
    if (quiet && index == kCompThreshold) return float(r.uniform(-1.0, 0.0));
    switch (r.below(5)) {
        case 0: return special[r.below(8)];
        case 4: return float(std::pow(10.0, r.uniform(-5.0, -1.0)));  // filter corners far down
        case 1:
            if (index == kCompRatio) return float(r.uniform(-0.5, 1.5));
            if (index == kCompThreshold) return float(r.uniform(-1.0, 1.5));  // down to -120 dB
            return float(r.uniform(-0.5, 1.5));
        default: break;
    }
    return float(r.uniform(0.0, 1.0));
}

VstInt32 randomIndex(Random& r) {
    // The indices the chain reads, more often than the stored-only ones.
    static const VstInt32 often[] = {kInputGain, kLpShelf, kHpShelf, kCompThreshold, kCompRatio,
                                     kCompAttack, kCompRelease, kCompMakeup};
    return r.below(3) ? often[r.below(8)] : r.below(14);
}

uint64_t doubleBits(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

void expectSameDerivedValues(const CompGatePlugin& p, const ReferenceCompressor& ref) {
    const ChainSettings s = p.chainSettings();
    EXPECT_EQ(doubleBits(s.inputGainLinear), doubleBits(ref.inputGainLinear));
    EXPECT_EQ(doubleBits(p.getInputGainDb()), doubleBits(ref.inputGainDb));
    EXPECT_EQ(doubleBits(s.thresholdDb), doubleBits(ref.thresholdDb));
    EXPECT_EQ(doubleBits(s.thresholdLinear), doubleBits(ref.thresholdLinear));
    EXPECT_EQ(doubleBits(s.inverseRatio), doubleBits(ref.inverseRatio));
    EXPECT_EQ(doubleBits(s.attackCoefficient), doubleBits(ref.attackCoefficient));
    EXPECT_EQ(doubleBits(s.releaseCoefficient), doubleBits(ref.releaseCoefficient));
    EXPECT_EQ(doubleBits(s.makeupLinear), doubleBits(ref.makeupLinear));
    EXPECT_EQ(doubleBits(s.lpC0), doubleBits(ref.lpC0));
    EXPECT_EQ(doubleBits(s.lpC1), doubleBits(ref.lpC1));
    EXPECT_EQ(doubleBits(s.lpC2), doubleBits(ref.lpC2));
    EXPECT_EQ(doubleBits(s.hpB), doubleBits(ref.hpB));
    EXPECT_EQ(doubleBits(s.hpC1), doubleBits(ref.hpC1));
    EXPECT_EQ(doubleBits(s.hpC2), doubleBits(ref.hpC2));
    EXPECT_EQ(s.lpActive, ref.lpActive);
    EXPECT_EQ(s.hpActive, ref.hpActive);
}

// Runs one random session through the plug-in's record and the model side by side. Quiet sessions keep
// the signal between -160 and -60 dB and the threshold low, where levels fall below the table.
void runSession(unsigned seed, int steps, bool quiet) {
    Random r(seed);
    Instance instance;
    RecordingEditor* editor = attachRecordingEditor(instance.plugin());
    ReferenceCompressor ref;
    size_t phase = 0;
    std::vector<float> left, right, outL, outR, refL, refR;
    if (quiet) {
        instance.set(kCompThreshold, -0.8f);
        ref.set(kCompThreshold, -0.8f);
    }

    for (int step = 0; step < steps; ++step) {
        // Host requests between blocks.
        for (int events = r.below(4); events > 0; --events) {
            const int kind = r.below(20);
            if (kind < 15) {
                const VstInt32 index = randomIndex(r);
                const float value = randomValue(r, index, quiet);
                instance.set(index, value);
                ref.set(index, value);
            } else if (kind < 17) {
                const int program = r.below(18) - 1;  // -1 and 16 change nothing
                instance.dispatch(effSetProgram, 0, program);
                ref.setProgram(program);
                if (quiet) {
                    const float threshold = randomValue(r, kCompThreshold, quiet);
                    instance.set(kCompThreshold, threshold);
                    ref.set(kCompThreshold, threshold);
                }
            } else {
                static const float rates[] = {8000.0f, 22050.0f, 44100.0f,  48000.0f, 88200.0f,
                                              96000.0f, 192000.0f, 0.0f, -44100.0f};
                const float rate = rates[r.below(9)];
                if (kind == 17) {
                    instance.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
                } else {
                    instance.dispatch(effSetBlockSizeAndSampleRate, 0, 1 + r.below(8192), nullptr, rate);
                }
                ref.setSampleRate(rate);
                if (kind == 19) {
                    // Suspend or resume: the detector keeps its state, a resume ends any gain ramp.
                    const int on = r.below(2);
                    instance.dispatch(effMainsChanged, 0, on);
                    if (on) ref.resume();
                }
            }
        }
        ASSERT_EQ(instance.plugin().getSampleRate(), ref.fs);
        ASSERT_EQ(instance.dispatch(effGetProgram), ref.current);
        for (VstInt32 i = 0; i < 14; ++i) {
            ASSERT_EQ(effecttest::bitsOf(instance.get(i)), effecttest::bitsOf(ref.get(i))) << "parameter " << i;
        }
        expectSameDerivedValues(instance.plugin(), ref);
        if (::testing::Test::HasFailure()) FAIL() << "seed " << seed << " step " << step;

        // One block of 1 to 4096 frames, short ones often.
        const int frames = r.below(3) ? 1 + r.below(int(std::pow(2.0, 1 + r.below(12)))) : 1 + r.below(4096);
        left.resize(frames);
        right.resize(frames);
        makeSignal(r, left, right, phase, quiet);
        const bool rightOutput = r.below(10) != 0;
        outL.assign(frames, 5.0f);
        outR.assign(frames, 5.0f);
        refL.assign(frames, 5.0f);
        refR.assign(frames, 5.0f);
        editor->received.clear();
        instance.process(left.data(), right.data(), outL.data(), rightOutput ? outR.data() : nullptr, frames);
        float meters[3];
        ref.process(left.data(), right.data(), refL.data(), rightOutput ? refR.data() : nullptr, frames, meters);

        for (int i = 0; i < frames; ++i) {
            ASSERT_EQ(effecttest::bitsOf(outL[i]), effecttest::bitsOf(refL[i]))
                << "seed " << seed << " step " << step << " frame " << i << ": " << outL[i] << " vs " << refL[i];
            ASSERT_EQ(effecttest::bitsOf(outR[i]), effecttest::bitsOf(refR[i]))
                << "seed " << seed << " step " << step << " frame " << i;
        }
        ASSERT_EQ(editor->received.size(), 3u);
        for (int m = 0; m < 3; ++m) {
            ASSERT_EQ(editor->received[m].first, kMeterInput + m);
            ASSERT_EQ(effecttest::bitsOf(editor->received[m].second), effecttest::bitsOf(meters[m]))
                << "seed " << seed << " step " << step << " meter " << m;
        }
        const CompressorState& state = instance.plugin().getChainState();
        ASSERT_EQ(effecttest::bitsOf(state.detectorLevel), effecttest::bitsOf(ref.detectorLevel));
        ASSERT_EQ(effecttest::bitsOf(state.peakEnvelope), effecttest::bitsOf(ref.peakEnvelope));
        ASSERT_EQ(state.holdCounter, ref.holdCounter);
    }
    // The table the last block ran with.
    for (int i = 0; i < CompressorState::kTableSize; ++i) {
        ASSERT_EQ(effecttest::bitsOf(instance.plugin().getChainState().gainTable[i]),
                  effecttest::bitsOf(ref.gainTable[i]))
            << i;
    }
}

}  // namespace

TEST(ReferenceChainTest, FreshInstanceMatchesTheModel) {
    Instance instance;
    ReferenceCompressor ref;
    expectSameDerivedValues(instance.plugin(), ref);
    for (int i = 0; i < CompressorState::kTableSize; ++i) {
        ASSERT_EQ(effecttest::bitsOf(instance.plugin().getChainState().levelTable[i]),
                  effecttest::bitsOf(ref.levelTable[i]))
            << i;
    }
    EXPECT_EQ(instance.plugin().getChainState().holdSamples, ref.holdSamples);
    EXPECT_EQ(doubleBits(instance.plugin().getChainState().peakReleaseCoefficient), doubleBits(ref.peakReleaseCoefficient));
}

class ReferenceSessionTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(ReferenceSessionTest, EverySampleAndMeterMatches) { runSession(GetParam(), 400, false); }
TEST_P(ReferenceSessionTest, QuietSessionsMatchToo) { runSession(GetParam() + 100, 400, true); }

INSTANTIATE_TEST_SUITE_P(Seeds, ReferenceSessionTest, ::testing::Range(1u, 9u));
