// Proves that editor/CompGateEditor.h compiles on its own.
#include "editor/CompGateEditor.h"
