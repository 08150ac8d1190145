// The editor's value-to-text converter.
#include "editor/CompGateFormats.h"

#include "effect/CompGateDisplay.h"
#include "framework/EffectBase.h"

void formatReadout(float value, char* text, void* source) {
    const ReadoutSource& from = *static_cast<const ReadoutSource*>(source);
    ParameterText shown;
    if (describeParameter(from.parameter, value, from.effect->getSampleRate(), shown)) {
        formatParameterLine(shown, text);
    } else {
        text[0] = '\0';
    }
}
