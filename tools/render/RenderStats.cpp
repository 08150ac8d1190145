// RenderStats: running peaks, sums of squares and the per-frame gain measurement.
#include "tools/render/RenderStats.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

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

namespace {

// a when pick is false, b when true, without a branch: on noise the louder channel changes every other
// frame and a branch on it would be mispredicted that often.
inline float select(bool pick, float a, float b) {
    uint32_t ua, ub;
    std::memcpy(&ua, &a, sizeof ua);
    std::memcpy(&ub, &b, sizeof ub);
    const uint32_t mask = 0u - static_cast<uint32_t>(pick);
    const uint32_t bits = (ua & ~mask) | (ub & mask);
    float result;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}

}  // namespace

template <int kChannels>
void RenderStats::addRun(const float* const* inputs, const float* const* outputs, int first, int count, LevelBin& b) {
    const double inverseStatic = 1.0 / staticGain;
    // Everything carried from frame to frame in locals: members would go through memory each frame.
    double inSquares = inputSquares, outSquares = outputSquares;
    float binIn = b.inputPeak, binOut = b.outputPeak, binGain = b.smallestGain;
    double product = reductionProduct, smallest = smallestGain;
    long long exponent = reductionExponent, measured = measuredFrames;
    for (int i = first; i < first + count; ++i) {
        float x[kChannels], y[kChannels], ax[kChannels];
        for (int c = 0; c < kChannels; ++c) {
            x[c] = inputs[c][i];
            y[c] = outputs[c][i];
            ax[c] = std::fabs(x[c]);
            inSquares += static_cast<double>(x[c]) * x[c];
            outSquares += static_cast<double>(y[c]) * y[c];
            binIn = std::max(binIn, ax[c]);
            binOut = std::max(binOut, std::fabs(y[c]));
        }
        // The louder input channel, the left one on a tie.
        float loudestIn = ax[0] > 0.0f ? ax[0] : 0.0f;
        float in = x[0], out = y[0];
        if (kChannels == 2) {
            const bool right = ax[kChannels - 1] > loudestIn;
            loudestIn = select(right, loudestIn, ax[kChannels - 1]);
            in = select(right, in, x[kChannels - 1]);
            out = select(right, out, y[kChannels - 1]);
        }
        if (loudestIn < kQuietInput) continue;
        double gain = std::fabs(static_cast<double>(out) / in) * inverseStatic;
        // Single-precision rounding puts an unreduced frame a hair above 1.
        if (gain > 0.99999) gain = 1.0;
        ++measured;
        if (gain < 1.0) {
            // At most 2^-40 per frame: renormalised long before the product could underflow.
            product *= std::max(gain, 1e-12);
            if (product < 0x1p-500) {
                int e = 0;
                product = std::frexp(product, &e);
                exponent += e;
            }
            smallest = std::min(smallest, gain);
            binGain = std::min(binGain, static_cast<float>(gain));
        }
    }
    inputSquares = inSquares;
    outputSquares = outSquares;
    b.inputPeak = binIn;
    b.outputPeak = binOut;
    b.smallestGain = binGain;
    reductionProduct = product;
    reductionExponent = exponent;
    smallestGain = smallest;
    measuredFrames = measured;
}
