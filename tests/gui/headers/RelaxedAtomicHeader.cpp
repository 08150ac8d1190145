// Proves that gui/core/RelaxedAtomic.h compiles on its own.
#include "gui/core/RelaxedAtomic.h"
