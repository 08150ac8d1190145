// The platform seam on X11: the monotonic clock, sleeping, exposures as the paint message.
#include "gui/core/Platform.h"

#include "gui/platform/x11/X11EditorWindow.h"

#include <time.h>

#include <cstdlib>
#include <cstring>

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

namespace {

// Xft.dpi from the server's resource database ("Xft.dpi:\t144"), 0 when it is not set.
double resourceDpi() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 0.0;
    double dpi = 0.0;
    if (const char* resources = XResourceManagerString(display)) {
        for (const char* line = resources; line && *line; line = std::strchr(line, '\n') ? std::strchr(line, '\n') + 1 : nullptr) {
            if (std::strncmp(line, "Xft.dpi:", 8) == 0) {
                dpi = std::strtod(line + 8, nullptr);
                break;
            }
        }
    }
    XCloseDisplay(display);
    return dpi > 0.0 && dpi < 10000.0 ? dpi : 0.0;
}

}  // namespace

// The desktop's scale: Xft.dpi (set by the desktop's font settings), else GDK_SCALE.
double platform::getSystemScale(NativeHandle) {
    if (const double dpi = resourceDpi(); dpi > 0.0) return dpi / 96.0;
    if (const char* gdk = std::getenv("GDK_SCALE")) {
        const int factor = std::atoi(gdk);
        if (factor >= 1 && factor <= 8) return factor;
    }
    return 1.0;
}
