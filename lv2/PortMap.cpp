// PortMap: port values in the read-outs' units, mapped by the same curves the signal chain uses.
#include "lv2/PortMap.h"

#include "effect/CompGateParameters.h"
#include "effect/ParameterCurves.h"

bool PortMap::isAudible(uint32_t port) {
    switch (port) {
        case kInputGain:
        case kLpShelf:
        case kHpShelf:
        case kCompThreshold:
        case kCompRatio:
        case kCompAttack:
        case kCompRelease:
        case kCompMakeup:
            return true;
        default:
            return false;
    }
}

PortUnit PortMap::unit(uint32_t port) {
    switch (port) {
        case kInputGain:
        case kCompThreshold:
        case kCompMakeup:
            return PortUnit::Decibels;
        case kCompAttack:
        case kCompRelease:
            return PortUnit::Milliseconds;
        case kCompRatio:
            return PortUnit::Ratio;
        default:
            return PortUnit::None;
    }
}

// Each mapping is worked in double precision and rounded once, so a value and its image map back to the
// same float wherever the curve allows.
float PortMap::toPortValue(uint32_t port, float parameter) {
    const double v = parameter;
    switch (port) {
        case kInputGain:
        case kCompMakeup:
            return static_cast<float>(gainDecibels(v));
        case kCompThreshold:
            return static_cast<float>(thresholdDecibels(v));
        case kCompRatio:
            return static_cast<float>(1.0 + 29.0 * v);
        case kCompAttack:
            return static_cast<float>(timeConstantSeconds(parameter, kAttackSpanMs) * 1000.0);
        case kCompRelease:
            return static_cast<float>(timeConstantSeconds(parameter, kReleaseSpanMs) * 1000.0);
        default:
            return parameter;
    }
}

float PortMap::toParameterValue(uint32_t port, float portValue) {
    const double x = portValue;
    switch (port) {
        case kInputGain:
        case kCompMakeup:
            return static_cast<float>(x / 40.0 + 0.5);
        case kCompThreshold:
            return static_cast<float>(x / 60.0 + 1.0);
        case kCompRatio:
            return static_cast<float>((x - 1.0) / 29.0);
        case kCompAttack:
        case kCompRelease: {
            // Inverse of timeConstantSeconds, with its single-precision constants.
            const double span = (port == kCompAttack ? kAttackSpanMs : kReleaseSpanMs) * static_cast<double>(0.001f);
            return static_cast<float>((x * 0.001 / span - static_cast<double>(0.01f)) / static_cast<double>(0.99f));
        }
        default:
            return portValue;
    }
}
