// The chained error handler of the editor's X connections.
#include "gui/platform/x11/X11ErrorGuard.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Touched only on the host's user-interface thread, where every editor call runs.
std::vector<std::pair<Display*, int>>& displays() {
    static std::vector<std::pair<Display*, int>> list;
    return list;
}

XErrorHandler previousHandler = nullptr;
bool installed = false;

}  // namespace

void X11ErrorGuard::addDisplay(Display* display) {
    displays().emplace_back(display, 0);
    if (!installed) {
        previousHandler = XSetErrorHandler(&X11ErrorGuard::handle);
        installed = true;
    }
}

void X11ErrorGuard::removeDisplay(Display* display) {
    auto& list = displays();
    list.erase(std::remove_if(list.begin(), list.end(), [display](const auto& e) { return e.first == display; }),
               list.end());
    if (!list.empty() || !installed) return;
    // Put the host's handler back, unless someone installed another one over ours meanwhile.
    XErrorHandler current = XSetErrorHandler(previousHandler);
    if (current != &X11ErrorGuard::handle) XSetErrorHandler(current);
    installed = false;
    previousHandler = nullptr;
}

int X11ErrorGuard::takeErrors(Display* display) {
    XSync(display, False);
    for (auto& entry : displays()) {
        if (entry.first == display) return std::exchange(entry.second, 0);
    }
    return 0;
}

int X11ErrorGuard::handle(Display* display, XErrorEvent* error) {
    for (auto& entry : displays()) {
        if (entry.first == display) {
            ++entry.second;
            return 0;
        }
    }
    return previousHandler ? previousHandler(display, error) : 0;
}
