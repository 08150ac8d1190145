// Proves that gui/platform/cairo/HeadlessSystem.h compiles on its own.
#include "gui/platform/cairo/HeadlessSystem.h"
