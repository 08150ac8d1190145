// Proves that gui/platform/cairo/HeadlessFont.h compiles on its own.
#include "gui/platform/cairo/HeadlessFont.h"
