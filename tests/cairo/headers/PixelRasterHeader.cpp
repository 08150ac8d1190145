// Proves that gui/platform/cairo/PixelRaster.h compiles on its own.
#include "gui/platform/cairo/PixelRaster.h"
