// CompGateDisplay: the number and unit an audio parameter shows, in the host's display and the editor.
#pragma once

#include "framework/VstInterface.h"

struct ParameterText {
    char number[16];  // at most 8 characters, the host display's size
    char unit[8];     // the host's label: "dB", "Hz", "kHz", "ms" or empty
};

// What the signal chain does with the value at the given rate: gains and threshold in dB, filter corners
// in Hz or kHz ("off" when the section is switched off), the ratio as "3.9:1", time constants in ms.
// False, with nothing written, for the parameters that take no part in the audio.
bool describeParameter(VstInt32 index, float value, float sampleRate, ParameterText& text);

// The read-out's line: the number followed by its unit.
void formatParameterLine(const ParameterText& text, char* line);
