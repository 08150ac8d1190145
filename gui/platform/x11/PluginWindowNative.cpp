// X11 native half of PluginWindow: the child window inside the host's X11 window, its events read at
// idle, the pointer and the cursor. The toolkit's window handle is the window's Cairo image, so the
// shared drawing code serves it unchanged; the X side lives in nativeState.
#include "gui/core/PluginWindow.h"

#include "gui/core/DrawSurface.h"
#include "gui/platform/cairo/DeviceContext.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "gui/platform/x11/X11EditorWindow.h"

#include <cstdint>

namespace {

// No blending library to load: the Cairo code blends by itself. A token marks it as present.
int blendToken = 0;
// Cursor handles: a token for "the parent's cursor", the only one ever saved.
int parentCursor = 0;

X11EditorWindow* x11Of(NativeHandle state) { return static_cast<X11EditorWindow*>(state); }

}  // namespace

void PluginWindow::loadBlendLibrary() { blendLibrary = &blendToken; }

void PluginWindow::freeBlendLibrary() { blendLibrary = nullptr; }

bool PluginWindow::createChildWindow(NativeHandle parent) {
    if (!parent) return false;
    // Linux hosts pass the X11 Window id itself as the pointer.
    X11EditorWindow* window =
        X11EditorWindow::create(Window(reinterpret_cast<uintptr_t>(parent)), getDeviceWidth(), getDeviceHeight(), this);
    if (!window) return false;
    nativeState = window;
    childWindow = window->image();
    setDropActive(true);
    return true;
}

void PluginWindow::destroyChildWindow() {
    delete x11Of(nativeState);
    nativeState = nullptr;
    childWindow = nullptr;
}

void PluginWindow::handleNativeEvents() {
    if (X11EditorWindow* window = x11Of(nativeState)) window->handleEvents();
}

// A drag goes on across the host's idle calls, one event at a time: a host's call never waits for the
// user to let go.
bool PluginWindow::followsDragEvents() { return true; }

DrawSurface* PluginWindow::beginTemporarySurface() {
    if (currentSurface) return currentSurface;
    HeadlessWindow* image = HeadlessWindow::fromHandle(childWindow);
    if (!image) return nullptr;
    return DeviceContext::newSurface(this, image);
}

void PluginWindow::endTemporarySurface(DrawSurface* surface) {
    if (!surface || surface == currentSurface) return;
    DeviceContext* dc = DeviceContext::fromHandle(surface->deviceContext);
    delete surface;
    DeviceContext::release(dc);
    if (X11EditorWindow* window = x11Of(nativeState)) window->show();
}

bool PluginWindow::getCursorPosition(UiPoint& where) {
    X11EditorWindow* window = x11Of(nativeState);
    if (!window) return true;
    where = DrawSurface::panelPoint(window->pointer(), window->screenOrigin(), scale);
    return true;
}

void PluginWindow::setCursor(int32_t kind) {
    if (!savedCursor) savedCursor = &parentCursor;
    if (X11EditorWindow* window = x11Of(nativeState)) window->setCursorShape(kind);
}

// X11 has no drop protocol of its own (XDND is a desktop convention); the editor takes no drops here.
bool PluginWindow::setDropActive(bool flag) {
    dropActive = false;
    return !flag;
}

// The X11 window tree belongs to the host and its window manager: host frames are not looked for,
// moved or resized from here.
NativeHandle PluginWindow::findHostFrame() { return nullptr; }

bool PluginWindow::getPosition(int32_t&, int32_t&) { return false; }

bool PluginWindow::getSize(UiRect&) { return false; }

void PluginWindow::resizeChildWindow(int32_t width, int32_t height) {
    if (X11EditorWindow* window = x11Of(nativeState)) window->resize(width, height);
}

void PluginWindow::resizeWindowChain(int32_t width, int32_t height) { resizeChildWindow(width, height); }

void PluginWindow::bringFrameToTop() {}
