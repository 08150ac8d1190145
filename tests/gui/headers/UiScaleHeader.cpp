// Proves that gui/core/UiScale.h compiles on its own.
#include "gui/core/UiScale.h"
