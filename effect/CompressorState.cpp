// CompressorState: gain-table builds and the per-sample detector, envelope and gain loop.
#include "effect/CompressorState.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

uint32_t floatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

uint64_t doubleBits(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

// Magnitudes through the builtins: MinGW's 32-bit fabs goes through the x87 stack and memory.
inline double magnitude(double value) { return __builtin_fabs(value); }
inline float magnitude(float value) { return __builtin_fabsf(value); }

float floatFromBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// A detector section held in registers for the length of a block.
struct SectionLocals {
    double w, w1, w2, out;
};

// The detector state of one block, copied in once and written back once.
struct DetectorLocals {
    float peakEnvelope;
    float level;
    int32_t holdCounter;
    SectionLocals highPass[2];
    SectionLocals lowPass[2];
};

SectionLocals load(const FilterSection& s) { return {s.w, s.w1, s.w2, s.out}; }
void store(FilterSection& s, const SectionLocals& l) { s = {l.w, l.w1, l.w2, l.out}; }

// Second-order high-pass section; the coefficients arrive widened from single precision.
inline double highPassStep(SectionLocals& s, double x, double b, double c1, double c2) {
    s.w = x * b + c1 * s.w1 - c2 * s.w2;
    s.out = s.w - 2.0 * s.w1 + s.w2;
    s.w2 = s.w1;
    s.w1 = s.w;
    return s.out;
}

// Second-order low-pass section.
inline double lowPassStep(SectionLocals& s, double x, double c0, double c1, double c2) {
    s.w = c0 * x + c1 * s.w1 - c2 * s.w2;
    s.out = s.w + 2.0 * s.w1 + s.w2;
    s.w2 = s.w1;
    s.w1 = s.w;
    return s.out;
}

// State that has become non-finite starts again from zero; a section is reset as a whole.
void guardSection(FilterSection& s) {
    if (!std::isfinite(s.w) || !std::isfinite(s.w1) || !std::isfinite(s.w2) || !std::isfinite(s.out)) {
        s = {0.0, 0.0, 0.0, 0.0};
        return;
    }
    // A decayed section would otherwise run on subnormal doubles, which cost a microcode assist each.
    if (magnitude(s.w1) < DBL_MIN) s.w1 = 0.0;
    if (magnitude(s.w2) < DBL_MIN) s.w2 = 0.0;
}

float guardEnvelope(float value) {
    // Subnormal floats: in silence the one-pole decays stall there for ever and every sample pays
    // for the subnormal conversions. Below any reachable threshold, so the gain is unaffected.
    if (!std::isfinite(value) || magnitude(value) < FLT_MIN) return 0.0f;
    return value;
}

// The frame loop, specialised for the two detector sections being on or off.
template <bool kHighPass, bool kLowPass>
BlockMeters runFrames(DetectorLocals& d, const ChainSettings& s, const RelaxedAtomic<float>* gainTable,
                      int32_t holdSamples, double peakReleaseCoefficient, const float* in0, const float* in1,
                      float* out0, float* out1, int32_t frames) {
    const double inputGain = s.inputGainLinear;
    const double hpB = s.hpB, hpC1 = s.hpC1, hpC2 = s.hpC2;
    const double lpC0 = s.lpC0, lpC1 = s.lpC1, lpC2 = s.lpC2;
    const double thresholdLinear = s.thresholdLinear;
    const double attack = s.attackCoefficient, release = s.releaseCoefficient;
    const double makeup = s.makeupLinear;
    constexpr uint32_t kLastIndex = CompressorState::kTableSize - 1;
    constexpr uint32_t kFractionMask = (1u << CompressorState::kStepShift) - 1u;
    constexpr float kStep = 1.0f / static_cast<float>(1u << CompressorState::kStepShift);

    // Everything the loop carries lives in locals, so stores to the outputs cannot force reloads.
    float envelope = d.peakEnvelope;
    float level = d.level;
    int32_t hold = d.holdCounter;
    SectionLocals hpLeft = d.highPass[0], hpRight = d.highPass[1];
    SectionLocals lpLeft = d.lowPass[0], lpRight = d.lowPass[1];
    // The meters show the block's extremes: a ternary on floating-point values compiles to max/min.
    float peakMax = 0.0f;
    double peakAfterGainMax = 0.0;
    double gainMin = 1.0;

    for (int32_t i = 0; i < frames; ++i) {
        const float xL = static_cast<float>(static_cast<double>(in0[i]) * inputGain);
        const float xR = static_cast<float>(static_cast<double>(in1[i]) * inputGain);

        // The filters shape only what the detector hears.
        double dL = xL, dR = xR;
        if (kHighPass) {
            dL = highPassStep(hpLeft, dL, hpB, hpC1, hpC2);
            dR = highPassStep(hpRight, dR, hpB, hpC1, hpC2);
        }
        if (kLowPass) {
            dL = lowPassStep(lpLeft, dL, lpC0, lpC1, lpC2);
            dR = lowPassStep(lpRight, dR, lpC0, lpC1, lpC2);
        }
        const double absL = magnitude(dL), absR = magnitude(dR);
        const float peak = static_cast<float>(absL > absR ? absL : absR);

        // Peak hold, then a one-pole fall of the hold's own length.
        if (peak > envelope) {
            envelope = peak;
            hold = holdSamples;
        } else if (hold > 0) {
            --hold;
        } else {
            envelope = static_cast<float>(envelope - (static_cast<double>(envelope) - peak) * peakReleaseCoefficient);
        }

        // Attack and release act on the detector level, kept in single precision.
        if (envelope > level) {
            level = static_cast<float>(level + (static_cast<double>(envelope) - level) * attack);
        } else {
            level = static_cast<float>(level - (static_cast<double>(level) - envelope) * release);
        }

        // Table lookup on the float's bit pattern: exponent and top mantissa bits give the step, the
        // remaining 17 bits the position inside it.
        double gain;
        if (!(level > thresholdLinear)) {
            gain = 1.0;
        } else {
            const uint32_t bits = floatBits(level);
            if (bits < CompressorState::kFirstLevelBits) {
                gain = gainTable[0].load();
            } else {
                const uint32_t k = (bits - CompressorState::kFirstLevelBits) >> CompressorState::kStepShift;
                if (k < kLastIndex) {
                    const uint32_t f = bits & kFractionMask;
                    const float upper = static_cast<float>(f) * kStep;  // exact: at most 17 bits
                    const float lower = static_cast<float>((kFractionMask + 1u) - f) * kStep;
                    gain = static_cast<double>(gainTable[k].load()) * lower +
                           static_cast<double>(gainTable[k + 1].load()) * upper;
                } else {
                    gain = gainTable[kLastIndex].load();
                }
            }
        }

        const double outputGain = gain * makeup;
        out0[i] = static_cast<float>(xL * outputGain);
        if (out1) out1[i] = static_cast<float>(xR * outputGain);

        const double peakAfterGain = peak * outputGain;
        peakMax = peak > peakMax ? peak : peakMax;
        peakAfterGainMax = peakAfterGain > peakAfterGainMax ? peakAfterGain : peakAfterGainMax;
        gainMin = gain < gainMin ? gain : gainMin;
    }

    d.peakEnvelope = envelope;
    d.level = level;
    d.holdCounter = hold;
    d.highPass[0] = hpLeft;
    d.highPass[1] = hpRight;
    d.lowPass[0] = lpLeft;
    d.lowPass[1] = lpRight;
    // Rounding to single precision keeps the order, so the extremes are rounded once, here.
    return {peakMax, static_cast<float>(peakAfterGainMax), static_cast<float>(gainMin)};
}

}  // namespace

