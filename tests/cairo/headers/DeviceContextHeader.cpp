// Proves that gui/platform/cairo/DeviceContext.h compiles on its own.
#include "gui/platform/cairo/DeviceContext.h"
