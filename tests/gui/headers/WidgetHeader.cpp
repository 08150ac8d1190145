// Proves that gui/core/Widget.h compiles on its own.
#include "gui/core/Widget.h"
