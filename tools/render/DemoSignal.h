// DemoSignal: the built-in demo: a generated stereo signal with quiet and loud passages and sharp
// hits, and the settings that make the compressor audibly work on it.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct DemoSignal {
    static constexpr int kSampleRate = 44100;
    static constexpr double kSeconds = 12.0;

    // Interleaved stereo, kSeconds long.
    static std::vector<float> generate();
    // Parameter settings by name, applied after program 1.
    static std::vector<std::pair<std::string, float>> settings();
};
