// CompGateDisplay: parameter values as numbers in the units of what the signal chain does with them.
#include "effect/CompGateDisplay.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "effect/CompGateParameters.h"
#include "effect/DetectorFilterDesign.h"
#include "effect/ParameterCurves.h"

namespace {

constexpr int kNumberBudget = 8;  // characters a host display holds
constexpr double kPi = 3.14159265358979323846;

// Fixed decimals; a value too large for them (a host may store any float) in exponent form instead.
void writeNumber(char* out, double x, int decimals, int budget = kNumberBudget) {
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(x * scale) / scale;
    if (rounded == 0.0) rounded = 0.0;  // no "-0.0"
    if (std::snprintf(out, budget + 1, "%.*f", decimals, rounded) > budget) {
        std::snprintf(out, budget + 1, "%.0e", x);
    }
}

void setUnit(ParameterText& text, const char* unit) { std::strcpy(text.unit, unit); }

// Three significant digits down to hundredths.
void writeThreeDigits(char* out, double x) {
    const double magnitude = std::fabs(x);
    writeNumber(out, x, magnitude < 9.995 ? 2 : magnitude < 99.95 ? 1 : 0);
}

void describeCorner(const SectionCoefficients& section, float sampleRate, ParameterText& text) {
    if (!section.active) {
        std::strcpy(text.number, "off");
        setUnit(text, "");
        return;
    }
    // K = tan(pi f / fs).
    const double hertz = sampleRate * std::atan(section.warpedCorner) / kPi;
    if (hertz < 999.5) {
        writeThreeDigits(text.number, hertz);
        setUnit(text, "Hz");
    } else {
        writeThreeDigits(text.number, hertz * 0.001);
        setUnit(text, "kHz");
    }
}

}  // namespace

bool describeParameter(VstInt32 index, float value, float sampleRate, ParameterText& text) {
    const double v = value;
    switch (index) {
        case kInputGain:
        case kCompMakeup:
            writeNumber(text.number, gainDecibels(v), 1);
            setUnit(text, "dB");
            return true;
        case kCompThreshold:
            writeNumber(text.number, thresholdDecibels(v), 1);
            setUnit(text, "dB");
            return true;
        case kLpShelf:
            describeCorner(DetectorFilterDesign::lowPass(value), sampleRate, text);
            return true;
        case kHpShelf:
            describeCorner(DetectorFilterDesign::highPass(value), sampleRate, text);
            return true;
        case kCompRatio: {
            char ratio[kNumberBudget - 1];
            writeNumber(ratio, compressionRatio(v), 1, kNumberBudget - 2);
            std::snprintf(text.number, sizeof(text.number), "%s:1", ratio);
            setUnit(text, "");
            return true;
        }
        case kCompAttack:
        case kCompRelease: {
            // The time constant the coefficient really has at this rate; one sample at the shortest.
            const float span = index == kCompAttack ? kAttackSpanMs : kReleaseSpanMs;
            writeThreeDigits(text.number, 1000.0 / (timeCoefficient(value, span, sampleRate) * sampleRate));
            setUnit(text, "ms");
            return true;
        }
        default:
            return false;
    }
}

void formatParameterLine(const ParameterText& text, char* line) {
    if (text.unit[0]) {
        std::sprintf(line, "%s %s", text.number, text.unit);
    } else {
        std::strcpy(line, text.number);
    }
}
