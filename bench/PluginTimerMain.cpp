// vozuv-plugin-timer: the cost of processReplacing per stereo frame in a plug-in binary loaded as a
// host loads it: the native library here, a DLL when this program is built for Windows and run
// under Wine. One timing loop for every binary, so their figures compare.
//
// Usage: vozuv-plugin-timer PLUGIN [--seconds S] [--repeats N] [--set NAME=VALUE]... [BLOCK...]
//        vozuv-plugin-timer PLUGIN --automation [--repeats N]
//        vozuv-plugin-timer PLUGIN --create [--repeats N]
// (default blocks 32 512 4096; --set adds a parameter after the heavy compression, e.g. HPShelf=0.3 to
// time the loop with a detector filter on)
// Prints one line per block: "block N ns_per_frame BEST median MEDIAN". On a shared machine other work
// only ever adds time, so the best repeat is the steadiest figure; the median shows the spread.
// --automation times 64-frame blocks at 48 kHz under heavy compression, each right after a set of one
// parameter (moving it to and fro), as a host's audio thread does while an automation lane moves, against
// blocks without a set: "automation INDEX NAME ns_per_block MEDIAN ratio RATIO" per parameter, "none" for
// the plain block and "all" for a set of every parameter before each block.
// --create times main, effOpen and effClose of one instance, as a host's scan does, in rounds of 100
// instances: "create us_per_instance BEST median MEDIAN".
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
    bool automation = false;
    bool create = false;

    bool parse(int argc, char** argv) {
        for (int i = 1; i < argc; ++i) {
            const std::string a = argv[i];
            if (a == "--seconds" && i + 1 < argc) {
                seconds = std::atof(argv[++i]);
            } else if (a == "--automation") {
                automation = true;
            } else if (a == "--create") {
                create = true;
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

// Medians of 64-frame blocks after a set of each parameter, in rounds that take the parameters in turn so
// drift on a shared machine hits all of them alike. Each sample times 8 consecutive set-and-block pairs,
// which keeps the clock's own cost small beside a block.
int timeAutomation(AEffect* effect, PluginHost& host, int repeats) {
    constexpr int kBlock = 64, kBatch = 8, kSamplesPerRound = 25;
    const int parameters = effect->numParams < 14 ? effect->numParams : 14;
    using Clock = std::chrono::steady_clock;
    std::vector<float> left = whiteNoise(kSampleRate + kBlock, 0.9f, 1), right = whiteNoise(kSampleRate + kBlock, 0.9f, 2);
    std::vector<float> outL(kBlock), outR(kBlock);
    size_t offset = 0;
    // Each parameter moves between its value after the set-up and one 0.05 away, downwards where it can
    // (three parameters are held at an upper limit).
    std::vector<float> base(parameters), other(parameters);
    for (int p = 0; p < parameters; ++p) {
        base[p] = host.getParameter(p);
        other[p] = base[p] >= 0.05f ? base[p] - 0.05f : base[p] + 0.05f;
    }
    // Case -1: no set; 0 to 13: that parameter; `parameters`: every parameter.
    std::vector<std::vector<double>> perBlock(parameters + 2);
    long step = 0;
    auto block = [&](int which) {
        const bool toggle = (step++ & 1) != 0;
        if (which >= 0 && which < parameters) {
            effect->setParameter(effect, which, toggle ? other[which] : base[which]);
        } else if (which == parameters) {
            for (int p = 0; p < parameters; ++p) effect->setParameter(effect, p, toggle ? other[p] : base[p]);
        }
        float* inputs[2] = {left.data() + offset, right.data() + offset};
        float* outputs[2] = {outL.data(), outR.data()};
        effect->processReplacing(effect, inputs, outputs, kBlock);
        offset += kBlock;
        if (offset >= size_t(kSampleRate)) offset -= kSampleRate;
    };
    for (int round = 0; round < repeats; ++round) {
        for (int which = -1; which <= parameters; ++which) {
            for (int w = 0; w < 2 * kBatch; ++w) block(which);  // warm-up: caches and branches
            for (int n = 0; n < kSamplesPerRound; ++n) {
                const auto start = Clock::now();
                for (int b = 0; b < kBatch; ++b) block(which);
                perBlock[which + 1].push_back(std::chrono::duration<double>(Clock::now() - start).count() * 1e9 / kBatch);
            }
            // Back to the set-up values, so the next case starts from the same state.
            if (which >= 0) {
                for (int p = 0; p < parameters; ++p) effect->setParameter(effect, p, base[p]);
            }
        }
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double plain = median(perBlock[0]);
    std::printf("automation -1 none ns_per_block %.1f ratio 1.00\n", plain);
    for (int which = 0; which <= parameters; ++which) {
        const double t = median(perBlock[which + 1]);
        const std::string name = which < parameters ? host.parameterName(which) : "all";
        std::printf("automation %d %s ns_per_block %.1f ratio %.2f\n", which < parameters ? which : 99, name.c_str(),
                    t, t / plain);
    }
    return 0;
}

// Microseconds per instance created and closed without anything else asked of it.
int timeCreation(PluginMainProc entry, int repeats) {
    constexpr int kRound = 100;
    using Clock = std::chrono::steady_clock;
    std::vector<double> perInstance;
    for (int r = 0; r < repeats; ++r) {
        const auto start = Clock::now();
        for (int i = 0; i < kRound; ++i) {
            AEffect* effect = entry(&PluginHost::hostCallback);
            if (!effect) return 1;
            effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        }
        perInstance.push_back(std::chrono::duration<double>(Clock::now() - start).count() * 1e6 / kRound);
    }
    std::sort(perInstance.begin(), perInstance.end());
    std::printf("create us_per_instance %.2f median %.2f\n", perInstance.front(), perInstance[perInstance.size() / 2]);
    return 0;
}

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
    if (options.create) return timeCreation(library.entry(), options.repeats == 200 ? 10 : options.repeats);
    if (options.automation) {
        PluginHost host;
        if (!host.instantiate(library.entry())) {
            std::fprintf(stderr, "vozuv-plugin-timer: %s\n", host.error().c_str());
            return 1;
        }
        const VstInt32 threshold = host.findParameter("CompThreshold"), ratio = host.findParameter("CompRatio");
        if (threshold < 0 || ratio < 0) return 1;
        host.setSampleRate(48000.0f);
        host.setBlockSize(64);
        host.setParameter(threshold, 0.0f);
        host.setParameter(ratio, 1.0f);
        host.setMains(true);
        const int result = timeAutomation(host.effect(), host, options.repeats == 200 ? 40 : options.repeats);
        host.setMains(false);
        return result;
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
