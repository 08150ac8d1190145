// Proves that gui/controls/ValueSteps.h compiles on its own.
#include "gui/controls/ValueSteps.h"
