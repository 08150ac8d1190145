// Proves that gui/core/OffscreenSurface.h compiles on its own.
#include "gui/core/OffscreenSurface.h"
