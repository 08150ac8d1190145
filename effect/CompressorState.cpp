// CompressorState: gain-table builds and the per-sample detector, envelope and gain loop.
#include "effect/CompressorState.h"

#include <cfloat>
#include <cmath>
#include <cstring>

#include <emmintrin.h>

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

// Both channels of a detector section side by side, one channel per lane: packed operations round each
// lane exactly as the scalar ones would.
struct SectionPair {
    __m128d w1, w2, out;
};

SectionPair loadPair(const FilterSection* s) {
    return {_mm_set_pd(s[1].w1, s[0].w1), _mm_set_pd(s[1].w2, s[0].w2), _mm_set_pd(s[1].out, s[0].out)};
}

void storePair(FilterSection* s, const SectionPair& p) {
    // After a step the newest internal value is also the previous one.
    _mm_storel_pd(&s[0].w1, p.w1);
    _mm_storeh_pd(&s[1].w1, p.w1);
    s[0].w = s[0].w1;
    s[1].w = s[1].w1;
    _mm_storel_pd(&s[0].w2, p.w2);
    _mm_storeh_pd(&s[1].w2, p.w2);
    _mm_storel_pd(&s[0].out, p.out);
    _mm_storeh_pd(&s[1].out, p.out);
}

// Two neighbouring widened gain-table entries in one register.
inline __m128d loadEntryPair(const double* entries) { return _mm_loadu_pd(entries); }

// Clears the sign of two floats; in memory, so the 32-bit build need not keep it in a register.
alignas(16) constexpr uint32_t kMagnitudeMask[4] = {0x7fffffffu, 0x7fffffffu, 0u, 0u};

// Second-order high-pass section; the coefficients arrive widened from single precision.
inline __m128d highPassStep(SectionPair& s, __m128d x, __m128d b, __m128d c1, __m128d c2) {
    const __m128d w = _mm_sub_pd(_mm_add_pd(_mm_mul_pd(x, b), _mm_mul_pd(c1, s.w1)), _mm_mul_pd(c2, s.w2));
    s.out = _mm_add_pd(_mm_sub_pd(w, _mm_add_pd(s.w1, s.w1)), s.w2);  // w1 + w1 is 2 * w1 exactly
    s.w2 = s.w1;
    s.w1 = w;
    return s.out;
}

// Second-order low-pass section.
inline __m128d lowPassStep(SectionPair& s, __m128d x, __m128d c0, __m128d c1, __m128d c2) {
    const __m128d w = _mm_sub_pd(_mm_add_pd(_mm_mul_pd(c0, x), _mm_mul_pd(c1, s.w1)), _mm_mul_pd(c2, s.w2));
    s.out = _mm_add_pd(_mm_add_pd(w, _mm_add_pd(s.w1, s.w1)), s.w2);
    s.w2 = s.w1;
    s.w1 = w;
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

// The stages of one frame, in the order the frame loop runs them. Inlined into it: each is a few
// instructions on values the loop keeps in registers.
#define FRAME_STAGE __attribute__((always_inline)) inline

// {left, right} through the input gain, rounded to single precision as the outputs start from.
FRAME_STAGE __m128 gainedInput(const float* in0, const float* in1, int32_t i, double inputGain) {
    const __m128 in = _mm_unpacklo_ps(_mm_load_ss(in0 + i), _mm_load_ss(in1 + i));
    return _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(in), _mm_set1_pd(inputGain)));
}