CompressorState::CompressorState()
    : peakEnvelope(0.0f),
      detectorLevel(0.0f),
      peakReleaseCoefficient(0.0),
      holdSamples(0),
      holdCounter(0),
      tableWrites(0),
      tableWritesSeen(0),
      builtFrom{0, 0, 0},
      builtByBlock(false) {
    // Entry i has the bit pattern 2^-16 + i steps: 64 evenly spaced levels per octave.
    for (int i = 0; i < kTableSize; ++i) {
        levelTable[i] = floatFromBits(kFirstLevelBits + (static_cast<uint32_t>(i) << kStepShift));
        gainTable[i] = 1.0f;
    }
    resetDetector();
}

void CompressorState::setPeakHold(float sampleRate) {
    const double holdLength = 0.02 * sampleRate;
    // Held inside what a counter and a one-pole fall can do, whatever rate a host claims.
    holdSamples = holdLength < 2147483647.0 ? static_cast<int32_t>(holdLength) : INT32_MAX;
    peakReleaseCoefficient = holdLength > 1.0 ? 1.0 / holdLength : 1.0;
    // A hold begun at a higher rate ends no later than a new one would.
    if (holdCounter > holdSamples) holdCounter = holdSamples;
}

void CompressorState::resetDetector() {
    peakEnvelope = 0.0f;
    detectorLevel = 0.0f;
    holdCounter = 0;
    for (int c = 0; c < 2; ++c) {
        highPass[c] = {0.0, 0.0, 0.0, 0.0};
        lowPass[c] = {0.0, 0.0, 0.0, 0.0};
    }
}

