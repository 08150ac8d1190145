// ChainSettings: the derived values one audio block runs with, copied from the effect at the block's start.
#pragma once

#include <cstdint>

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
};