// What the detector hears: the filters shape only it. The larger magnitude, as a > b ? a : b picks it.
template <bool kHighPass, bool kLowPass>
FRAME_STAGE float detectorPeak(__m128 x, __m128d xWide, SectionPair& hp, SectionPair& lp,
                               const ChainSettings& s) {
    if (kHighPass || kLowPass) {
        __m128d d = xWide;
        if (kHighPass) d = highPassStep(hp, d, _mm_set1_pd(s.hpB), _mm_set1_pd(s.hpC1), _mm_set1_pd(s.hpC2));
        if (kLowPass) d = lowPassStep(lp, d, _mm_set1_pd(s.lpC0), _mm_set1_pd(s.lpC1), _mm_set1_pd(s.lpC2));
        const __m128d a = _mm_andnot_pd(_mm_set1_pd(-0.0), d);
        return _mm_cvtss_f32(_mm_cvtsd_ss(_mm_setzero_ps(), _mm_max_sd(a, _mm_unpackhi_pd(a, a))));
    }
    // Unfiltered, the magnitudes are floats already: widening and rounding back keep the order.
    const __m128i mask = _mm_load_si128(reinterpret_cast<const __m128i*>(kMagnitudeMask));
    const __m128 a = _mm_and_ps(x, _mm_castsi128_ps(mask));
    return _mm_cvtss_f32(_mm_max_ss(a, _mm_shuffle_ps(a, a, 1)));
}

// Peak hold, then a one-pole fall of the hold's own length. Branches: a new peak and the end of a hold
// are rare, and a select would put the fall on the envelope's chain every frame.
FRAME_STAGE void holdPeak(double& envelopeWide, int32_t& hold, double peakWide, int32_t holdSamples,
                          double peakReleaseCoefficient) {
    if (peakWide > envelopeWide) {
        envelopeWide = peakWide;
        hold = holdSamples;
    } else if (hold > 0) {
        --hold;
    } else {
        envelopeWide = static_cast<float>(envelopeWide - (envelopeWide - peakWide) * peakReleaseCoefficient);
    }
}

// Attack and release act on the detector level, kept in single precision.
FRAME_STAGE float followEnvelope(double levelWide, double envelopeWide, double attack, double release) {
    if (envelopeWide > levelWide) return static_cast<float>(levelWide + (envelopeWide - levelWide) * attack);
    return static_cast<float>(levelWide - (levelWide - envelopeWide) * release);
}

// The output through its gain, into both outputs (the right one may be missing).
FRAME_STAGE void writeOutput(float* out0, float* out1, int32_t i, __m128d xWide, double outputGain) {
    const __m128 y = _mm_cvtpd_ps(_mm_mul_pd(xWide, _mm_set1_pd(outputGain)));
    _mm_store_ss(out0 + i, y);
    if (out1) _mm_store_ss(out1 + i, _mm_shuffle_ps(y, y, 1));
}

// The meters show the block's extremes: {largest peak after gain, largest peak} in one register, each
// lane taking the new value when it is larger, and the smallest gain.
FRAME_STAGE void updateMeters(__m128d& largest, double& gainMin, double peakWide, double outputGain,
                              double gain) {
    const double peakAfterGain = peakWide * outputGain;
    largest = _mm_max_pd(_mm_unpacklo_pd(_mm_set_sd(peakAfterGain), _mm_set_sd(peakWide)), largest);
    gainMin = gain < gainMin ? gain : gainMin;
}

// The gain the table gives a detector level: 1 up to the threshold, then a lookup on the float's bit
// pattern: exponent and top mantissa bits give the step, the remaining 17 bits the position inside it.
// Both entries and both weights in one register each; the weights are exact, so each product is, and the
// sum is rounded once. The frame loop and the start of a ramp both read the table through it.
FRAME_STAGE double tableLookup(float level, double thresholdLinear, const float* gainTable,
                               const double* gainTableWide) {
    constexpr uint32_t kLastIndex = CompressorState::kTableSize - 1;
    constexpr uint32_t kFractionMask = (1u << CompressorState::kStepShift) - 1u;
    constexpr double kStep = 1.0 / static_cast<double>(1u << CompressorState::kStepShift);
    if (!(static_cast<double>(level) > thresholdLinear)) return 1.0;
    const uint32_t bits = floatBits(level);
    if (bits < CompressorState::kFirstLevelBits) return gainTable[0];
    const uint32_t k = (bits - CompressorState::kFirstLevelBits) >> CompressorState::kStepShift;
    if (k >= kLastIndex) return gainTable[kLastIndex];
    const double upper = static_cast<double>(static_cast<int32_t>(bits & kFractionMask)) * kStep;
    const __m128d weights = _mm_set_pd(upper, 1.0 - upper);
    const __m128d terms = _mm_mul_pd(loadEntryPair(gainTableWide + k), weights);
    return _mm_cvtsd_f64(_mm_add_sd(terms, _mm_unpackhi_pd(terms, terms)));
}

