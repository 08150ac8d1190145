// Proves that gui/core/Pixmap.h compiles on its own.
#include "gui/core/Pixmap.h"
