// The platform seam: services every gui backend supplies, one implementation per backend folder.
#pragma once

#include <cstdint>

namespace platform {

// The module instance handle of the library (stored by the module entry; null in programs that link the
// toolkit directly, where backends fall back to the program's own module).
void setModuleInstance(void* instance);
void* getModuleInstance();

// Milliseconds since system start (GetTickCount on Win32; the scripted clock on the headless backend).
uint32_t getTicks();

// Suspends the calling thread (Sleep on Win32; advances the scripted clock on the headless backend).
void sleepFor(uint32_t milliseconds);

// OLE initialisation of the calling thread for the editor's drag and drop; results are ignored.
void initialiseOle();
void uninitialiseOle();

// Removes and dispatches at most one waiting paint message of the calling thread.
void dispatchOnePaintMessage();

}  // namespace platform