constexpr int32_t kRampChunk = 64;

// The gains of up to kRampChunk frames of a ramp: frame k of it is the fraction (k + 1) / length of the way
// from the last applied gains. Worked out ahead of the frame loop, whose registers are taken.
struct RampChunk {
    double input[kRampChunk];
    double correction[kRampChunk];

    RampChunk(const GainRamp& ramp, double inputTo, int32_t frames) {
        const double step = 1.0 / ramp.length;
        const double inputChange = inputTo - ramp.inputFrom;
        const double correctionChange = 1.0 - ramp.correctionFrom;
        for (int32_t i = 0; i < frames; ++i) {
            const double part = static_cast<double>(ramp.done + i + 1) * step;
            input[i] = ramp.inputFrom + inputChange * part;
            correction[i] = ramp.correctionFrom + correctionChange * part;
        }
    }
};

// The frame loop, specialised for the two detector sections being on or off and for a gain ramp. Left and
// right share one register wherever they get the same operations; the envelope, level and gain are single
// values.
template <bool kHighPass, bool kLowPass, bool kRamp>
BlockMeters runFrames(CompressorState& c, const ChainSettings& s, const RampChunk* ramp, const float* in0,
                      const float* in1, float* out0, float* out1, int32_t frames) {
    const double thresholdLinear = s.thresholdLinear;
    const double attack = s.attackCoefficient, release = s.releaseCoefficient;
    const double makeup = s.makeupLinear;
    const double peakReleaseCoefficient = c.peakReleaseCoefficient;
    const int32_t holdSamples = c.holdSamples;
    const float* const gainTable = c.gainTable;
    const double* const gainTableWide = c.gainTableWide;

    // Everything the loop carries lives in locals, so stores to the outputs cannot force reloads. The
    // envelope and the level are single-precision values carried widened: the 32-bit build has only eight
    // vector registers, and a widened float compares as the float does.
    double envelopeWide = c.peakEnvelope;
    double levelWide = c.detectorLevel;
    int32_t hold = c.holdCounter;
    SectionPair hp{}, lp{};
    if (kHighPass) hp = loadPair(c.highPass);
    if (kLowPass) lp = loadPair(c.lowPass);
    // The block's extremes for the meters (see updateMeters).
    __m128d largest = _mm_setzero_pd();
    double gainMin = 1.0;
    // On a ramp, the gains of its frames come worked out (RampChunk); the plain loop carries nothing more.
    double inputGain = s.inputGainLinear, lastOutputGain = 1.0;

    for (int32_t i = 0; i < frames; ++i) {
        if (kRamp) inputGain = ramp->input[i];
        const __m128 x = gainedInput(in0, in1, i, inputGain);
        const __m128d xWide = _mm_cvtps_pd(x);
        const double peakWide = detectorPeak<kHighPass, kLowPass>(x, xWide, hp, lp, s);
        holdPeak(envelopeWide, hold, peakWide, holdSamples, peakReleaseCoefficient);
        const float level = followEnvelope(levelWide, envelopeWide, attack, release);
        levelWide = level;
        const double gain = tableLookup(level, thresholdLinear, gainTable, gainTableWide);
        double outputGain = gain * makeup;
        if (kRamp) {
            outputGain = outputGain * ramp->correction[i];
            lastOutputGain = outputGain;
        }
        writeOutput(out0, out1, i, xWide, outputGain);
        updateMeters(largest, gainMin, peakWide, outputGain, gain);
    }

    // Guarded on the way out: the next block's level chain then waits for one store, not for a guard
    // that reads, tests and writes the stored value again.
    c.peakEnvelope = guardEnvelope(static_cast<float>(envelopeWide));
    c.detectorLevel = guardEnvelope(static_cast<float>(levelWide));
    c.holdCounter = hold;
    if (kRamp) {
        c.lastInputGain = inputGain;
        c.lastOutputGain = lastOutputGain;
        c.ramp.done += frames;
    }
    // A section that did not run is as the block before left it, guarded then.
    if (kHighPass) {
        storePair(c.highPass, hp);
        guardSection(c.highPass[0]);
        guardSection(c.highPass[1]);
    }
    if (kLowPass) {
        storePair(c.lowPass, lp);
        guardSection(c.lowPass[0]);
        guardSection(c.lowPass[1]);
    }
    // Rounding to single precision keeps the order, so the extremes are rounded once, here.
    return {static_cast<float>(_mm_cvtsd_f64(_mm_unpackhi_pd(largest, largest))),
            static_cast<float>(_mm_cvtsd_f64(largest)), static_cast<float>(gainMin)};
}

