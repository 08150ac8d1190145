// The platform seam on X11: the monotonic clock, sleeping, exposures as the paint message, and the
// desktop's display scale (getSystemScale) read through one connection for the whole process.
#include "gui/core/Platform.h"

#include "gui/platform/x11/X11EditorWindow.h"

#include <X11/Xatom.h>
#include <time.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

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

// One connection for reading the desktop's resources, opened at the first question and kept for the
// process: an instance of its own would cost a connection per instance, and on a server with no other
// client each one's close resets the server. Closed when the library is unloaded, so a host that loads and
// unloads it keeps no connection of it.
struct ScaleConnection {
    Display* const display = XOpenDisplay(nullptr);
    ~ScaleConnection() {
        if (display) XCloseDisplay(display);
    }
};

Display* scaleConnection() {
    static const ScaleConnection connection;
    return connection.display;
}

// Xft.dpi from the server's resource database ("Xft.dpi:\t144"), 0 when it is not set. The root window's
// property is read afresh each time: the desktop may have changed it since the connection was made.
double resourceDpi() {
    static std::mutex lock;  // one user of the connection at a time: Xlib's own locks are not set up
    const std::lock_guard<std::mutex> hold(lock);
    Display* display = scaleConnection();
    if (!display) return 0.0;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    double dpi = 0.0;
    if (XGetWindowProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, 0, 1 << 20, False, XA_STRING,
                           &type, &format, &items, &left, &data) == Success &&
        data && type == XA_STRING && format == 8) {
        // Xlib ends the data with a zero byte of its own.
        for (const char* line = reinterpret_cast<const char*>(data); line && *line;
             line = std::strchr(line, '\n') ? std::strchr(line, '\n') + 1 : nullptr) {
            if (std::strncmp(line, "Xft.dpi:", 8) == 0) {
                dpi = std::strtod(line + 8, nullptr);
                break;
            }
        }
    }
    if (data) XFree(data);
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
