// ChainSettings: the derived values one audio block runs with, copied from the effect at the block's start.
#pragma once

struct ChainSettings {
    double inputGainLinear;
    // High-pass detector section; single-precision coefficients widened, except where those are unstable.
    double hpB, hpC1, hpC2;
    bool hpActive;
    // Low-pass detector section.
    double lpC0, lpC1, lpC2;
    bool lpActive;
    // Compression curve (also the inputs of the gain table) and envelope times.
    double thresholdDb;
    double thresholdLinear;
    double inverseRatio;
    double attackCoefficient;
    double releaseCoefficient;
    double makeupLinear;
};