using BlockLoop = BlockMeters (*)(CompressorState&, const ChainSettings&, const RampChunk*, const float*,
                                  const float*, float*, float*, int32_t);

// The frame loop for the detector sections the settings switch on.
template <bool kRamp>
BlockLoop blockLoop(const ChainSettings& s) {
    return s.hpActive ? (s.lpActive ? runFrames<true, true, kRamp> : runFrames<true, false, kRamp>)
                      : (s.lpActive ? runFrames<false, true, kRamp> : runFrames<false, false, kRamp>);
}

bool sameBits(const uint64_t* recorded, const double* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (doubleBits(values[i]) != recorded[i]) return false;
    }
    return true;
}

}  // namespace

CompressorState::CompressorState()
    : peakEnvelope(0.0f),
      detectorLevel(0.0f),
      peakReleaseCoefficient(0.0),
      holdSamples(0),
      holdCounter(0),
      ramp{1, 0, 1.0, 1.0},
      lastInputGain(1.0),
      lastOutputGain(1.0),
      builtFrom{0, 0, 0},
      built(false),
      unityBelow(kTableSize),
      appliedFrom{0, 0, 0, 0, 0},
      running(false),
      endedOnRamp(false) {
    for (int i = 0; i < kTableSize; ++i) {
        gainTable[i] = 1.0f;
        gainTableWide[i] = 1.0;
    }
    resetDetector();
}

namespace {

// Held inside what a counter can do, whatever rate a host claims.
int32_t holdFrames(double holdLength) {
    return holdLength < 2147483647.0 ? static_cast<int32_t>(holdLength) : INT32_MAX;
}

}  // namespace

void CompressorState::setPeakHold(float sampleRate) {
    const double holdLength = 0.02 * sampleRate;
    holdSamples = holdFrames(holdLength);
    peakReleaseCoefficient = holdLength > 1.0 ? 1.0 / holdLength : 1.0;
    limitHold(sampleRate);
}

