// Registration of the child-window class, shared by every plug-in window of the module.
#include "gui/platform/win32/WindowClass.h"

#include <cstdio>

#include "gui/platform/win32/Win32Handles.h"

char WindowClass::className[32] = "";
int32_t WindowClass::count = 0;
bool WindowClass::swapped = false;

void WindowClass::acquire(WNDPROC procedure) {
    if (++count != 1) return;
    HINSTANCE instance = win32::moduleInstance();
    // The instance handle in 8 hex digits; a 64-bit build keeps its low 32 bits.
    std::snprintf(className, sizeof className, "Plugin%08x",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(instance)));
    WNDCLASSA description{};
    description.style = CS_GLOBALCLASS;
    description.lpfnWndProc = procedure;
    description.hInstance = instance;
    description.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    description.lpszClassName = className;
    RegisterClassA(&description);  // a class left over from an earlier registration is as good
    swapped = GetSystemMetrics(SM_SWAPBUTTON) > 0;
}

void WindowClass::release() {
    if (count <= 0) return;
    if (--count == 0) UnregisterClassA(className, win32::moduleInstance());
}
