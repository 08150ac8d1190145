// Wheel and arrow-key steps of a control's value, shared by the knobs and the faders.
#pragma once

#include <cstdint>

#include "gui/core/UiTypes.h"

class DrawSurface;
class ValueControl;

// A notch moves the value by distance × wheelStep (a tenth of it with Shift down); false when the control
// is not mouse-enabled.
bool stepValueByWheel(ValueControl& control, DrawSurface* surface, float distance);
// Left and down step by -wheelStep, up and right by +wheelStep (a tenth with the Shift modifier), whether
// or not the control takes the mouse; 1 when handled, -1 for any other key.
int32_t stepValueByKey(ValueControl& control, const UiKey& key);
