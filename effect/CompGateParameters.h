// Parameter indices of the compressor as the host and the editor address them.
#pragma once

#include "framework/VstInterface.h"

enum CompGateParameter : VstInt32 {
    kDelay = 0,
    kInputGain = 1,
    kLpShelf = 2,
    kHpShelf = 3,
    kGateThreshold = 4,
    kGateAttack = 5,
    kGateRelease = 6,
    kCompThreshold = 7,
    kCompRatio = 8,
    kCompAttack = 9,
    kCompRelease = 10,
    kCompMakeup = 11,
    kFeedBack = 12,
    kVolume = 13,
    kNumUserParameters = 14,
    // Channels from the signal chain to the editor's meters; never stored.
    kMeterInput = 14,
    kMeterOutput = 15,
    kMeterGain = 16,
    kNumParameters = 17,
};

constexpr VstInt32 kNumPrograms = 16;
