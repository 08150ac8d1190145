// DemoSignal: a chord over a soft noise bed, 3 s quiet, 4 s loud, then quiet again under drum-like hits.
#include "tools/render/DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Deterministic noise so every demo run renders the same file.
struct Noise {
    uint32_t state = 0x12345678u;
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }
};

double dbToLinear(double db) { return std::pow(10.0, db / 20.0); }

}  // namespace

std::vector<float> DemoSignal::generate() {
    const int frames = static_cast<int>(kSeconds * kSampleRate);
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    Noise noise;
    const double chord[3] = {220.0, 277.18, 329.63};
    double lastHit = -1.0;
    float hitNoise = 0.0f;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        // Loudness of the chord: quiet, a loud passage with soft edges, quiet again.
        double level = dbToLinear(-32.0);
        if (t >= 3.0 && t < 7.0) {
            const double edge = std::min(std::min(t - 3.0, 7.0 - t) / 0.05, 1.0);
            level += (dbToLinear(-6.0) - level) * edge;
        }
        const double tremolo = 1.0 + 0.15 * std::sin(2.0 * M_PI * 3.0 * t);
        double left = 0.0, right = 0.0;
        for (int k = 0; k < 3; ++k) {
            left += std::sin(2.0 * M_PI * chord[k] * t + k);
            right += std::sin(2.0 * M_PI * chord[k] * 1.003 * t + 2 * k);
        }
        left *= level * tremolo / 3.0;
        right *= level * tremolo / 3.0;
        const float bed = noise.next() * static_cast<float>(dbToLinear(-48.0));
        // Sharp hits every half second from 7.4 s on, plus one in the loud passage. The last one falls
        // a tenth of a second before the end, so the editor's picture at the end shows working meters.
        const bool hitNow = (t >= 7.4 && std::fmod(t - 7.4, 0.5) < 1.0 / kSampleRate) || std::fabs(t - 5.0) < 0.5 / kSampleRate;
        if (hitNow) lastHit = t;
        double hit = 0.0;
        if (lastHit >= 0.0) {
            const double age = t - lastHit;
            hitNoise = 0.7f * hitNoise + 0.3f * noise.next();
            hit = dbToLinear(-1.5) * std::exp(-age / 0.04) * (0.6 * std::sin(2.0 * M_PI * 70.0 * age) + 0.4 * hitNoise / 0.6);
        }
        out[2 * static_cast<size_t>(i)] = static_cast<float>(std::max(-1.0, std::min(1.0, left + hit + bed)));
        out[2 * static_cast<size_t>(i) + 1] = static_cast<float>(std::max(-1.0, std::min(1.0, right + 0.9 * hit - bed)));
    }
    return out;
}

std::vector<std::pair<std::string, float>> DemoSignal::settings() {
    // Threshold -24 dB, ratio about 6.8:1, 4.5 ms attack, 165 ms release, +6 dB make-up; detector filters off.
    return {{"CompThreshold", 0.6f}, {"CompRatio", 0.2f},  {"CompAttack", 0.02f}, {"CompRelease", 0.1f},
            {"CompMakeup", 0.65f},   {"HPShelf", 0.0f},    {"LPShelf", 1.0f}};
}
