// Proves that gui/controls/Fader.h compiles on its own.
#include "gui/controls/Fader.h"
