// The editor's value-to-text converters.
#include "editor/CompGateFormats.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// Conversion toward zero. Values far outside 0..1 (a host may store any float) saturate instead of
// running into an undefined conversion; NaN reads as 0.
int truncToInt(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 2147483647.0) return INT32_MAX;
    if (x <= -2147483648.0) return INT32_MIN;
    return static_cast<int>(x);
}

}  // namespace

void formatGain(float value, char* text) {
    std::sprintf(text, "%d", truncToInt((static_cast<double>(value) - 0.5) * 40.0));
}

void formatShelf(float value, char* text) {
    // 0.01 is the single-precision constant, as the scale was printed in single precision.
    const double v = value;
    std::sprintf(text, "%.2f", 22.0 * v * v + static_cast<double>(0.01f));
}

void formatThreshold(float value, char* text) {
    std::sprintf(text, "%d", truncToInt((static_cast<double>(value) - 1.0) * 60.0));
}

void formatRatio(float value, char* text) {
    const int steps = truncToInt(29.0 * static_cast<double>(value));
    std::sprintf(text, "1:%d", steps == INT32_MAX ? steps : 1 + steps);
}

void formatAttack(float value, char* text) {
    std::sprintf(text, "%d", truncToInt(static_cast<double>(value) * 150.0));
}

void formatRelease(float value, char* text) {
    std::sprintf(text, "%d", truncToInt(static_cast<double>(value) * 1500.0));
}
