// Process-wide module instance handle, shared by every backend.
#include "gui/core/Platform.h"

namespace {
void* moduleInstance = nullptr;  // written by the module entry under the loader lock, read afterwards
}

void platform::setModuleInstance(void* instance) { moduleInstance = instance; }
void* platform::getModuleInstance() { return moduleInstance; }
