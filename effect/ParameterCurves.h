// ParameterCurves: how the 0..1 value of an audio parameter maps onto what the signal chain does.
#pragma once

#include <cstdint>

// Attack and release spans: the time constant is (0.01 + 0.99 v) times the span.
constexpr float kAttackSpanMs = 150.0f;
constexpr float kReleaseSpanMs = 1500.0f;

// InputGain and CompMakeup, -20 to +20 dB.
inline double gainDecibels(double value) { return (value - 0.5) * 40.0; }

// CompThreshold, -60 to 0 dB.
inline double thresholdDecibels(double value) { return (value - 1.0) * 60.0; }

// CompRatio, 1 to 30 (10.57 at the stored limit); formed as 1 - v * (-29) with 29 in single precision.
// Values below 0 would give a ratio below 1, an infinite one at -1/29 and a negative one beyond: the
// ratio is held at 1 there (no compression), NaN included.
inline double compressionRatio(double value) {
    const double ratio = 1.0 - value * static_cast<double>(-29.0f);
    return ratio >= 1.0 ? ratio : 1.0;
}

// The time constant in seconds. Its constants are single-precision values widened to double: the
// coefficients, and so every output sample, are defined by exactly these roundings.
inline double timeConstantSeconds(float value, float spanMs) {
    return (static_cast<double>(0.01f) + static_cast<double>(0.99f) * value) * static_cast<double>(spanMs) *
           static_cast<double>(0.001f);
}

// The same time constant as a one-pole coefficient per sample. Above 1 the smoothing overshoots, above 2
// it grows without bound, and a negative time (a value below -0.0101) pushes the level away from its
// target: such values, and constants shorter than a sample, follow at once instead.
inline double timeCoefficient(float value, float spanMs, float sampleRate) {
    const double coefficient = static_cast<double>(1.0f) / (timeConstantSeconds(value, spanMs) * sampleRate);
    return coefficient > 0.0 && coefficient <= 1.0 ? coefficient : 1.0;
}

// Gain changes ramp linearly over 5 ms. A linear ramp of length T puts a step's energy below about 1/T
// (200 Hz), where it no longer clicks; 5 ms is still too short to hear as a lag, and ends before the next
// step of a host that automates every 256 frames at 48 kHz, so a moving lane gives a continuous gain.
inline int32_t rampLength(float sampleRate) {
    const double frames = 0.005 * sampleRate + 0.5;
    return frames >= 1.0 ? (frames < 1048576.0 ? static_cast<int32_t>(frames) : 1048576) : 1;
}
