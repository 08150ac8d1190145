// GainCurve: gain-table builds, a product of per-octave and per-step factors guarded against rounding
// boundaries, with the plain formula where the guard cannot decide.
#include "effect/GainCurve.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include <emmintrin.h>

namespace {

constexpr double kLn2 = 0.69314718055994530942;
constexpr double kOctavesPerDecibel = 0.16609640474436811739;  // log2(10) / 20
constexpr int kOctaves = GainCurve::kTableSize / GainCurve::kStepsPerOctave;

// At thresholds within +-200 dB the fast value differs from the plain formula's double by at most 2e-14
// (the formula's own rounding of its decibel arithmetic, 1e-14, and that of the exponentials); 2^-40
// (9.1e-13) leaves a factor of 45. A value that close to a single-precision rounding boundary falls back
// to the formula: about one entry in 2^15.
constexpr double kMargin = 1.0 / 1099511627776.0;

// 2^x in both lanes for |x| < 1000, within a few units in the last place. x = k / 64 + f with
// |f| <= 1/128: 2^x = 2^(k div 64) 2^((k mod 64) / 64) e^(f ln 2), the last by its series to the sixth
// power (truncation below 1e-19); steps holds 2^(k / 64) for k = 0 to 63.
__attribute__((always_inline)) inline __m128d exp2Pair(__m128d x, const double* steps) {
    const __m128d roundingShift = _mm_set1_pd(6755399441055744.0);  // 1.5 * 2^52: adding it rounds
    const __m128d scaled = _mm_mul_pd(x, _mm_set1_pd(64.0));
    const __m128d k = _mm_sub_pd(_mm_add_pd(scaled, roundingShift), roundingShift);
    const __m128d y = _mm_mul_pd(_mm_sub_pd(scaled, k), _mm_set1_pd(kLn2 / 64.0));  // the difference is exact
    __m128d series = _mm_set1_pd(1.0 / 720.0);
    for (double c : {1.0 / 120.0, 1.0 / 24.0, 1.0 / 6.0, 0.5, 1.0, 1.0}) {
        series = _mm_add_pd(_mm_mul_pd(series, y), _mm_set1_pd(c));
    }
    const __m128i n = _mm_cvtpd_epi32(k);
    const int n0 = _mm_cvtsi128_si32(n), n1 = _mm_cvtsi128_si32(_mm_shuffle_epi32(n, 1));
    const __m128d step = _mm_set_pd(steps[n1 & 63], steps[n0 & 63]);
    // 2^(k div 64) from its exponent field: each biased exponent into the top of its 64-bit lane.
    const __m128i exponents = _mm_slli_epi32(_mm_add_epi32(_mm_srai_epi32(n, 6), _mm_set1_epi32(1023)), 20);
    const __m128d scale = _mm_castsi128_pd(_mm_unpacklo_epi32(_mm_setzero_si128(), exponents));
    return _mm_mul_pd(scale, _mm_mul_pd(step, series));
}

// 2^x in both lanes for -1 < x <= 0, from registers alone: e^(x ln2 / 16) by its series to the seventh
// power (truncation below 1e-18 there), squared four times (which multiplies the relative error by 16).
__attribute__((always_inline)) inline __m128d exp2SmallPair(__m128d x) {
    const __m128d y = _mm_mul_pd(x, _mm_set1_pd(kLn2 / 16.0));
    __m128d series = _mm_set1_pd(1.0 / 5040.0);
    for (double c : {1.0 / 720.0, 1.0 / 120.0, 1.0 / 24.0, 1.0 / 6.0, 0.5, 1.0, 1.0}) {
        series = _mm_add_pd(_mm_mul_pd(series, y), _mm_set1_pd(c));
    }
    for (int i = 0; i < 4; ++i) series = _mm_mul_pd(series, series);
    return series;
}

}  // namespace

namespace {

// The constant tables, worked out once per process: 1344 logarithms and exponentials per instance
// were most of the cost of creating one (a host's scan creates one of every plug-in).
struct ConstantTables {
    ConstantTables() {
        for (int i = 0; i < GainCurve::kTableSize; ++i) {
            const uint32_t bits = GainCurve::kFirstLevelBits + (static_cast<uint32_t>(i) << GainCurve::kStepShift);
            std::memcpy(&levels[i], &bits, sizeof(bits));
            levelDb[i] = 20.0 * std::log10(static_cast<double>(levels[i]));
        }
        for (int j = 0; j < GainCurve::kStepsPerOctave; ++j) {
            log2Mantissa[j] = std::log2(1.0 + j / 64.0);
            exp2Steps[j] = std::exp2(j / 64.0);
        }
    }
    float levels[GainCurve::kTableSize];
    double levelDb[GainCurve::kTableSize];
    double log2Mantissa[GainCurve::kStepsPerOctave];
    double exp2Steps[GainCurve::kStepsPerOctave];
};

}  // namespace

