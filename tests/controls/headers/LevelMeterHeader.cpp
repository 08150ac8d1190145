// Proves that gui/controls/LevelMeter.h compiles on its own.
#include "gui/controls/LevelMeter.h"
