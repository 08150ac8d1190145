// Proves that gui/core/DrawSurface.h compiles on its own.
#include "gui/core/DrawSurface.h"
