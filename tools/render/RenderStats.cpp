// RenderStats: running peaks, sums of squares and the per-frame gain measurement.
#include "tools/render/RenderStats.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kQuietInput = 1e-4f;  // -80 dBFS
}

RenderStats::RenderStats(double gain, long long totalFrames)
    : staticGain(gain > 0.0 ? gain : 1.0), framesPerBin(std::max(1LL, (totalFrames + 1999) / 2000)) {}

double RenderStats::decibels(double linear) { return linear > 0.0 ? 20.0 * std::log10(linear) : -INFINITY; }

double RenderStats::inputRmsDb() const {
    return samplesIn > 0 ? decibels(std::sqrt(inputSquares / static_cast<double>(samplesIn))) : -INFINITY;
}

double RenderStats::outputRmsDb() const {
    return samplesIn > 0 ? decibels(std::sqrt(outputSquares / static_cast<double>(samplesIn))) : -INFINITY;
}

double RenderStats::largestReductionDb() const { return smallestGain < 1.0 ? -decibels(smallestGain) : 0.0; }

double RenderStats::averageReductionDb() const {
    return measuredFrames > 0 ? reductionSum / static_cast<double>(measuredFrames) : 0.0;
}

void RenderStats::add(const float* const* inputs, const float* const* outputs, int channels, int frames) {
    const double inverseStatic = 1.0 / staticGain;
    for (int i = 0; i < frames; ++i, ++frameCount) {
        const size_t bin = static_cast<size_t>(frameCount / framesPerBin);
        if (bin >= levelBins.size()) levelBins.resize(bin + 1);
        LevelBin& b = levelBins[bin];
        float loudestIn = 0.0f;
        int loudestChannel = 0;
        for (int c = 0; c < channels; ++c) {
            const float x = inputs[c][i], y = outputs[c][i];
            const float ax = std::fabs(x), ay = std::fabs(y);
            inputSquares += static_cast<double>(x) * x;
            outputSquares += static_cast<double>(y) * y;
            if (ax > loudestIn) {
                loudestIn = ax;
                loudestChannel = c;
            }
            b.inputPeak = std::max(b.inputPeak, ax);
            b.outputPeak = std::max(b.outputPeak, ay);
        }
        inputPeak = std::max(inputPeak, static_cast<double>(b.inputPeak));
        outputPeak = std::max(outputPeak, static_cast<double>(b.outputPeak));
        samplesIn += channels;
        if (loudestIn < kQuietInput) continue;
        double gain = std::fabs(static_cast<double>(outputs[loudestChannel][i]) / inputs[loudestChannel][i]) *
                      inverseStatic;
        // Single-precision rounding puts an unreduced frame a hair above 1.
        if (gain > 0.99999) gain = 1.0;
        ++measuredFrames;
        if (gain < 1.0) {
            reductionSum -= 20.0 * std::log10(std::max(gain, 1e-12));
            smallestGain = std::min(smallestGain, gain);
            b.smallestGain = std::min(b.smallestGain, static_cast<float>(gain));
        }
    }
}
