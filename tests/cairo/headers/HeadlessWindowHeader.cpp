// Proves that gui/platform/cairo/HeadlessWindow.h compiles on its own.
#include "gui/platform/cairo/HeadlessWindow.h"
