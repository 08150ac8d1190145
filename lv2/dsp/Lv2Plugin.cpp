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
        seen[i] = bitsOf(PortMap::toPortValue(i, value));
    }
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

void Lv2Plugin::connectPort(uint32_t port, void* data) noexcept {
    if (PortMap::isParameter(port)) {
        controls[port] = static_cast<const float*>(data);
    } else if (PortMap::isMeter(port)) {
        meters[port - PortMap::kFirstMeter] = static_cast<float*>(data);
    } else if (port >= PortMap::kAudioIn && port < PortMap::kAudioOut) {
        audioIn[port - PortMap::kAudioIn] = static_cast<float*>(data);
    } else if (port >= PortMap::kAudioOut && port < PortMap::kNumPorts) {
        audioOut[port - PortMap::kAudioOut] = static_cast<float*>(data);
    }
}

void Lv2Plugin::activate() noexcept {
    try {
        compressor.resume();
    } catch (...) {
    }
}

void Lv2Plugin::takeControlPorts() {
    for (uint32_t i = 0; i < PortMap::kFirstMeter; ++i) {
        if (!controls[i]) continue;
        const float value = *controls[i];
        const uint32_t bits = bitsOf(value);
        if (bits == seen[i]) continue;
        seen[i] = bits;
        const float parameter = PortMap::toParameterValue(i, value);
        if (bitsOf(parameter) == taken[i]) continue;
        taken[i] = bitsOf(parameter);
        compressor.setParameter(static_cast<VstInt32>(i), parameter);
    }
}

void Lv2Plugin::run(uint32_t frames) noexcept {
    try {
        takeControlPorts();
        // The chain takes the host's count as a signed one; a longer block runs in parts.
        constexpr uint32_t kLongest = 1u << 30;
        for (uint32_t done = 0; done < frames;) {
            const uint32_t n = frames - done < kLongest ? frames - done : kLongest;
            float* inputs[2] = {audioIn[0] ? audioIn[0] + done : nullptr, audioIn[1] ? audioIn[1] + done : nullptr};
            float* outputs[2] = {audioOut[0] ? audioOut[0] + done : nullptr,
                                 audioOut[1] ? audioOut[1] + done : nullptr};
            compressor.processReplacing(inputs, outputs, static_cast<VstInt32>(n));
            done += n;
        }
        const BlockMeters& shown = compressor.lastMeters();
        const float values[3] = {shown.peak, shown.peakAfterGain, shown.gain};
        for (int i = 0; i < 3; ++i) {
            if (meters[i]) *meters[i] = values[i];
        }
    } catch (...) {
    }
}
