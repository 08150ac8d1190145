// Proves that gui/controls/RotaryKnob.h compiles on its own.
#include "gui/controls/RotaryKnob.h"
