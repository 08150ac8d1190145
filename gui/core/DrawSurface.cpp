// DrawSurface, neutral half: construction order, the default clip area and the drag wait.
#include "gui/core/DrawSurface.h"

#include "gui/core/PluginWindow.h"
#include "gui/core/WindowWatch.h"

DrawSurface::DrawSurface(PluginWindow* window, NativeHandle deviceContext, NativeHandle windowHandle)
    : deviceContext(deviceContext), windowHandle(windowHandle), window(window) {
    if (window) scale = window->getScale();
    clipArea = defaultClipArea();
    if (windowHandle) screenOrigin = getWindowScreenOrigin();
    // Out of memory half-way: the pen or brush made so far goes, as the destructor will not run.
    try {
        attachNative();
    } catch (...) {
        detachNative();
        throw;
    }
}

DrawSurface::~DrawSurface() { detachNative(); }

UiRect DrawSurface::defaultClipArea() const {
    UiRect area{0, 0, 1000, 1000};
    if (window) window->getBounds(area);
    return area;
}

void DrawSurface::resetClipArea() { setClipArea(defaultClipArea()); }

bool DrawSurface::waitForDrag() {
    if (!window) return false;
    WindowWatch watch(window);
    UiPoint start;
    getMousePosition(start);
    UiRect box{start.h - 2, start.v - 2, start.h + 2, start.v + 2};
    for (;;) {
        if (!(getMouseButtons() & MouseLeft)) return false;
        window->runEditorIdle();
        if (watch.windowClosed()) return false;  // the host closed the editor meanwhile
        UiPoint where;
        getMousePosition(where);
        if (!box.contains(where)) return true;
    }
}
