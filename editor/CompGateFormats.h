// The editor's value-to-text converter: a parameter value to the line its read-out shows.
#pragma once

#include "framework/VstInterface.h"

class EffectBase;

// What a read-out shows: which parameter, and the effect whose sample rate places its filter corners.
struct ReadoutSource {
    EffectBase* effect;
    VstInt32 parameter;
};

// Converter with data (a ReadoutSource): the host display's number and label on one line, "-12.0 dB",
// "1.23 kHz", "3.9:1", "16.4 ms".
void formatReadout(float value, char* text, void* source);
