// DetectorFilterDesign: bilinear second-order sections with Q = 1 and pre-warped corner K = v^2.
#include "effect/DetectorFilterDesign.h"

namespace {

// Poles of z^2 - c1 z + c2 strictly inside the unit circle (the triangle test).
bool isStable(double c1, double c2) { return c2 < 1.0 && (1.0 + c2) - c1 > 0.0 && (1.0 + c2) + c1 > 0.0; }

// The pre-warped corner held inside the range the recursion resolves.
double resolvableCorner(double k) {
    constexpr double lowest = DetectorFilterDesign::kLowestCorner;
    if (!(k >= lowest)) return lowest;  // NaN included
    if (k > 1.0 / lowest) return 1.0 / lowest;
    return k;
}

// The section in double precision; the low-pass gain is K^2/N, the high-pass gain 1/N.
SectionCoefficients design(double k, bool lowPass, bool active) {
    const double n = k * k + k + 1.0;
    return {lowPass ? k * k / n : 1.0 / n, 2.0 * (1.0 - k * k) / n, (n - 2.0 * k) / n, active, k};
}

// Near either end of the range the true stability margin 1 - c1 + c2 = 4K^2/N (or 1 + c1 + c2 = 4/N)
// drowns in the rounding of c1 and c2, which then decides between a decaying and a growing recursion.
// There the section is designed again in double precision at the nearest corner it can resolve.
SectionCoefficients stableOr(const SectionCoefficients& section, bool lowPass) {
    if (section.warpedCorner == resolvableCorner(section.warpedCorner) && isStable(section.c1, section.c2)) {
        return section;
    }
    return design(resolvableCorner(section.warpedCorner), lowPass, section.active);
}

// Rounds to single precision. Out of line on purpose: GCC 12 at -O2 vectorises the rounding of two
// neighbouring doubles and then drops the double-float-double round trip altogether.
__attribute__((noinline)) double toSingle(double x) { return static_cast<float>(x); }

}  // namespace

SectionCoefficients DetectorFilterDesign::highPass(float value) {
    const double v = value;
    SectionCoefficients s = design(v * v, false, value != 0.0f);
    // Single precision, as the section has always had them, wherever that is stable.
    s.gain = toSingle(s.gain);
    s.c1 = toSingle(s.c1);
    s.c2 = toSingle(s.c2);
    return stableOr(s, false);
}

SectionCoefficients DetectorFilterDesign::lowPass(float value) {
    const double v = value;
    return stableOr(design(v * v, true, value != 1.0f), true);
}
