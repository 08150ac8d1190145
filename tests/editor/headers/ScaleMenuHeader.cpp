// Proves that editor/ScaleMenu.h compiles on its own.
#include "editor/ScaleMenu.h"
