// vozuv-plugin-timer: the cost of processReplacing per stereo frame in a plug-in binary loaded as a
// host loads it: the native library here, a DLL when this program is built for Windows and run
// under Wine. One timing loop for every binary, so their figures compare.
//
// Usage: vozuv-plugin-timer PLUGIN [--seconds S] [--repeats N] [--set NAME=VALUE]... [BLOCK...]
// (default blocks 32 512 4096; --set adds a parameter after the heavy compression, e.g. HPShelf=0.3 to
// time the loop with a detector filter on)
// Prints one line per block: "block N ns_per_frame BEST median MEDIAN". On a shared machine other work
// only ever adds time, so the best repeat is the steadiest figure; the median shows the spread.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "base/WhiteNoise.h"
#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginLibrary.h"

namespace {

constexpr int kSampleRate = 44100;

struct TimerOptions {
    std::string plugin;
    double seconds = 0.002;  // per repeat and block size: short, so some repeats run undisturbed
    int repeats = 200;
    std::vector<int> blocks;
    std::vector<std::pair<std::string, float>> settings;

    bool parse(int argc, char** argv) {
        for (int i = 1; i < argc; ++i) {
            const std::string a = argv[i];
            if (a == "--seconds" && i + 1 < argc) {
                seconds = std::atof(argv[++i]);
            } else if (a == "--repeats" && i + 1 < argc) {
                repeats = std::atoi(argv[++i]);
            } else if (a == "--set" && i + 1 < argc) {
                const std::string setting = argv[++i];
                const size_t equals = setting.find('=');
                if (equals == std::string::npos) return false;
                const float value = static_cast<float>(std::atof(setting.c_str() + equals + 1));
                settings.emplace_back(setting.substr(0, equals), value);
            } else if (plugin.empty()) {
                plugin = a;
            } else {
                const int block = std::atoi(a.c_str());
                if (block < 1) return false;
                blocks.push_back(block);
            }
        }
        if (blocks.empty()) blocks = {32, 512, 4096};
        return !plugin.empty() && seconds > 0.0 && repeats > 0;
    }
};

// Heavy compression on noise: the lowest threshold and the largest ratio, found by name, then the
// extra settings.
bool setHeavyCompression(PluginHost& host, int block, const TimerOptions& options) {
    const VstInt32 threshold = host.findParameter("CompThreshold");
    const VstInt32 ratio = host.findParameter("CompRatio");
    if (threshold < 0 || ratio < 0) return false;
    host.setSampleRate(static_cast<float>(kSampleRate));
    host.setBlockSize(block);
    host.setParameter(threshold, 0.0f);
    host.setParameter(ratio, 1.0f);
    for (const auto& setting : options.settings) {
        const VstInt32 index = host.findParameter(setting.first);
        if (index < 0) return false;
        host.setParameter(index, setting.second);
    }
    host.setMains(true);
    return true;
}

struct Timing {
    double best;
    double median;
};

// Nanoseconds per frame over `repeats` runs of about `seconds` each, cycling through a second of
// noise so the branches see fresh data.
Timing timeBlock(AEffect* effect, int block, const TimerOptions& options) {
    using Clock = std::chrono::steady_clock;
    const size_t span = kSampleRate;
    std::vector<float> left = whiteNoise(span + block, 0.9f, 1), right = whiteNoise(span + block, 0.9f, 2);
    std::vector<float> outL(block), outR(block);
    size_t offset = 0;
    auto runBlocks = [&](long count) {
        for (long b = 0; b < count; ++b) {
            float* inputs[2] = {left.data() + offset, right.data() + offset};
            float* outputs[2] = {outL.data(), outR.data()};
            effect->processReplacing(effect, inputs, outputs, block);
            offset += block;
            if (offset >= span) offset -= span;  // no division per block: it would count at block 32
        }
    };
    // Calibrate: enough blocks for the wanted time.
    long count = 1;
    for (;;) {
        const auto start = Clock::now();
        runBlocks(count);
        const double took = std::chrono::duration<double>(Clock::now() - start).count();
        if (took > 0.02) {
            count = std::max(1L, static_cast<long>(count * options.seconds / took));
            break;
        }
        count *= 4;
    }
    std::vector<double> perFrame;
    for (int r = 0; r < options.repeats; ++r) {
        const auto start = Clock::now();
        runBlocks(count);
        const double took = std::chrono::duration<double>(Clock::now() - start).count();
        perFrame.push_back(took * 1e9 / (static_cast<double>(count) * block));
    }
    std::sort(perFrame.begin(), perFrame.end());
    return {perFrame.front(), perFrame[perFrame.size() / 2]};
}

// Best nanoseconds per step of `chain` over `repeats` runs of `steps` steps.
template <typename Chain>
double bestPerStep(long steps, int repeats, Chain chain) {
    using Clock = std::chrono::steady_clock;
    double best = 1e30;
    for (int r = 0; r < repeats; ++r) {
        const auto start = Clock::now();
        chain(steps);
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count() * 1e9 / steps);
    }
    return best;
}

volatile double sink;

// The lower bound of a frame: the detector level's update (float to double, subtract, multiply, add,
// back to float) carries from each frame to the next, so no build can do a frame faster. Timed as this
// compiler builds it, next to a chain of dependent double additions (3 cycles each on current x86
// cores), which turns it into cycles.
void printFloor() {
    std::vector<float> envelope = whiteNoise(4096, 0.9f, 3);
    for (float& e : envelope) e = e < 0.0f ? -e : e;
    volatile double coefficient = 0.01;
    const double attack = coefficient, step = coefficient;
    const long steps = 200000;
    const double levelStep = bestPerStep(steps, 30, [&](long n) {
        float level = 0.0f;
        for (long i = 0; i < n; ++i) {
            level = static_cast<float>(level + (static_cast<double>(envelope[i & 4095]) - level) * attack);
        }
        sink = level;
    });
    const double addStep = bestPerStep(steps, 30, [&](long n) {
        double x = 0.0;
        for (long i = 0; i < n; ++i) x = x + step;
        sink = x;
    });
    std::printf("floor level_update_ns %.3f add_ns %.3f cycles %.1f\n", levelStep, addStep, 3.0 * levelStep / addStep);
}

}  // namespace

int main(int argc, char** argv) {
    TimerOptions options;
    if (!options.parse(argc, argv)) {
        std::fprintf(stderr, "usage: vozuv-plugin-timer PLUGIN [--seconds S] [--repeats N] [--set NAME=VALUE]... "
                             "[BLOCK...]\n");
        return 2;
    }
    PluginLibrary library;
    if (!library.open(options.plugin)) {
        std::fprintf(stderr, "vozuv-plugin-timer: %s\n", library.error().c_str());
        return 1;
    }
    for (int block : options.blocks) {
        // A fresh instance per block size, as a host restarting with another block size would have.
        PluginHost host;
        if (!host.instantiate(library.entry())) {
            std::fprintf(stderr, "vozuv-plugin-timer: %s\n", host.error().c_str());
            return 1;
        }
        if (!setHeavyCompression(host, block, options)) {
            std::fprintf(stderr, "vozuv-plugin-timer: the plug-in lacks CompThreshold, CompRatio or a --set name\n");
            return 1;
        }
        const Timing t = timeBlock(host.effect(), block, options);
        std::printf("block %d ns_per_frame %.3f median %.3f\n", block, t.best, t.median);
        std::fflush(stdout);
        host.setMains(false);
    }
    printFloor();
    return 0;
}