void CompressorState::limitHold(float sampleRate) {
    // A hold begun at a higher rate ends no later than a new one would.
    const int32_t longest = holdFrames(0.02 * sampleRate);
    if (holdCounter > longest) holdCounter = longest;
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

void CompressorState::buildGainTable(double thresholdLinear, double thresholdDb, double inverseRatio) {
    unityBelow = curve.build(thresholdLinear, thresholdDb, inverseRatio, gainTable, gainTableWide, unityBelow);
    builtFrom[0] = doubleBits(thresholdLinear);
    builtFrom[1] = doubleBits(inverseRatio);
    builtFrom[2] = doubleBits(thresholdDb);
    built = true;
}

void CompressorState::invalidateGainTable() { built = false; }

void CompressorState::restart() {
    running = false;
    ramp.done = ramp.length;
}

double CompressorState::tableGain(float level, double thresholdLinear) const {
    return tableLookup(level, thresholdLinear, gainTable, gainTableWide);
}

void CompressorState::startRamp(const ChainSettings& s) {
    const double target = tableGain(detectorLevel, s.thresholdLinear) * s.makeupLinear;
    double correction = lastOutputGain / target;
    // A target of nothing (a make-up of zero, a gain below the smallest float) cannot be ramped to by a
    // factor: step there.
    if (!(correction >= 0.0 && correction <= DBL_MAX)) correction = 1.0;
    ramp = {s.rampFrames > 1 ? s.rampFrames : 1, 0, lastInputGain, correction};
}

double CompressorState::appliedValue(int which) const {
    double value;
    std::memcpy(&value, &appliedFrom[which], sizeof(value));
    return value;
}

void CompressorState::takeChangedSettings(const ChainSettings& s, bool gainsChanged) {
    // What the last frame applied, from the settings it ran on and the table as it still is, when that
    // frame was no ramp frame (a ramp frame leaves its gains behind itself).
    if (gainsChanged && running && !endedOnRamp) {
        lastInputGain = appliedValue(0);
        lastOutputGain = tableGain(detectorLevel, appliedValue(2)) * appliedValue(1);
    }
    const double tableInputs[3] = {s.thresholdLinear, s.inverseRatio, s.thresholdDb};
    if (!built || !sameBits(builtFrom, tableInputs, 3)) buildGainTable(s.thresholdLinear, s.thresholdDb, s.inverseRatio);
    if (gainsChanged) {
        if (running) startRamp(s);
        const double gainInputs[5] = {s.inputGainLinear, s.makeupLinear, s.thresholdLinear, s.inverseRatio,
                                      s.thresholdDb};
        for (int i = 0; i < 5; ++i) appliedFrom[i] = doubleBits(gainInputs[i]);
    }
}

BlockMeters CompressorState::processBlock(const ChainSettings& s, const float* in0, const float* in1, float* out0,
                                          float* out1, int32_t frames) {
    // The gain settings compared with the last block's: they include the table's inputs.
    const bool gainsChanged = doubleBits(s.inputGainLinear) != appliedFrom[0] ||
                              doubleBits(s.makeupLinear) != appliedFrom[1] ||
                              doubleBits(s.thresholdLinear) != appliedFrom[2] ||
                              doubleBits(s.inverseRatio) != appliedFrom[3] || doubleBits(s.thresholdDb) != appliedFrom[4];
    if (gainsChanged || !built) takeChangedSettings(s, gainsChanged);
    running = true;

    // Both ways end in a tail call, so the common one saves no registers: it costs at block 32 too.
    endedOnRamp = false;
    if (ramp.length - 1 - ramp.done > 0) return processRamped(s, in0, in1, out0, out1, frames);
    return blockLoop<false>(s)(*this, s, nullptr, in0, in1, out0, out1, frames);
}

BlockMeters CompressorState::processRamped(const ChainSettings& s, const float* in0, const float* in1, float* out0,
                                           float* out1, int32_t frames) {
    // The ramp's frames, then plain ones: the last frame of a ramp applies the settings as they are.
    BlockMeters meters{0.0f, 0.0f, 1.0f};
    for (int32_t done = 0; done < frames;) {
        const int32_t rampLeft = ramp.length - 1 - ramp.done;
        const int32_t left = frames - done;
        endedOnRamp = rampLeft > 0;
        BlockMeters part;
        int32_t n = left;
        if (endedOnRamp) {
            n = rampLeft < n ? rampLeft : n;
            n = kRampChunk < n ? kRampChunk : n;
            const RampChunk chunk(ramp, s.inputGainLinear, n);
            part = blockLoop<true>(s)(*this, s, &chunk, in0 + done, in1 + done, out0 + done,
                                      out1 ? out1 + done : nullptr, n);
        } else {
            part = blockLoop<false>(s)(*this, s, nullptr, in0 + done, in1 + done, out0 + done,
                                       out1 ? out1 + done : nullptr, n);
        }
        meters.peak = part.peak > meters.peak ? part.peak : meters.peak;
        meters.peakAfterGain = part.peakAfterGain > meters.peakAfterGain ? part.peakAfterGain : meters.peakAfterGain;
        meters.gain = part.gain < meters.gain ? part.gain : meters.gain;
        done += n;
    }
    return meters;
}
