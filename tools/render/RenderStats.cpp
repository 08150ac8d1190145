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
    if (measuredFrames == 0) return 0.0;
    // The sum of the frames' dB is the dB of their product: one logarithm instead of one per frame.
    const double log10Product = std::log10(reductionProduct) + static_cast<double>(reductionExponent) * std::log10(2.0);
    return -20.0 * log10Product / static_cast<double>(measuredFrames);
}

void RenderStats::add(const float* const* inputs, const float* const* outputs, int channels, int frames) {
    // Runs of frames inside one bin: the bin is found once per run, not divided out per frame.
    for (int i = 0; i < frames;) {
        const size_t bin = static_cast<size_t>(frameCount / framesPerBin);
        if (bin >= levelBins.size()) levelBins.resize(bin + 1);
        const long long room = framesPerBin - frameCount % framesPerBin;
        const int run = static_cast<int>(std::min<long long>(room, frames - i));
        if (channels == 2) {
            addRun<2>(inputs, outputs, i, run, levelBins[bin]);
        } else {
            addRun<1>(inputs, outputs, i, run, levelBins[bin]);
        }
        inputPeak = std::max(inputPeak, static_cast<double>(levelBins[bin].inputPeak));
        outputPeak = std::max(outputPeak, static_cast<double>(levelBins[bin].outputPeak));
        samplesIn += static_cast<long long>(channels) * run;
        frameCount += run;
        i += run;
    }
}

template <int kChannels>
void RenderStats::addRun(const float* const* inputs, const float* const* outputs, int first, int count, LevelBin& b) {
    const double inverseStatic = 1.0 / staticGain;
    double inSquares = inputSquares, outSquares = outputSquares;
    float binIn = b.inputPeak, binOut = b.outputPeak;
    for (int i = first; i < first + count; ++i) {
        float loudestIn = 0.0f;
        int loudestChannel = 0;
        for (int c = 0; c < kChannels; ++c) {
            const float x = inputs[c][i], y = outputs[c][i];
            const float ax = std::fabs(x), ay = std::fabs(y);
            inSquares += static_cast<double>(x) * x;
            outSquares += static_cast<double>(y) * y;
            if (ax > loudestIn) {
                loudestIn = ax;
                loudestChannel = c;
            }
            binIn = std::max(binIn, ax);
            binOut = std::max(binOut, ay);
        }
        if (loudestIn < kQuietInput) continue;
        double gain = std::fabs(static_cast<double>(outputs[loudestChannel][i]) / inputs[loudestChannel][i]) *
                      inverseStatic;
        // Single-precision rounding puts an unreduced frame a hair above 1.
        if (gain > 0.99999) gain = 1.0;
        ++measuredFrames;
        if (gain < 1.0) {
            // At most 2^-40 per frame: renormalised long before the product could underflow.
            reductionProduct *= std::max(gain, 1e-12);
            if (reductionProduct < 0x1p-500) {
                int exponent = 0;
                reductionProduct = std::frexp(reductionProduct, &exponent);
                reductionExponent += exponent;
            }
            smallestGain = std::min(smallestGain, gain);
            b.smallestGain = std::min(b.smallestGain, static_cast<float>(gain));
        }
    }
    inputSquares = inSquares;
    outputSquares = outSquares;
    b.inputPeak = binIn;
    b.outputPeak = binOut;
}
