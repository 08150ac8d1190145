// The platform seam on X11: the monotonic clock, sleeping, exposures as the paint message.
#include "gui/core/Platform.h"

#include "gui/platform/x11/X11EditorWindow.h"

#include <time.h>

uint32_t platform::getTicks() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint32_t(uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u);
}

void platform::sleepFor(uint32_t milliseconds) {
    timespec wait{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0) {
    }
}

// No OLE on X11.
void platform::initialiseOle() {}
void platform::uninitialiseOle() {}

// The first editor window with an exposure waiting paints it.
void platform::dispatchOnePaintMessage() { X11EditorWindow::paintFirstExposed(); }

uint32_t platform::getDoubleClickTime() {
    X11EditorWindow* window = X11EditorWindow::first();
    return window ? window->doubleClickTime() : 400;
}
