// Proves that editor/CompGateFormats.h compiles on its own.
#include "editor/CompGateFormats.h"
