// Proves that gui/platform/cairo/HeadlessResources.h compiles on its own.
#include "gui/platform/cairo/HeadlessResources.h"
