// Headless native half of PluginWindow: the child window as a HeadlessWindow, cursor shapes, the drop
// target flag and the host window chain.
#include "gui/core/PluginWindow.h"

#include "gui/core/DrawSurface.h"
#include "gui/core/Platform.h"
#include "gui/platform/cairo/DeviceContext.h"
#include "gui/platform/cairo/HeadlessSystem.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "gui/platform/cairo/ScriptedInput.h"

#include <cstdio>
#include <cstdlib>

namespace {

// The blending is built in here; the library slot holds a token so the window looks as if it loaded one.
int blendToken = 0;

// Standard cursor resource numbers, indexed by CursorKind; their addresses serve as cursor handles.
int32_t cursorIds[] = {32512, 32514, 32644, 32645, 32646, 32643, 32642};

char className[32];

void registerClass() {
    if (++HeadlessSystem::classUseCount != 1) return;
    std::snprintf(className, sizeof className, "Plugin%08x",
                  unsigned(reinterpret_cast<uintptr_t>(platform::getModuleInstance())));
    HeadlessSystem::classRegistered = true;
    ++HeadlessSystem::classRegistrations;
    HeadlessSystem::buttonsSwapped = ScriptedInput::instance().swapButtons();
}

void unregisterClass() {
    if (--HeadlessSystem::classUseCount == 0) HeadlessSystem::classRegistered = false;
}

void* cursorHandleFor(int32_t id) {
    for (int32_t& known : cursorIds)
        if (known == id) return &known;
    return &cursorIds[0];
}

}  // namespace

void PluginWindow::loadBlendLibrary() { blendLibrary = &blendToken; }

void PluginWindow::freeBlendLibrary() { blendLibrary = nullptr; }

bool PluginWindow::createChildWindow(NativeHandle parent) {
    if (!parent) return false;
    registerClass();
    auto* child = new HeadlessWindow(parent, UiRect{0, 0, getDeviceWidth(), getDeviceHeight()});
    childWindow = child;
    child->setUserData(this);
    child->className = className;
    setDropActive(true);
    return true;
}

void PluginWindow::destroyChildWindow() {
    if (HeadlessWindow* child = HeadlessWindow::fromHandle(childWindow)) {
        child->setUserData(nullptr);
        delete child;
    }
    childWindow = nullptr;
    unregisterClass();
}

DrawSurface* PluginWindow::beginTemporarySurface() {
    if (currentSurface) return currentSurface;
    HeadlessWindow* child = HeadlessWindow::fromHandle(childWindow);
    if (!child) return nullptr;
    return DeviceContext::newSurface(this, child);
}

void PluginWindow::endTemporarySurface(DrawSurface* surface) {
    if (!surface || surface == currentSurface) return;
    DeviceContext* dc = DeviceContext::fromHandle(surface->deviceContext);
    delete surface;
    DeviceContext::release(dc);
}

bool PluginWindow::getCursorPosition(UiPoint& where) {
    const HeadlessWindow* child = HeadlessWindow::fromHandle(childWindow);
    where = DrawSurface::panelPoint(ScriptedInput::instance().cursor(), child ? child->screenOrigin() : UiPoint{}, scale);
    return true;
}

void PluginWindow::setCursor(int32_t kind) {
    if (!savedCursor) savedCursor = cursorHandleFor(HeadlessSystem::currentCursor);
    if (kind == CursorDefault) HeadlessSystem::currentCursor = *static_cast<int32_t*>(savedCursor);
    else if (kind >= CursorWait && kind <= CursorFalling) HeadlessSystem::currentCursor = cursorIds[kind];
}

bool PluginWindow::setDropActive(bool flag) {
    if (!dropActive && !flag) return true;
    HeadlessWindow* child = HeadlessWindow::fromHandle(childWindow);
    if (!child) return false;
    if (flag == dropActive) return true;
    child->setDropTarget(flag);
    // As on Win32: OLE is initialised for the drop registration only, and undone with it.
    if (flag)
        platform::initialiseOle();
    else
        platform::uninitialiseOle();
    dropActive = flag;
    return true;
}

NativeHandle PluginWindow::findHostFrame() {
    HeadlessWindow* current = HeadlessWindow::fromHandle(childWindow);
    if (!current) return nullptr;
    const UiRect r = current->screenRect();
    for (;;) {
        HeadlessWindow* parent = current->parentWindow();
        if (current->hasCaption() || !parent) return current;
        const UiRect p = parent->screenRect();
        if (std::abs(p.width() - r.width()) > 60 || std::abs(p.height() - r.height()) > 60) return current;
        current = parent;
    }
}

bool PluginWindow::getPosition(int32_t& x, int32_t& y) {
    if (!open) return false;
    HeadlessWindow* frame = HeadlessWindow::fromHandle(findHostFrame());
    if (!frame) return false;
    x = frame->position().h;
    y = frame->position().v;
    return true;
}

bool PluginWindow::getSize(UiRect& area) {
    if (!open) return false;
    HeadlessWindow* child = HeadlessWindow::fromHandle(childWindow);
    HeadlessWindow* parent = child ? child->parentWindow() : nullptr;
    if (!parent) return false;  // a parent this system cannot measure
    // The parent's rectangle in the client coordinates of the parent's grand-parent (the screen's
    // when there is none).
    UiRect rect = parent->screenRect();
    HeadlessWindow* up = parent->parentWindow();
    if (HeadlessWindow* grandParent = up ? up->parentWindow() : nullptr) {
        const UiPoint origin = grandParent->screenOrigin();
        rect = UiRect{rect.left - origin.h, rect.top - origin.v, rect.right - origin.h, rect.bottom - origin.v};
    }
    area = rect;
    return true;
}

void PluginWindow::resizeChildWindow(int32_t width, int32_t height) {
    if (HeadlessWindow* child = HeadlessWindow::fromHandle(childWindow)) child->resize(width, height);
}

void PluginWindow::resizeWindowChain(int32_t width, int32_t height) {
    const int32_t border = 2 * HeadlessSystem::dialogFrame;
    HeadlessWindow* current = HeadlessWindow::fromHandle(childWindow);
    if (border == 0) {
        if (current) current->resize(width, height);
        return;
    }
    int32_t extraWidth = 0;
    int32_t extraHeight = 0;
    while (current) {
        HeadlessWindow* parent = current->parentWindow();
        if (!parent || parent->className == "MDIClient") {
            current->resize(width + extraWidth, height + extraHeight);
            return;
        }
        const UiRect inner = current->screenRect();
        const UiRect outer = parent->screenRect();
        current->resize(width + extraWidth, height + extraHeight);
        // The margins add up on the way out, so an outer frame also makes room for the windows between;
        // the stop tests look at this step's margin.
        const int32_t stepWidth = outer.width() - inner.width();
        const int32_t stepHeight = outer.height() - inner.height();
        extraWidth += stepWidth;
        extraHeight += stepHeight;
        if (stepWidth > 80 || stepHeight > 80) return;
        current = parent;
        if (stepWidth == border) {
            current->resize(width + extraWidth, height + extraHeight);
            return;
        }
    }
}

void PluginWindow::bringFrameToTop() { ++HeadlessSystem::framesBroughtToTop; }

// Headless windows get their messages from their callers.
void PluginWindow::handleNativeEvents() {}

// Modal loops, as on Windows, unless a test asks for the event-driven drags of X11.
bool PluginWindow::followsDragEvents() { return HeadlessSystem::dragEvents; }
