// Proves that gui/core/PluginWindow.h compiles on its own.
#include "gui/core/PluginWindow.h"
