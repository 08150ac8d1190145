// Proves that gui/core/ControlListener.h compiles on its own.
#include "gui/core/ControlListener.h"
