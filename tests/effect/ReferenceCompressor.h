// ReferenceCompressor: a plain scalar model of the compressor's parameters, programs and signal chain,
// written on its own from the parameter and chain rules, for bit-for-bit comparisons with the effect.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace effecttest {

class ReferenceCompressor {
public:
    static constexpr int kLevels = 1216;

    // Fresh instance: zero state, 16 default programs, program 0 applied.
    ReferenceCompressor() {
        static const float defaults[14] = {0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 0.1f, 0.5f,
                                           1.0f, 0.1f, 0.1f, 0.2f, 0.5f, 0.5f, 0.75f};
        for (auto& program : programs) std::memcpy(program, defaults, sizeof(defaults));
        // 64 evenly spaced levels per octave from 2^-16.
        for (int i = 0; i < kLevels; ++i) {
            levelTable[i] = static_cast<float>(std::ldexp(1.0 + (i % 64) / 64.0, -16 + i / 64));
        }
        setHold();
        setProgram(0);
    }

    // Every time constant follows the rate; a rate that is not a positive number is refused.
    void setSampleRate(float rate) {
        if (!(rate > 0.0f) || std::isinf(rate)) return;
        fs = rate;
        setHold();
        rampFrames = std::max(1, int(0.005 * fs + 0.5));
        attackCoefficient = timeCoefficient(live[9], 150.0f);
        releaseCoefficient = timeCoefficient(live[10], 1500.0f);
    }

    void setProgram(int n) {
        if (n < 0 || n > 15) return;
        current = n;
        for (int i = 0; i < 14; ++i) set(i, programs[n][i]);
    }

    // Resumed: the next block applies its settings at once.
    void resume() {
        running = false;
        rampDone = rampLength;
    }

    float get(int index) const { return index >= 0 && index < 14 ? live[index] : 0.0f; }

    void set(int index, float value) {
        if (index < 0 || index > 13) return;
        if (index == 8 && double(value) > 0.33) value = 0.33f;
        if (index == 10 && double(value) > 0.2) value = 0.2f;
        if (index == 11 && double(value) > 0.75) value = 0.75f;
        programs[current][index] = value;
        live[index] = value;
        const double v = value;
        switch (index) {
            case 1:
                inputGainDb = (v - 0.5) * 40.0;
                inputGainLinear = std::pow(10.0, inputGainDb * 0.05);
                break;
            case 2: {
                // Double-precision coefficients unless their poles leave the unit circle or the corner
                // lies outside 1e-6 .. 1e6: then the nearest corner inside, in double precision.
                double K = v * v;
                double c[3];
                section(K, true, c);
                if (!resolvable(K) || !stable(c[1], c[2])) section(K = clampCorner(K), true, c);
                lpC0 = c[0];
                lpC1 = c[1];
                lpC2 = c[2];
                lpActive = v != 1.0;
                break;
            }
            case 3: {
                // Single-precision coefficients where those are stable, else as the low-pass does.
                double K = v * v;
                double c[3];
                section(K, false, c);
                for (double& x : c) x = single(x);
                if (!resolvable(K) || !stable(c[1], c[2])) section(K = clampCorner(K), false, c);
                hpB = c[0];
                hpC1 = c[1];
                hpC2 = c[2];
                hpActive = v != 0.0;
                break;
            }
            case 7:
                thresholdDb = (v - 1.0) * 60.0;
                thresholdLinear = std::pow(10.0, thresholdDb * 0.05);
                break;
            case 8:
                // A ratio below 1 (a value below 0) counts as 1.
                inverseRatio = 1.0 / std::max(1.0, 1.0 - v * double(-29.0f));
                break;
            case 9:
                attackCoefficient = timeCoefficient(value, 150.0f);
                break;
            case 10:
                releaseCoefficient = timeCoefficient(value, 1500.0f);
                break;
            case 11:
                makeupLinear = std::pow(10.0, ((v - 0.5) * 40.0) * 0.05);
                break;
            default:
                break;
        }
    }

