// CompGateProgram: defaults of a fresh program.
#include "effect/CompGateProgram.h"

#include <cstring>

const float CompGateProgram::defaults[kNumUserParameters] = {
    0.5f,   // Delay
    0.5f,   // InputGain
    1.0f,   // LPShelf
    0.0f,   // HPShelf
    0.0f,   // GateThreshold
    0.1f,   // GateAttack
    0.5f,   // GateRelease
    1.0f,   // CompThreshold
    0.1f,   // CompRatio
    0.1f,   // CompAttack
    0.2f,   // CompRelease
    0.5f,   // CompMakeup
    0.5f,   // FeedBack
    0.75f,  // Volume
};

CompGateProgram::CompGateProgram() {
    for (int i = 0; i < kNumUserParameters; ++i) values[i] = defaults[i];
    std::memset(name, 0, sizeof(name));
    std::strcpy(name, "Init");
}
