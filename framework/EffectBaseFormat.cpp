// EffectBase: fixed-width number texts for parameter displays.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/EffectBase.h"

namespace {

constexpr int kTextBudget = 8;  // characters, terminator not counted

constexpr double kPowersOfTen[] = {1.0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

char digitOf(double n) {
    return static_cast<char>('0' + static_cast<int>(std::trunc(std::fmod(n, 10.0))));
}

}  // namespace

// Digits are cut, never rounded. The integer part is written right to left into a scratch area, the
// fraction fills what is left of the budget.
void EffectBase::formatFloat(float value, char* text) {
    double v = value;
    if (std::isnan(v)) {
        std::strcpy(text, "NaN");
        return;
    }
    int used = 0;
    bool negative = false;
    if (v < 0) {
        negative = true;
        v = -v;
        used = 1;
        if (v > 9999999.0) {
            std::strcpy(text, "Huge!");
            return;
        }
    } else if (v > 99999999.0) {
        std::strcpy(text, "Huge!");
        return;
    }

    char scratch[32];
    int start = sizeof(scratch) - 1;
    scratch[start] = 0;
    scratch[--start] = '.';
    const int pointAt = start;
    used += 1;
    double n = std::floor(v);
    scratch[--start] = digitOf(n);
    n *= 0.1;
    used += 1;
    // The Huge! limits admit one integer digit more than fits next to the point; the loop may take it,
    // and then the point is dropped so that the text still has 8 characters and shows the whole value.
    while (n >= 1.0 && used < kTextBudget + 1) {
        scratch[--start] = digitOf(n);
        n *= 0.1;
        used += 1;
    }
    if (used > kTextBudget) {
        scratch[pointAt] = 0;
        used = kTextBudget;
    }
    if (negative) scratch[--start] = '-';
    std::strcpy(text, scratch + start);
    if (used >= kTextBudget) return;

    const int decimals = kTextBudget - used;
    double m = std::fmod(v, 1.0) * kPowersOfTen[decimals];
    char* fraction = text + std::strlen(text);
    for (int i = decimals - 1; i >= 0; --i) {
        if (m <= 0) {
            fraction[i] = '0';
        } else {
            fraction[i] = digitOf(m);
            m *= 0.1;
        }
    }
    fraction[decimals] = 0;
}

void EffectBase::formatDecibels(float value, char* text) {
    if (value > 0)
        formatFloat(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text);
    else
        std::strcpy(text, "-oo");
}

void EffectBase::formatHertz(float samples, char* text) {
    float rate = getSampleRate();
    formatFloat(samples == 0 ? 0.0f : rate / samples, text);
}

void EffectBase::formatMilliseconds(float samples, char* text) {
    formatFloat(static_cast<float>((samples * 1000.0) / getSampleRate()), text);
}

void EffectBase::formatInteger(VstInt32 value, char* text) {
    if (value > 99999999) {
        std::strcpy(text, "Huge!");
        return;
    }
    char scratch[32];
    std::snprintf(scratch, sizeof(scratch), "%7d", static_cast<int>(value));
    scratch[kTextBudget] = 0;
    std::strcpy(text, scratch);
}
