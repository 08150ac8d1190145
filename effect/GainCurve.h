// GainCurve: the hard-knee gain for each level of the gain table, built fast and exactly as the plain
// formula gives it.
#pragma once

#include <cstdint>

class GainCurve {
public:
    // 19 octaves of 64 steps from 2^-16 to just below 8.
    static constexpr int kTableSize = 1216;
    static constexpr int kStepsPerOctave = 64;

    static constexpr uint32_t kFirstLevelBits = 0x37800000u;  // bit pattern of 2^-16
    static constexpr int kStepShift = 17;                     // 2^17 bit patterns per table step

    // The levels, each one's value in decibels, and the constants of the fast exponential.
    GainCurve();

    GainCurve(const GainCurve&) = delete;
    GainCurve& operator=(const GainCurve&) = delete;

    // Writes the gain of every level into gains and, widened, into gainsWide: 1 up to the threshold,
    // above it the level's excess over the threshold divided by the ratio, each entry bit for bit the
    // plain formula's. The entries below unityBelow must hold 1 already (the answer of the last build
    // into the same arrays; 0 when unknown). Answers the first entry above the threshold.
    int build(double thresholdLinear, double thresholdDb, double inverseRatio, float* __restrict gains,
              double* __restrict gainsWide, int unityBelow = 0);

    // The plain formula for one level above the threshold.
    static float exactGain(double levelDb, double thresholdDb, double inverseRatio);

private:
    // The fast path, above the threshold from entry `first` on; false where its error bound does not
    // hold (thresholds beyond +-200 dB, ratios outside 1 to infinity).
    bool buildAbove(int first, double thresholdDb, double inverseRatio, float* __restrict gains,
                    double* __restrict gainsWide);

public:
    // Entry i has the bit pattern of 2^-16 plus i steps: 64 evenly spaced levels per octave.
    float levels[kTableSize];

private:
    double levelDb[kTableSize];             // 20 log10(level), as the plain formula computes it
    alignas(16) double log2Mantissa[kStepsPerOctave];  // log2(1 + j / 64)
    double exp2Steps[kStepsPerOctave];      // 2^(k / 64)
    // 2^(-s log2(1 + j / 64)) for the slope s = 1 - 1/ratio of the last build.
    alignas(16) double stepFactors[kStepsPerOctave];
    uint64_t stepFactorsSlope = 0;
    bool stepFactorsValid = false;
};
