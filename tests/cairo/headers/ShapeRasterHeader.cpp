// Proves that gui/platform/cairo/ShapeRaster.h compiles on its own.
#include "gui/platform/cairo/ShapeRaster.h"
