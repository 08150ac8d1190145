// DetectorFilterDesign: coefficients of the detector's second-order high- and low-pass sections.
#pragma once

// One section: w = x * gain + c1 * w1 - c2 * w2, then the zeros (1 -/+ z^-1)^2.
struct SectionCoefficients {
    double gain;
    double c1;
    double c2;
    bool active;
    double warpedCorner;  // K = tan(pi f / fs) of the corner the section really has
};

struct DetectorFilterDesign {
    // A pre-warped corner below this (or above its inverse) cannot be held stable by the recursion: the
    // poles sit within about K of z = 1 (or -1). 1e-6 puts the corner at 0.014 Hz at 44.1 kHz.
    static constexpr double kLowestCorner = 1e-6;

    // HPShelf: off at 0; the corner K = v^2 in single-precision coefficients where they are stable.
    static SectionCoefficients highPass(float value);
    // LPShelf: off at 1; the corner K = v^2 in double-precision coefficients where they are stable.
    static SectionCoefficients lowPass(float value);
};
