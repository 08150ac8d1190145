// Proves that gui/core/WidgetGroup.h compiles on its own.
#include "gui/core/WidgetGroup.h"
