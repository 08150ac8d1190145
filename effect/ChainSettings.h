// ChainSettings: the derived values one audio block runs with, copied from the effect at the block's start.
#pragma once

#include <cstddef>
#include <cstdint>

#include <emmintrin.h>

struct ChainSettings {
    double inputGainLinear;
    // High-pass detector section; single-precision coefficients widened, except where those are unstable.
    double hpB, hpC1, hpC2;
    // Low-pass detector section.
    double lpC0, lpC1, lpC2;
    // Compression curve (also the inputs of the gain table) and envelope times.
    double thresholdLinear;
    double inverseRatio;
    double attackCoefficient;
    double releaseCoefficient;
    double makeupLinear;
    double thresholdDb;
    bool hpActive;
    bool lpActive;
    // Length of the ramp to new gain settings, in frames (at least 1: a step).
    int32_t rampFrames;

    // Fills two neighbouring fields with one store. The 32-bit build moves each 64-bit atomic through a
    // pair of integer registers and would store it as two halves; the block loop's whole-value reads
    // would then wait for both halves to leave the store buffer, on the level's chain.
    static void setPair(double& first, double a, double b) { _mm_storeu_pd(&first, _mm_set_pd(b, a)); }
};

// The pairs the effect fills with setPair.
static_assert(offsetof(ChainSettings, hpB) == offsetof(ChainSettings, inputGainLinear) + 8, "paired fields");
static_assert(offsetof(ChainSettings, hpC2) == offsetof(ChainSettings, hpC1) + 8, "paired fields");
static_assert(offsetof(ChainSettings, lpC1) == offsetof(ChainSettings, lpC0) + 8, "paired fields");
static_assert(offsetof(ChainSettings, thresholdLinear) == offsetof(ChainSettings, lpC2) + 8, "paired fields");
static_assert(offsetof(ChainSettings, attackCoefficient) == offsetof(ChainSettings, inverseRatio) + 8, "paired fields");
static_assert(offsetof(ChainSettings, makeupLinear) == offsetof(ChainSettings, releaseCoefficient) + 8,
              "paired fields");
