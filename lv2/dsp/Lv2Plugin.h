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

    // Inline: hosts connect the audio ports before every block.
    void connectPort(uint32_t port, void* data) noexcept {
        float* buffer = static_cast<float*>(data);
        if (port >= PortMap::kAudioOut) {
            if (port < PortMap::kNumPorts) audioOut[port - PortMap::kAudioOut] = buffer;
        } else if (port >= PortMap::kAudioIn) {
            audioIn[port - PortMap::kAudioIn] = buffer;
        } else if (PortMap::isMeter(port)) {
            meters[port - PortMap::kFirstMeter] = buffer ? buffer : &unconnected[port];
        } else {
            controls[port] = buffer ? buffer : &unconnected[port];
        }
    }
    void activate() noexcept;
    // Port changes since the last run reach the effect as parameter sets, then the block runs.
    void run(uint32_t frames) noexcept;

    CompGateEffect& effect() { return compressor; }

private:
    Lv2Plugin();

    __attribute__((always_inline)) void takeControlPorts();
    __attribute__((noinline)) void takeControlPort(uint32_t port, uint32_t bits);
    __attribute__((noinline)) void runLong(uint32_t frames, uint32_t part);

    static constexpr uint32_t kMeters = PortMap::kAudioIn - PortMap::kFirstMeter;

    CompGateEffect compressor;
    // Ports the host has not connected point at values of the instance's own (the defaults, a scratch
    // meter), so the block reads and writes them without a test.
    const float* controls[PortMap::kFirstMeter] = {};
    float* meters[kMeters] = {};
    float unconnected[PortMap::kFirstMeter + kMeters] = {};
    float* audioIn[2] = {};
    float* audioOut[2] = {};
    // Each control port's value at the last run, and the parameter value the effect last took from it,
    // as bit patterns: an unchanged port is not mapped again, and a value that maps onto the parameter
    // the effect holds (a host's default written with fewer digits) sets nothing.
    uint32_t seen[PortMap::kFirstMeter] = {};
    uint32_t taken[PortMap::kFirstMeter] = {};
};
