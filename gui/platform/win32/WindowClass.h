// The process-wide window class of the plug-in's child windows, its use count and the button-swap flag.
#pragma once

#include <windows.h>

#include <cstdint>

class WindowClass {
public:
    // Counts one more window; the first registers the class ("Plugin%08x" of the module instance, global,
    // arrow cursor, button-face background) and reads the system's button swap.
    static void acquire(WNDPROC procedure);
    // Counts one window less; the last unregisters the class.
    static void release();

    static const char* name() { return className; }
    static int32_t useCount() { return count; }
    // True when the system swaps the primary and secondary mouse buttons (read at registration).
    static bool buttonsSwapped() { return swapped; }

private:
    static char className[32];
    static int32_t count;
    static bool swapped;
};
