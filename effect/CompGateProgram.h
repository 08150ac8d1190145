// CompGateProgram: one stored program, the 14 user parameter values and a name.
#pragma once

#include "effect/CompGateParameters.h"
#include "base/RelaxedAtomic.h"

struct CompGateProgram {
    static constexpr int kNameSize = 24;  // 23 characters and the terminator

    // Fresh programs hold every parameter's default and the name "Init".
    CompGateProgram();

    CompGateProgram(const CompGateProgram&) = delete;
    CompGateProgram& operator=(const CompGateProgram&) = delete;

    // Written by parameter sets, read by program switches, possibly on different host threads.
    RelaxedAtomic<float> values[kNumUserParameters];
    char name[kNameSize];

    // The default of each user parameter, in index order.
    static const float defaults[kNumUserParameters];
};

static_assert(sizeof(RelaxedAtomic<float>) == sizeof(float), "program values keep the plain record layout");
