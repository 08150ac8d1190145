// vozuv-lv2-timer: the LV2 DSP library's run against the VST 2 library's processReplacing, both loaded as
// hosts load them, in one process and in alternating turns, so that drift on a shared machine hits both.
//
// Usage: vozuv-lv2-timer VST_LIBRARY.so LV2_DSP_LIBRARY.so [--repeats N]
// Prints "block N vst BEST lv2 BEST ratio R" (best ns per stereo frame, blocks 32, 512 and 4096, heavy
// compression on noise), then "port INDEX NAME ns_per_block MEDIAN ratio R" for 64-frame blocks run right
// after one control port changed, against "port -1 none" (no change).
#include <dlfcn.h>
#include <lv2/core/lv2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/WhiteNoise.h"
#include "effect/CompGateParameters.h"
#include "lv2/PortMap.h"
#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginLibrary.h"

namespace {

constexpr int kRate = 44100;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// One LV2 instance with every port connected, its controls at the VST 2 instance's values.
struct Lv2Instance {
    const LV2_Descriptor* descriptor = nullptr;
    LV2_Handle handle = nullptr;
    float controls[PortMap::kFirstMeter] = {};
    float meters[3] = {};

    bool open(const char* path, PluginHost& vst) {
        void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        auto entry = library ? reinterpret_cast<const LV2_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2_descriptor")) : nullptr;
        descriptor = entry ? entry(0) : nullptr;
        handle = descriptor ? descriptor->instantiate(descriptor, kRate, "", nullptr) : nullptr;
        if (!handle) return false;
        for (uint32_t i = 0; i < PortMap::kFirstMeter; ++i) {
            controls[i] = PortMap::toPortValue(i, vst.getParameter(static_cast<VstInt32>(i)));
            descriptor->connect_port(handle, i, &controls[i]);
        }
        for (uint32_t i = 0; i < 3; ++i) descriptor->connect_port(handle, PortMap::kFirstMeter + i, &meters[i]);
        descriptor->activate(handle);
        return true;
    }
    void run(float* inL, float* inR, float* outL, float* outR, uint32_t frames) {
        descriptor->connect_port(handle, PortMap::kAudioIn, inL);
        descriptor->connect_port(handle, PortMap::kAudioIn + 1, inR);
        descriptor->connect_port(handle, PortMap::kAudioOut, outL);
        descriptor->connect_port(handle, PortMap::kAudioOut + 1, outR);
        descriptor->run(handle, frames);
    }
};

// A second of noise the blocks cycle through, so the branches see fresh data.
struct Signal {
    std::vector<float> left = whiteNoise(kRate + 4096, 0.9f, 1), right = whiteNoise(kRate + 4096, 0.9f, 2);
    std::vector<float> outL = std::vector<float>(4096), outR = std::vector<float>(4096);
    size_t offset = 0;
    void advance(int block) {
        offset += static_cast<size_t>(block);
        if (offset >= size_t(kRate)) offset -= kRate;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: vozuv-lv2-timer VST_LIBRARY.so LV2_DSP_LIBRARY.so [--repeats N]\n");
        return 2;
    }
    const int repeats = argc > 4 && std::string(argv[3]) == "--repeats" ? std::max(1, std::atoi(argv[4])) : 200;
    PluginLibrary library;
    PluginHost vst;
    if (!library.open(argv[1]) || !vst.instantiate(library.entry())) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    // Heavy compression: the lowest threshold and the largest ratio.
    vst.setSampleRate(static_cast<float>(kRate));
    vst.setBlockSize(4096);
    vst.setParameter(kCompThreshold, 0.0f);
    vst.setParameter(kCompRatio, 1.0f);
    vst.setMains(true);
    Lv2Instance lv2;
    if (!lv2.open(argv[2], vst)) {
        std::fprintf(stderr, "cannot instantiate %s\n", argv[2]);
        return 1;
    }
    AEffect* effect = vst.effect();
    Signal signal;
    auto vstBlock = [&](int block) {
        float* inputs[2] = {signal.left.data() + signal.offset, signal.right.data() + signal.offset};
        float* outputs[2] = {signal.outL.data(), signal.outR.data()};
        effect->processReplacing(effect, inputs, outputs, block);
        signal.advance(block);
    };
    auto lv2Block = [&](int block) {
        lv2.run(signal.left.data() + signal.offset, signal.right.data() + signal.offset, signal.outL.data(),
                signal.outR.data(), static_cast<uint32_t>(block));
        signal.advance(block);
    };

    // Per-frame cost: turns of 16384 frames each, alternating, the best turn of each.
    for (const int block : {32, 512, 4096}) {
        const long count = std::max(1L, 16384L / block);
        double best[2] = {1e30, 1e30};
        for (int r = 0; r < repeats; ++r) {
            for (int which = 0; which < 2; ++which) {
                const auto start = Clock::now();
                for (long b = 0; b < count; ++b) which == 0 ? vstBlock(block) : lv2Block(block);
                best[which] = std::min(best[which], secondsSince(start) * 1e9 / (double(count) * block));
            }
        }
        std::printf("block %d vst %.3f lv2 %.3f ratio %.3f\n", block, best[0], best[1], best[1] / best[0]);
    }

    // 64-frame blocks right after one port moved to and fro by a twentieth of its parameter's travel, in
    // rounds over every port; 8 pairs per clock reading.
    constexpr int kBlock = 64, kBatch = 8;
    std::vector<std::vector<double>> perBlock(PortMap::kFirstMeter + 1);
    float base[PortMap::kFirstMeter], other[PortMap::kFirstMeter];
    for (uint32_t p = 0; p < PortMap::kFirstMeter; ++p) {
        const float v = vst.getParameter(static_cast<VstInt32>(p));
        base[p] = lv2.controls[p];
        other[p] = PortMap::toPortValue(p, v >= 0.05f ? v - 0.05f : v + 0.05f);
    }
    long step = 0;
    for (int r = 0; r < repeats / 8 + 1; ++r) {
        for (int which = -1; which < int(PortMap::kFirstMeter); ++which) {
            for (int n = 0; n < 25; ++n) {
                const auto start = Clock::now();
                for (int b = 0; b < kBatch; ++b) {
                    if (which >= 0) lv2.controls[which] = (step++ & 1) ? other[which] : base[which];
                    lv2Block(kBlock);
                }
                perBlock[which + 1].push_back(secondsSince(start) * 1e9 / kBatch);
            }
            if (which >= 0) lv2.controls[which] = base[which];
        }
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double plain = median(perBlock[0]);
    std::printf("port -1 none ns_per_block %.1f ratio 1.00\n", plain);
    for (uint32_t p = 0; p < PortMap::kFirstMeter; ++p) {
        char name[32] = {};
        effect->dispatcher(effect, effGetParamName, static_cast<VstInt32>(p), 0, name, 0.0f);
        const double m = median(perBlock[p + 1]);
        std::printf("port %u %s ns_per_block %.1f ratio %.2f\n", p, name, m, m / plain);
    }
    return 0;
}
