// Proves that gui/core/ValueControl.h compiles on its own.
#include "gui/core/ValueControl.h"
