// EffectBase: the host services of the first interface generation.
#include "framework/EffectBase.h"

VstIntPtr EffectBase::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return hostCallback ? hostCallback(&effectRecord, opcode, index, value, ptr, opt) : 0;
}

void EffectBase::setParameterAutomated(VstInt32 index, float value) {
    // The effect stores the value first, so the host reads the new value back if it asks at once.
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 EffectBase::getHostVersion() {
    VstInt32 version = static_cast<VstInt32>(callHost(audioMasterVersion));
    return version == 0 ? 1 : version;
}

VstInt32 EffectBase::getHostCurrentId() {
    return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

VstIntPtr EffectBase::hostIdle() {
    return callHost(audioMasterIdle);
}

// The host answers 0 for a connected pin; without a host every pin counts as connected.
bool EffectBase::isInputConnected(VstInt32 input) {
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool EffectBase::isOutputConnected(VstInt32 output) {
    return callHost(audioMasterPinConnected, output, 1) == 0;
}