    void buildGainTable() {
        for (int i = 0; i < kLevels; ++i) {
            const double x = levelTable[i];
            if (!(x > thresholdLinear)) {
                gainTable[i] = 1.0f;
            } else {
                const double Lx = 20.0 * std::log10(x);
                const double out = thresholdDb + (Lx - thresholdDb) * inverseRatio;
                gainTable[i] = float(std::pow(10.0, (out - Lx) * 0.05));
            }
        }
    }

    // The gain for a detector level: 1 up to the threshold, else the table, interpolated.
    double lookup(float L) const {
        if (!(L > thresholdLinear)) return 1.0;
        if (L < levelTable[0]) return gainTable[0];
        uint32_t b;
        std::memcpy(&b, &L, 4);
        const uint32_t k = (b - 0x37800000u) >> 17;
        const uint32_t f = b & 0x1FFFFu;
        if (k > 1214) return gainTable[1215];
        const float w0 = float((131072.0 - f) / 131072.0);
        const float w1 = float(f / 131072.0);
        return double(gainTable[k]) * w0 + double(gainTable[k + 1]) * w1;
    }

    // One block; out1 may be null. meters receives the largest peak, the largest peak after gain and the
    // smallest gain of the block. A block whose input gain, make-up or table inputs differ from the last
    // block's ramps linearly from the gains the last frame applied: the input gain to its new value, the
    // output gain by a factor from (last output gain / new gain at the current level) to 1, both reaching
    // their values on frame rampFrames of the ramp.
    void process(const float* in0, const float* in1, float* out0, float* out1, int n, float meters[3]) {
        if (n <= 0) return;
        buildGainTable();
        const double settings[5] = {inputGainLinear, makeupLinear, thresholdLinear, inverseRatio, thresholdDb};
        if (std::memcmp(settings, applied, sizeof(settings)) != 0) {
            if (running) {
                rampLength = rampFrames;
                rampDone = 0;
                inputFrom = lastInputGain;
                correctionFrom = lastOutputGain / (lookup(detectorLevel) * makeupLinear);
                if (!(correctionFrom >= 0.0 && correctionFrom <= 1.7976931348623157e308)) correctionFrom = 1.0;
            }
            std::memcpy(applied, settings, sizeof(settings));
        }
        running = true;
        float L = detectorLevel;
        float a = 0.0f, aMax = 0.0f, aMMax = 0.0f, GMin = 1.0f;
        double G = 1.0, M = 1.0;
        for (int i = 0; i < n; ++i) {
            const bool ramping = rampDone < rampLength - 1;
            double gin = inputGainLinear, correction = 1.0;
            if (ramping) {
                const double part = double(++rampDone) * (1.0 / rampLength);
                gin = inputFrom + (inputGainLinear - inputFrom) * part;
                correction = correctionFrom + (1.0 - correctionFrom) * part;
            }
            const float xL = float(in0[i] * gin);
            const float xR = float(in1[i] * gin);
            double hL = xL, hR = xR;
            if (hpActive) {
                hL = highPass(0, xL);
                hR = highPass(1, xR);
            }
            double dL = hL, dR = hR;
            if (lpActive) {
                dL = lowPass(0, hL);
                dR = lowPass(1, hR);
            }
            a = float(std::fabs(dL) > std::fabs(dR) ? std::fabs(dL) : std::fabs(dR));

            float& E = peakEnvelope;
            if (a > E) {
                E = a;
                holdCounter = holdSamples;
            } else if (holdCounter > 0) {
                --holdCounter;
            } else {
                E = float(E - (double(E) - a) * peakReleaseCoefficient);
            }

            if (E > L) {
                L = float(L + (double(E) - L) * attackCoefficient);
            } else {
                L = float(L - (double(L) - E) * releaseCoefficient);
            }

            G = lookup(L);
            M = G * makeupLinear;
            if (ramping) M = M * correction;
            out0[i] = float(xL * M);
            if (out1) out1[i] = float(xR * M);
            aMax = std::max(aMax, a);
            aMMax = std::max(aMMax, float(a * M));
            GMin = std::min(GMin, float(G));
            lastInputGain = gin;
            lastOutputGain = M;
        }
        detectorLevel = L;
        meters[0] = aMax;
        meters[1] = aMMax;
        meters[2] = GMin;
    }

