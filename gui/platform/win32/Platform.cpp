// The seam's free functions on Win32: tick count, sleep, OLE initialisation and one paint dispatch.
#include "gui/core/Platform.h"

#include <windows.h>
#include <ole2.h>

uint32_t platform::getTicks() { return GetTickCount(); }

void platform::sleepFor(uint32_t milliseconds) { Sleep(milliseconds); }

void platform::initialiseOle() { (void)OleInitialize(nullptr); }

void platform::uninitialiseOle() { OleUninitialize(); }

void platform::dispatchOnePaintMessage() {
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
}

uint32_t platform::getDoubleClickTime() { return GetDoubleClickTime(); }