void CompressorState::writeGainTable(double thresholdLinear, double thresholdDb, double inverseRatio) {
    // Hard knee: unity up to the threshold, above it the level's excess over the threshold divided by the
    // ratio.
    for (int i = 0; i < kTableSize; ++i) {
        const double x = levelTable[i];
        float gain = 1.0f;
        if (x > thresholdLinear) {
            const double levelDb = 20.0 * std::log10(x);
            const double outputDb = thresholdDb + (levelDb - thresholdDb) * inverseRatio;
            gain = static_cast<float>(std::pow(10.0, (outputDb - levelDb) * 0.05));
        }
        gainTable[i] = gain;
    }
}

void CompressorState::buildGainTable(double thresholdLinear, double thresholdDb, double inverseRatio) {
    writeGainTable(thresholdLinear, thresholdDb, inverseRatio);
    tableWrites.fetch_add(1, std::memory_order_release);
}

void CompressorState::invalidateGainTable() { tableWrites.fetch_add(1, std::memory_order_release); }

void CompressorState::prepareGainTable(const ChainSettings& s) {
    // A build elsewhere bumps tableWrites only after its last entry, so any write that may have reached
    // the table since the audio thread's own build shows up as a changed count at a later block start.
    const uint32_t writes = tableWrites.load(std::memory_order_acquire);
    const uint64_t from[3] = {doubleBits(s.thresholdLinear), doubleBits(s.thresholdDb), doubleBits(s.inverseRatio)};
    if (builtByBlock && writes == tableWritesSeen && from[0] == builtFrom[0] && from[1] == builtFrom[1] &&
        from[2] == builtFrom[2]) {
        return;
    }
    writeGainTable(s.thresholdLinear, s.thresholdDb, s.inverseRatio);
    tableWritesSeen = writes;
    builtFrom[0] = from[0];
    builtFrom[1] = from[1];
    builtFrom[2] = from[2];
    builtByBlock = true;
}

void CompressorState::guardState() {
    peakEnvelope = guardEnvelope(peakEnvelope);
    detectorLevel = guardEnvelope(detectorLevel);
    for (int c = 0; c < 2; ++c) {
        guardSection(highPass[c]);
        guardSection(lowPass[c]);
    }
}

BlockMeters CompressorState::processBlock(const ChainSettings& settings, const float* in0, const float* in1,
                                          float* out0, float* out1, int32_t frames) {
    prepareGainTable(settings);

    DetectorLocals d;
    d.peakEnvelope = peakEnvelope;
    d.level = detectorLevel;
    d.holdCounter = holdCounter;
    for (int c = 0; c < 2; ++c) {
        d.highPass[c] = load(highPass[c]);
        d.lowPass[c] = load(lowPass[c]);
    }

    auto* const run = settings.hpActive ? (settings.lpActive ? runFrames<true, true> : runFrames<true, false>)
                                        : (settings.lpActive ? runFrames<false, true> : runFrames<false, false>);
    const BlockMeters meters =
        run(d, settings, gainTable, holdSamples, peakReleaseCoefficient, in0, in1, out0, out1, frames);

    peakEnvelope = d.peakEnvelope;
    detectorLevel = d.level;
    holdCounter = d.holdCounter;
    for (int c = 0; c < 2; ++c) {
        store(highPass[c], d.highPass[c]);
        store(lowPass[c], d.lowPass[c]);
    }
    guardState();
    return meters;
}
