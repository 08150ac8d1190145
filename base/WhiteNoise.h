// Deterministic white noise for tests and benchmarks: the same samples on every machine and build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Uniform in [-amplitude, amplitude), from a linear congruential generator seeded by `seed`.
inline std::vector<float> whiteNoise(std::size_t frames, float amplitude, uint32_t seed) {
    std::vector<float> samples(frames);
    uint32_t state = seed * 2654435761u + 1u;
    for (float& s : samples) {
        state = state * 1664525u + 1013904223u;
        s = amplitude * (static_cast<float>(state >> 8) / 8388608.0f - 1.0f);
    }
    return samples;
}
