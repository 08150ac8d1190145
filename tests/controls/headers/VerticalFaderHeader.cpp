// Proves that gui/controls/VerticalFader.h compiles on its own.
#include "gui/controls/VerticalFader.h"
