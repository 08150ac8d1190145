// The DSP library's LV2 entry: the descriptor, its callbacks, and the exported lv2_descriptor.
#include <lv2/core/lv2.h>

#include "lv2/dsp/Lv2Plugin.h"

namespace {

// The plug-in needs no host feature and reads no file: the bundle path and features go unused.
LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const*) {
    return Lv2Plugin::create(sampleRate);
}

void connectPort(LV2_Handle instance, uint32_t port, void* data) {
    static_cast<Lv2Plugin*>(instance)->connectPort(port, data);
}

void activate(LV2_Handle instance) { static_cast<Lv2Plugin*>(instance)->activate(); }

void run(LV2_Handle instance, uint32_t frames) { static_cast<Lv2Plugin*>(instance)->run(frames); }

// Nothing is reset when a host stops the plug-in, as the effect's suspend does nothing.
void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle instance) { delete static_cast<Lv2Plugin*>(instance); }

const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor kDescriptor = {VOZUV_LV2_URI, instantiate, connectPort, activate, run, deactivate, cleanup,
                                    extensionData};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