GainCurve::GainCurve() {
    static const ConstantTables tables;  // made by the first instance's constructor, on the host's thread
    std::memcpy(levels, tables.levels, sizeof levels);
    std::memcpy(levelDb, tables.levelDb, sizeof levelDb);
    std::memcpy(log2Mantissa, tables.log2Mantissa, sizeof log2Mantissa);
    std::memcpy(exp2Steps, tables.exp2Steps, sizeof exp2Steps);
}

float GainCurve::exactGain(double levelDb, double thresholdDb, double inverseRatio) {
    const double outputDb = thresholdDb + (levelDb - thresholdDb) * inverseRatio;
    return static_cast<float>(std::pow(10.0, (outputDb - levelDb) * 0.05));
}

int GainCurve::build(double thresholdLinear, double thresholdDb, double inverseRatio, float* __restrict gains,
                     double* __restrict gainsWide, int unityBelow) {
    // The first level above the threshold (the levels rise with the index); a NaN threshold has none.
    int low = 0, high = kTableSize;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (static_cast<double>(levels[middle]) > thresholdLinear) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    const int first = low;
    if (!buildAbove(first, thresholdDb, inverseRatio, gains, gainsWide)) {
        for (int i = first; i < kTableSize; ++i) {
            const float gain = exactGain(levelDb[i], thresholdDb, inverseRatio);
            gains[i] = gain;
            gainsWide[i] = gain;
        }
    }
    // After the fast path, which starts at the octave's first entry; below unityBelow nothing changed.
    const int octaveStart = first - first % kStepsPerOctave;
    for (int i = unityBelow < octaveStart ? unityBelow : octaveStart; i < first; ++i) {
        gains[i] = 1.0f;
        gainsWide[i] = 1.0;
    }
    return first;
}

bool GainCurve::buildAbove(int first, double thresholdDb, double inverseRatio, float* __restrict gains,
                           double* __restrict gainsWide) {
    if (first >= kTableSize) return true;
    if (!(thresholdDb >= -200.0 && thresholdDb <= 200.0) || !(inverseRatio >= 0.0 && inverseRatio <= 1.0)) {
        return false;
    }
    // Above the threshold the formula is 10^((thresholdDb - L)(1 - r) / 20) = 2^(s (T - log2 x)) with
    // s = 1 - r and T the threshold in octaves. With x = 2^o (1 + j/64) that is the product of a factor
    // per octave, 2^(s (T - o)), and one per step, 2^(-s log2(1 + j/64)): 83 exponentials, not 1216.
    const double s = 1.0 - inverseRatio;
    const double thresholdOctaves = thresholdDb * kOctavesPerDecibel;
    const __m128d sPair = _mm_set1_pd(s);
    // The step factors depend on the ratio alone: kept while only the threshold moves.
    uint64_t sBits;
    std::memcpy(&sBits, &s, sizeof(sBits));
    if (!stepFactorsValid || sBits != stepFactorsSlope) {
        for (int j = 0; j < kStepsPerOctave; j += 2) {
            const __m128d exponent = _mm_mul_pd(_mm_sub_pd(_mm_setzero_pd(), sPair), _mm_load_pd(log2Mantissa + j));
            _mm_store_pd(stepFactors + j, exp2SmallPair(exponent));
        }
        stepFactorsSlope = sBits;
        stepFactorsValid = true;
    }
    // Octave o holds the levels 2^(o - 16) (1 + j/64).
    const int firstOctave = first / kStepsPerOctave;
    alignas(16) double octaveFactors[kOctaves + 1];
    for (int o = firstOctave; o < kOctaves; o += 2) {
        const __m128d octaveExponent = _mm_set_pd(-15.0 + o, -16.0 + o);
        const __m128d exponent = _mm_mul_pd(sPair, _mm_sub_pd(_mm_set1_pd(thresholdOctaves), octaveExponent));
        _mm_storeu_pd(octaveFactors + o, exp2Pair(exponent, exp2Steps));
    }

    const __m128d lower = _mm_set1_pd(1.0 - kMargin), upper = _mm_set1_pd(1.0 + kMargin);
    for (int o = firstOctave; o < kOctaves; ++o) {
        const __m128d octaveFactor = _mm_set1_pd(octaveFactors[o]);
        for (int j = 0; j < kStepsPerOctave; j += 2) {
            const int i = o * kStepsPerOctave + j;
            // The single-precision value is decided when both ends of the error interval round alike.
            const __m128d fast = _mm_mul_pd(octaveFactor, _mm_load_pd(stepFactors + j));
            const __m128 low = _mm_cvtpd_ps(_mm_mul_pd(fast, lower));
            const __m128 high = _mm_cvtpd_ps(_mm_mul_pd(fast, upper));
            _mm_storel_pi(reinterpret_cast<__m64*>(gains + i), low);
            _mm_storeu_pd(gainsWide + i, _mm_cvtps_pd(low));
            if (_mm_movemask_ps(_mm_cmpneq_ps(low, high)) != 0) {
                for (int k = i; k < i + 2; ++k) {
                    const float gain = exactGain(levelDb[k], thresholdDb, inverseRatio);
                    gains[k] = gain;
                    gainsWide[k] = gain;
                }
            }
        }
    }
    return true;
}
