// Test stand-ins for the compressor tests: a host callback, an instance held through its record, and an
// editor that records what the effect hands to it.
#pragma once

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/WhiteNoise.h"
#include "effect/CompGatePlugin.h"
#include "framework/GuiEditor.h"
#include "framework/VstInterface.h"

namespace effecttest {

// What the host answers to audioMasterVersion; every other request is answered 0.
inline VstIntPtr hostVersionAnswer = 2400;
inline int hostVersionQueries = 0;

inline VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) {
        ++hostVersionQueries;
        return hostVersionAnswer;
    }
    return 0;
}

// An editor that keeps every value the effect sends it, in order.
class RecordingEditor : public GuiEditor {
public:
    explicit RecordingEditor(EffectBase* effect) : GuiEditor(effect) {}
    void setParameter(VstInt32 index, float value) override { received.emplace_back(index, value); }
    std::vector<std::pair<VstInt32, float>> received;
};

// Puts a recording editor in place of the instance's own one (which is destroyed).
inline RecordingEditor* attachRecordingEditor(EffectBaseExt& effect) {
    delete effect.getEditor();
    return new RecordingEditor(&effect);  // enters itself; owned by the effect
}

// One plug-in instance as a host holds it: created through the entry, closed through the dispatcher.
class Instance {
public:
    Instance() : record(CompGatePlugin::createInstance(hostCallback)) {}
    ~Instance() {
        if (record) record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    CompGatePlugin& plugin() const { return *static_cast<CompGatePlugin*>(EffectBase::fromRecord(record)); }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    void set(VstInt32 index, float value) const { record->setParameter(record, index, value); }
    float get(VstInt32 index) const { return record->getParameter(record, index); }

    // A text opcode's result; "<untouched>" when nothing was written.
    std::string text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0) const {
        char buffer[256];
        std::strcpy(buffer, "<untouched>");
        dispatch(opcode, index, value, buffer);
        return buffer;
    }

    // Processes one block in place of a host; out1 may be left out to pass a null right output.
    void process(const float* in0, const float* in1, float* out0, float* out1, VstInt32 frames) const {
        float* inputs[2] = {const_cast<float*>(in0), const_cast<float*>(in1)};
        float* outputs[2] = {out0, out1};
        record->processReplacing(record, inputs, outputs, frames);
    }

    AEffect* record;
};

inline uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

}  // namespace effecttest
