// Proves that gui/core/HostWindowRecord.h compiles on its own.
#include "gui/core/HostWindowRecord.h"
