// Lv2Plugin: one LV2 instance: the compressor without its editor, driven through the bundle's ports.
#pragma once

#include <cstdint>

#include "effect/CompGateEffect.h"
#include "lv2/PortMap.h"

class Lv2Plugin {
public:
    // A new instance at this rate, or null when the rate is unusable or the effect could not be built.
    // Allocates the instance and nothing else; nothing thrown escapes.
    static Lv2Plugin* create(double sampleRate) noexcept;

    Lv2Plugin(const Lv2Plugin&) = delete;
    Lv2Plugin& operator=(const Lv2Plugin&) = delete;

    void connectPort(uint32_t port, void* data) noexcept;
    void activate() noexcept;
    // Port changes since the last run reach the effect as parameter sets, then the block runs.
    void run(uint32_t frames) noexcept;

    CompGateEffect& effect() { return compressor; }

private:
    Lv2Plugin();

    void takeControlPorts();

    CompGateEffect compressor;
    const float* controls[PortMap::kFirstMeter] = {};
    float* meters[PortMap::kAudioIn - PortMap::kFirstMeter] = {};
    float* audioIn[2] = {};
    float* audioOut[2] = {};
    // Each control port's value at the last run, and the parameter value the effect last took from it,
    // as bit patterns: an unchanged port is not mapped again, and a value that maps onto the parameter
    // the effect holds (a host's default written with fewer digits) sets nothing.
    uint32_t seen[PortMap::kFirstMeter] = {};
    uint32_t taken[PortMap::kFirstMeter] = {};
};
