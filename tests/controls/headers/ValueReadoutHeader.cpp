// Proves that gui/controls/ValueReadout.h compiles on its own.
#include "gui/controls/ValueReadout.h"
