// Proves that gui/core/UiTypes.h compiles on its own.
#include "gui/core/UiTypes.h"
