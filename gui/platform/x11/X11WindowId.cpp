// X11WindowId: the window id behind a plug-in window of the X11 backend.
#include "gui/platform/x11/X11WindowId.h"

#include "gui/core/PluginWindow.h"
#include "gui/platform/x11/X11EditorWindow.h"

uintptr_t X11WindowId::of(const PluginWindow* window) {
    if (!window) return 0;
    const X11EditorWindow* x11 = X11EditorWindow::fromImage(window->getChildWindow());
    return x11 && !x11->isGone() ? uintptr_t(x11->window()) : 0;
}
