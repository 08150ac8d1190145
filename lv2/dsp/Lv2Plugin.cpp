// Lv2Plugin: ports mapped onto the effect's parameter sets, resume and block.
#include "lv2/dsp/Lv2Plugin.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

}  // namespace

// The effect needs no host callback: it asks the host nothing it cannot do without.
Lv2Plugin::Lv2Plugin() : compressor(nullptr) {
    // A fresh effect's values are what the description declares as defaults: a host that sends them
    // changes nothing.
    for (uint32_t i = 0; i < PortMap::kFirstMeter; ++i) {
        const float value = compressor.getParameter(static_cast<VstInt32>(i));
        taken[i] = bitsOf(value);
        unconnected[i] = PortMap::toPortValue(i, value);
        seen[i] = bitsOf(unconnected[i]);
        controls[i] = &unconnected[i];
    }
    for (uint32_t i = 0; i < kMeters; ++i) meters[i] = &unconnected[PortMap::kFirstMeter + i];
}

Lv2Plugin* Lv2Plugin::create(double sampleRate) noexcept {
    const float rate = static_cast<float>(sampleRate);
    if (!(rate > 0.0f) || !std::isfinite(rate)) return nullptr;
    Lv2Plugin* plugin = nullptr;
    try {
        plugin = new (std::nothrow) Lv2Plugin();
    } catch (...) {
        return nullptr;
    }
    if (!plugin) return nullptr;
    // Without its programs (they answer no name) the effect never applied its defaults.
    char name[CompGateProgram::kNameSize];
    if (!plugin->compressor.getProgramNameIndexed(0, 0, name)) {
        delete plugin;
        return nullptr;
    }
    plugin->compressor.setSampleRate(rate);
    return plugin;
}

void Lv2Plugin::activate() noexcept {
    try {
        compressor.resume();
    } catch (...) {
    }
}

inline void Lv2Plugin::takeControlPorts() {
    for (uint32_t i = 0; i < PortMap::kFirstMeter; ++i) {
        const uint32_t bits = bitsOf(*controls[i]);
        if (__builtin_expect(bits != seen[i], 0)) takeControlPort(i, bits);
    }
}

void Lv2Plugin::takeControlPort(uint32_t port, uint32_t bits) {
    seen[port] = bits;
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    const float parameter = PortMap::toParameterValue(port, value);
    if (bitsOf(parameter) == taken[port]) return;
    taken[port] = bitsOf(parameter);
    compressor.setParameter(static_cast<VstInt32>(port), parameter);
}

void Lv2Plugin::runLong(uint32_t frames, uint32_t part) {
    for (uint32_t done = 0; done < frames; done += part) {
        const uint32_t n = frames - done < part ? frames - done : part;
        float* inputs[2] = {audioIn[0] ? audioIn[0] + done : nullptr, audioIn[1] ? audioIn[1] + done : nullptr};
        float* outputs[2] = {audioOut[0] ? audioOut[0] + done : nullptr, audioOut[1] ? audioOut[1] + done : nullptr};
        compressor.processReplacing(inputs, outputs, static_cast<VstInt32>(n));
    }
}

void Lv2Plugin::run(uint32_t frames) noexcept {
    try {
        takeControlPorts();
        // The chain takes the host's count as a signed one; a longer block runs in parts.
        constexpr uint32_t kLongest = 1u << 30;
        if (__builtin_expect(frames <= kLongest, 1)) {
            compressor.processReplacing(audioIn, audioOut, static_cast<VstInt32>(frames));
        } else {
            runLong(frames, kLongest);
        }
        const BlockMeters& shown = compressor.lastMeters();
        *meters[0] = shown.peak;
        *meters[1] = shown.peakAfterGain;
        *meters[2] = shown.gain;
    } catch (...) {
    }
}
