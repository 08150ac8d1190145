// X11 input half of DrawSurface: pointer and buttons of the editor's X display, the window's screen
// origin, the double-click wait.
#include "gui/core/DrawSurface.h"

#include "gui/core/PluginWindow.h"
#include "gui/platform/x11/X11EditorWindow.h"

namespace {
// The X window behind a surface's plug-in window (offscreen surfaces share their window's).
X11EditorWindow* x11For(PluginWindow* window) {
    return window ? X11EditorWindow::fromImage(window->getChildWindow()) : nullptr;
}
}  // namespace

UiPoint DrawSurface::getWindowScreenOrigin() const {
    X11EditorWindow* x11 = X11EditorWindow::fromImage(windowHandle);
    return x11 ? x11->screenOrigin() : UiPoint{};
}

int32_t DrawSurface::getMouseButtons() {
    X11EditorWindow* x11 = x11For(window);
    return x11 ? x11->pollButtons() : 0;
}

void DrawSurface::getMousePosition(UiPoint& where) {
    X11EditorWindow* x11 = x11For(window);
    const UiPoint cursor = x11 ? x11->pointer() : UiPoint{};
    where = panelPoint(cursor, screenOrigin, scale);
}

bool DrawSurface::waitForDoubleClick() {
    X11EditorWindow* x11 = x11For(window);
    return x11 ? x11->waitForSecondClick() : false;
}
