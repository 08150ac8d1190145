// PortMap: the LV2 edition's ports, and how a control port's value maps onto the effect's 0..1 parameter.
#pragma once

#include <cstdint>

// How a control port's value reads: the unit the editor's read-out shows for it.
enum class PortUnit { None, Decibels, Milliseconds, Ratio };

class PortMap {
public:
    // Control inputs keep the effect's parameter indices (0 to 13); the meters follow in the effect's
    // meter order, then the audio ports.
    static constexpr uint32_t kFirstMeter = 14;  // input, output, gain reduction: indices 14, 15, 16
    static constexpr uint32_t kAudioIn = 17;     // left, right
    static constexpr uint32_t kAudioOut = 19;    // left, right
    static constexpr uint32_t kNumPorts = 21;

    static bool isParameter(uint32_t port) { return port < kFirstMeter; }
    static bool isMeter(uint32_t port) { return port >= kFirstMeter && port < kAudioIn; }
    // The parameters that change the sound; the other six are stored and shown, nothing more.
    static bool isAudible(uint32_t port);
    static PortUnit unit(uint32_t port);

    // The port's value in its unit for a 0..1 parameter value, and back. Parameters without a unit (the
    // filter corners, whose frequency depends on the rate, and the six stored-only ones) pass unchanged.
    static float toPortValue(uint32_t port, float parameter);
    static float toParameterValue(uint32_t port, float portValue);
};