    float programs[16][14];
    int current = 0;
    float live[14] = {};
    float fs = 44100.0f;

    double inputGainDb = 0, inputGainLinear = 0, thresholdDb = 0, thresholdLinear = 0, inverseRatio = 0;
    double attackCoefficient = 0, releaseCoefficient = 0, makeupLinear = 0;
    double lpC0 = 0, lpC1 = 0, lpC2 = 0;
    bool lpActive = false;
    double hpB = 0, hpC1 = 0, hpC2 = 0;
    bool hpActive = false;

    // Gain ramps: their length at the current rate, the one running, and what the last frame applied.
    int rampFrames = 221;
    int rampLength = 1, rampDone = 0;
    double inputFrom = 1.0, correctionFrom = 1.0;
    double lastInputGain = 1.0, lastOutputGain = 1.0;
    double applied[5] = {};
    bool running = false;

    float levelTable[kLevels];
    float gainTable[kLevels];
    float peakEnvelope = 0.0f;
    float detectorLevel = 0.0f;
    double peakReleaseCoefficient;
    int32_t holdSamples;
    int32_t holdCounter = 0;
    double hp[2][3] = {};  // w, w1, w2 per channel
    double lp[2][3] = {};

private:
    void setHold() {
        const double length = 0.02 * fs;
        holdSamples = length < 2147483647.0 ? static_cast<int32_t>(length) : 2147483647;
        peakReleaseCoefficient = length > 1.0 ? 1.0 / length : 1.0;
        if (holdCounter > holdSamples) holdCounter = holdSamples;
    }
    // Coefficients from 0 < c <= 1 only; anything else follows at once.
    double timeCoefficient(float value, float span) const {
        const double c = double(1.0f) / ((double(0.01f) + double(0.99f) * value) * double(span) * double(0.001f) * double(fs));
        return (c > 0.0 && c <= 1.0) ? c : 1.0;
    }
    static void section(double K, bool lowPass, double c[3]) {
        const double N = K * K + K + 1.0;
        c[0] = lowPass ? K * K / N : 1.0 / N;
        c[1] = 2.0 * (1.0 - K * K) / N;
        c[2] = (N - 2.0 * K) / N;
    }
    // Out of line: GCC 12 -O2 loses a vectorised double-float-double round trip.
    __attribute__((noinline)) static double single(double x) { return float(x); }
    static bool resolvable(double K) { return K >= 1e-6 && K <= 1e6; }
    static double clampCorner(double K) { return K > 1e6 ? 1e6 : (K >= 1e-6 ? K : 1e-6); }
    static bool stable(double c1, double c2) { return c2 < 1.0 && 1.0 + c2 - c1 > 0.0 && 1.0 + c2 + c1 > 0.0; }

    double highPass(int c, double x) {
        double* s = hp[c];
        s[0] = x * hpB + hpC1 * s[1] - hpC2 * s[2];
        const double h = s[0] - 2.0 * s[1] + s[2];
        s[2] = s[1];
        s[1] = s[0];
        return h;
    }
    double lowPass(int c, double x) {
        double* s = lp[c];
        s[0] = lpC0 * x + lpC1 * s[1] - lpC2 * s[2];
        const double d = s[0] + 2.0 * s[1] + s[2];
        s[2] = s[1];
        s[1] = s[0];
        return d;
    }
};

}  // namespace effecttest
