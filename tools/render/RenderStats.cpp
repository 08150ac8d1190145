// RenderStats: running peaks, sums of squares and the per-frame gain measurement.
#include "tools/render/RenderStats.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <emmintrin.h>

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
            // Four frames at a time; the last few frames of the run go one by one.
            const int wide = run & ~3;
            addStereoRun(inputs, outputs, i, wide, levelBins[bin]);
            addRun<2>(inputs, outputs, i + wide, run - wide, levelBins[bin]);
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

namespace {

inline __m128 pick(__m128 mask, __m128 a, __m128 b) { return _mm_or_ps(_mm_andnot_ps(mask, a), _mm_and_ps(mask, b)); }
inline __m128d pick(__m128d mask, __m128d a, __m128d b) {
    return _mm_or_pd(_mm_andnot_pd(mask, a), _mm_and_pd(mask, b));
}
inline __m128d lowHalf(__m128 v) { return _mm_cvtps_pd(v); }
inline __m128d highHalf(__m128 v) { return _mm_cvtps_pd(_mm_movehl_ps(v, v)); }
// Squares of four floats, summed in pairs in double.
inline __m128d squares(__m128 v) {
    const __m128d low = lowHalf(v), high = highHalf(v);
    return _mm_add_pd(_mm_mul_pd(low, low), _mm_mul_pd(high, high));
}
inline float largest(__m128 v) {
    v = _mm_max_ps(v, _mm_movehl_ps(v, v));
    v = _mm_max_ss(v, _mm_shuffle_ps(v, v, 1));
    return _mm_cvtss_f32(v);
}
inline double sum(__m128d v) { return _mm_cvtsd_f64(_mm_add_sd(v, _mm_unpackhi_pd(v, v))); }
inline double smallest(__m128d v) { return _mm_cvtsd_f64(_mm_min_sd(v, _mm_unpackhi_pd(v, v))); }

}  // namespace

// The stereo measurement of addRun<2>, four frames per step in SSE2 lanes, without a branch per frame.
// count is a multiple of 4. Same results as addRun<2> but for the order of the sums' additions.
void RenderStats::addStereoRun(const float* const* inputs, const float* const* outputs, int first, int count,
                               LevelBin& b) {
    if (count <= 0) return;
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128 quiet = _mm_set1_ps(kQuietInput);
    const __m128d absMaskD = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffffLL));
    const __m128d inverseStatic = _mm_set1_pd(1.0 / staticGain);
    const __m128d unreduced = _mm_set1_pd(0.99999), one = _mm_set1_pd(1.0), floor = _mm_set1_pd(1e-12);
    __m128d inSquares = _mm_set_pd(0.0, inputSquares), outSquares = _mm_set_pd(0.0, outputSquares);
    __m128 binIn = _mm_set1_ps(b.inputPeak), binOut = _mm_set1_ps(b.outputPeak);
    __m128d binGain = one;
    __m128d product = _mm_set_pd(1.0, reductionProduct);
    long long exponent = reductionExponent, measured = measuredFrames;
    const float *inL = inputs[0] + first, *inR = inputs[1] + first;
    const float *outL = outputs[0] + first, *outR = outputs[1] + first;
    for (int i = 0; i < count; i += 4) {
        const __m128 xl = _mm_loadu_ps(inL + i), xr = _mm_loadu_ps(inR + i);
        const __m128 yl = _mm_loadu_ps(outL + i), yr = _mm_loadu_ps(outR + i);
        const __m128 axl = _mm_and_ps(xl, absMask), axr = _mm_and_ps(xr, absMask);
        // max(new, running) keeps the running value for a NaN sample, as std::max(running, new) does.
        binIn = _mm_max_ps(axr, _mm_max_ps(axl, binIn));
        binOut = _mm_max_ps(_mm_and_ps(yr, absMask), _mm_max_ps(_mm_and_ps(yl, absMask), binOut));
        // One addition per step on the running sums: the four frames' squares are summed beside them.
        inSquares = _mm_add_pd(inSquares, _mm_add_pd(squares(xl), squares(xr)));
        outSquares = _mm_add_pd(outSquares, _mm_add_pd(squares(yl), squares(yr)));
        // The louder input channel, the left one on a tie; a NaN left counts as silent.
        const __m128 left = _mm_and_ps(axl, _mm_cmpgt_ps(axl, _mm_setzero_ps()));
        const __m128 right = _mm_cmpgt_ps(axr, left);
        const __m128 loudest = pick(right, left, axr);
        const __m128 x = pick(right, xl, xr), y = pick(right, yl, yr);
        const __m128 heard = _mm_cmpge_ps(loudest, quiet);
        const int heardBits = _mm_movemask_ps(heard);
        if (heardBits == 0) continue;
        // Set bits of a 4-bit mask, one nibble per value (no popcount instruction in the baseline).
        measured += static_cast<long long>((0x4332322132212110ULL >> (4 * heardBits)) & 0xf);
        const __m128 heardHalves[2] = {heard, _mm_movehl_ps(heard, heard)};
        const __m128d gains[2] = {_mm_div_pd(lowHalf(y), lowHalf(x)), _mm_div_pd(highHalf(y), highHalf(x))};
        __m128d factor = one;
        for (int h = 0; h < 2; ++h) {
            const __m128d gain = _mm_mul_pd(_mm_and_pd(gains[h], absMaskD), inverseStatic);
            // Each float lane's mask twice makes a double lane's mask.
            const __m128d heardLanes = _mm_castps_pd(_mm_unpacklo_ps(heardHalves[h], heardHalves[h]));
            // Single-precision rounding puts an unreduced frame a hair above 1; a NaN gain is no reduction.
            const __m128d reduced = _mm_and_pd(heardLanes, _mm_cmple_pd(gain, unreduced));
            const __m128d g = pick(reduced, one, gain);
            binGain = _mm_min_pd(binGain, g);
            factor = _mm_mul_pd(factor, _mm_max_pd(g, floor));
        }
        product = _mm_mul_pd(product, factor);
        // At most 2^-80 per lane and step: renormalised long before the product could underflow.
        if (_mm_movemask_pd(_mm_cmplt_pd(product, _mm_set1_pd(0x1p-500)))) {
            double lanes[2];
            _mm_storeu_pd(lanes, product);
            for (double& lane : lanes) {
                int e = 0;
                lane = std::frexp(lane, &e);
                exponent += e;
            }
            product = _mm_loadu_pd(lanes);
        }
    }
    inputSquares = sum(inSquares);
    outputSquares = sum(outSquares);
    b.inputPeak = largest(binIn);
    b.outputPeak = largest(binOut);
    const double binSmallest = smallest(binGain);
    b.smallestGain = std::min(b.smallestGain, static_cast<float>(binSmallest));
    smallestGain = std::min(smallestGain, binSmallest);
    // Both lanes' products in one: each is at least 2^-500, their product far above the smallest double.
    double lanes[2];
    _mm_storeu_pd(lanes, product);
    int e = 0;
    reductionProduct = std::frexp(lanes[0] * lanes[1], &e);
    reductionExponent = exponent + e;
    measuredFrames = measured;
}
