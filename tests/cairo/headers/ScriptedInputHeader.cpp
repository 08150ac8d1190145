// Proves that gui/platform/cairo/ScriptedInput.h compiles on its own.
#include "gui/platform/cairo/ScriptedInput.h"
