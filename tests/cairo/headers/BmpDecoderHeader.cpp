// Proves that gui/platform/cairo/BmpDecoder.h compiles on its own.
#include "gui/platform/cairo/BmpDecoder.h"
