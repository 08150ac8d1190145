// Proves that gui/core/Platform.h compiles on its own.
#include "gui/core/Platform.h"
