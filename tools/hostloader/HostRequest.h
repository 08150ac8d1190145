// HostRequest: one call the plug-in made to the host callback, as the host saw and answered it.
#pragma once

#include <cstdint>
#include <string>

#include "framework/VstInterface.h"

struct HostRequest {
    const AEffect* effect = nullptr;
    VstInt32 opcode = 0;
    VstInt32 index = 0;
    VstIntPtr value = 0;
    const void* ptr = nullptr;
    std::string text;  // the text at ptr for requests that pass one (CanDo)
    float opt = 0.0f;
    uint64_t thread = 0;
    VstIntPtr answer = 0;

    // The arguments of one callback, before the host answers.
    static HostRequest of(const AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, const void* ptr,
                          float opt) {
        HostRequest request;
        request.effect = effect;
        request.opcode = opcode;
        request.index = index;
        request.value = value;
        request.ptr = ptr;
        request.opt = opt;
        return request;
    }
};
