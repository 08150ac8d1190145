// Win32 half of PluginWindow: the child window and its procedure, temporary surfaces, cursor, drop target,
// host frame geometry and resizing.
#include "gui/core/PluginWindow.h"

#include <windows.h>
#include <ole2.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "gui/core/DrawSurface.h"
#include "gui/platform/win32/BlendLibrary.h"
#include "gui/platform/win32/PluginDropTarget.h"
#include "gui/platform/win32/Win32Handles.h"
#include "gui/platform/win32/WindowClass.h"

using win32::asWindow;

namespace {

PluginWindow* windowOf(HWND handle) { return reinterpret_cast<PluginWindow*>(GetWindowLongPtrA(handle, GWLP_USERDATA)); }

LRESULT paint(HWND handle, PluginWindow* window) {
    PAINTSTRUCT paintInfo;
    HDC context = BeginPaint(handle, &paintInfo);
    // Out of memory while drawing: the area is validated all the same, or the paint would come back for
    // ever; nothing thrown crosses the window procedure.
    try {
        DrawSurface surface(window, context, handle);
        const RECT& r = paintInfo.rcPaint;
        window->drawArea(&surface, uiscale::coveringPanel(UiRect{r.left, r.top, r.right, r.bottom}, surface.scale));
    } catch (...) {
    }
    EndPaint(handle, &paintInfo);
    return 0;
}

LRESULT mouseDown(HWND handle, PluginWindow* window, LPARAM position) {
    HDC context = GetDC(handle);
    try {
        DrawSurface surface(window, context, handle);
        // A button message's client position: unsigned 16-bit halves of lParam.
        const UiPoint where{static_cast<int32_t>(LOWORD(position)), static_cast<int32_t>(HIWORD(position))};
        window->onMouseDown(&surface, DrawSurface::panelPoint(where, UiPoint{}, surface.scale));
    } catch (...) {
        // Out of memory in a control's handling: the click is dropped.
    }
    ReleaseDC(handle, context);
    return 0;
}

LRESULT CALLBACK windowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    PluginWindow* window = windowOf(handle);
    if (window) {
        switch (message) {
            case WM_DESTROY:
                // The host destroyed its window first: stop drawing, and let OLE drop the target while the
                // window still exists.
                window->setDropActive(false);
                window->onNativeDestroy();
                break;
            case WM_PAINT:
                if (GetUpdateRect(handle, nullptr, FALSE)) return paint(handle, window);
                break;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
                return mouseDown(handle, window, lParam);
            default:
                break;
        }
    }
    return DefWindowProcA(handle, message, wParam, lParam);
}

void resize(HWND handle, int width, int height) { SetWindowPos(handle, nullptr, 0, 0, width, height, SWP_NOMOVE); }

RECT screenRect(HWND handle) {
    RECT r{0, 0, 0, 0};
    GetWindowRect(handle, &r);
    return r;
}

bool hasCaption(HWND handle) { return (GetWindowLongA(handle, GWL_STYLE) & WS_CAPTION) == WS_CAPTION; }

bool isMdiClient(HWND handle) {
    char name[1025];
    if (!GetClassNameA(handle, name, 1024)) return false;
    return std::strcmp(name, "MDIClient") == 0;
}

}  // namespace

void PluginWindow::loadBlendLibrary() { blendLibrary = BlendLibrary::load(); }

void PluginWindow::freeBlendLibrary() {
    BlendLibrary::unload(static_cast<HMODULE>(blendLibrary));
    blendLibrary = nullptr;
}

bool PluginWindow::createChildWindow(NativeHandle parent) {
    if (!parent) return false;
    if (childWindow) destroyChildWindow();  // one class use per window, also when a standalone one reopens
    WindowClass::acquire(windowProcedure);
    HWND child = CreateWindowExA(0, WindowClass::name(), "Window", WS_CHILD | WS_VISIBLE, 0, 0, getDeviceWidth(),
                                 getDeviceHeight(), asWindow(parent), nullptr, win32::moduleInstance(), nullptr);
    if (!child) {
        WindowClass::release();
        return false;
    }
    childWindow = child;
    SetWindowLongPtrA(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    setDropActive(true);
    return true;
}

void PluginWindow::destroyChildWindow() {
    if (!childWindow) return;
    HWND child = asWindow(childWindow);
    // A window the host already destroyed (or whose handle now names another window) is left alone.
    if (IsWindow(child) && windowOf(child) == this) {
        SetWindowLongPtrA(child, GWLP_USERDATA, 0);
        DestroyWindow(child);
    }
    childWindow = nullptr;
    WindowClass::release();
}

DrawSurface* PluginWindow::beginTemporarySurface() {
    if (currentSurface) return currentSurface;
    if (!childWindow) return nullptr;
    // Without memory for the surface there is nothing to draw on; the context goes back at once.
    HDC context = GetDC(asWindow(childWindow));
    DrawSurface* surface = new (std::nothrow) DrawSurface(this, context, childWindow);
    if (!surface) ReleaseDC(asWindow(childWindow), context);
    return surface;
}

void PluginWindow::endTemporarySurface(DrawSurface* surface) {
    if (!surface || surface == currentSurface) return;
    HDC context = win32::asDc(surface->deviceContext);
    HWND handle = asWindow(surface->windowHandle);
    delete surface;
    if (context) ReleaseDC(handle, context);
}

bool PluginWindow::getCursorPosition(UiPoint& where) {
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    UiPoint origin;
    if (childWindow) {
        const RECT frame = screenRect(asWindow(childWindow));
        origin = UiPoint{frame.left, frame.top};
    }
    where = DrawSurface::panelPoint(UiPoint{cursor.x, cursor.y}, origin, scale);
    return true;
}

void PluginWindow::setCursor(int32_t kind) {
    // With no cursor shown yet, the default to come back to is the class's arrow; a null saved cursor
    // would be taken for "none saved" and replaced by whatever shape is set next.
    if (!savedCursor) savedCursor = GetCursor();
    if (!savedCursor) savedCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    WORD systemCursor = 0;
    switch (kind) {
        case CursorDefault:
            SetCursor(static_cast<HCURSOR>(savedCursor));
            return;
        case CursorWait: systemCursor = 32514; break;        // IDC_WAIT
        case CursorHorizontal: systemCursor = 32644; break;  // IDC_SIZEWE
        case CursorVertical: systemCursor = 32645; break;    // IDC_SIZENS
        case CursorMove: systemCursor = 32646; break;        // IDC_SIZEALL
        case CursorRising: systemCursor = 32643; break;      // IDC_SIZENESW
        case CursorFalling: systemCursor = 32642; break;     // IDC_SIZENWSE
        default: return;
    }
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(systemCursor)));
}

namespace {

// What a window's drop registration holds. OLE is initialised for the registration only, on the thread that
// opens the window, and only what succeeded is undone, on that same thread: the host's apartment and its own
// initialisations stay as they were.
struct DropRegistration {
    PluginDropTarget* target = nullptr;  // one reference, so it can be cut off from the window
    DWORD thread = 0;
    bool oleHeld = false;
};

}  // namespace

bool PluginWindow::setDropActive(bool flag) {
    auto* registration = static_cast<DropRegistration*>(nativeState);
    if (flag == (registration != nullptr)) {
        dropActive = flag;
        return true;
    }
    if (flag) {
        if (!childWindow) return false;
        // Without memory for the registration the window goes without a drop target, as below.
        registration = new (std::nothrow) DropRegistration();
        if (!registration) return false;
        registration->target = new (std::nothrow) PluginDropTarget(this);
        if (!registration->target) {
            delete registration;
            return false;
        }
        registration->thread = GetCurrentThreadId();
        // Fails (RPC_E_CHANGED_MODE) on a thread of the multithreaded apartment, where OLE drag and drop
        // cannot work: the window then goes without a drop target.
        registration->oleHeld = SUCCEEDED(OleInitialize(nullptr));
        registration->target->AddRef();
        const bool registered =
            registration->oleHeld && SUCCEEDED(RegisterDragDrop(asWindow(childWindow), registration->target));
        nativeState = registration;
        dropActive = true;
        if (!registered) setDropActive(false);
        return registered;
    }
    if (childWindow) RevokeDragDrop(asWindow(childWindow));
    // OLE may still hold the target (a drag in progress, a revocation refused): it must not reach this window.
    registration->target->detach();
    registration->target->Release();
    // An initialisation made on another thread cannot be undone from here; it stays with that thread.
    if (registration->oleHeld && registration->thread == GetCurrentThreadId()) OleUninitialize();
    delete registration;
    nativeState = nullptr;
    dropActive = false;
    return true;
}

NativeHandle PluginWindow::findHostFrame() {
    if (!childWindow) return nullptr;
    HWND current = asWindow(childWindow);
    const RECT editor = screenRect(current);
    const LONG editorWidth = editor.right - editor.left, editorHeight = editor.bottom - editor.top;
    for (;;) {
        HWND parent = GetParent(current);
        if (hasCaption(current) || !parent) return current;
        const RECT outer = screenRect(parent);
        if (std::labs((outer.right - outer.left) - editorWidth) > 60 ||
            std::labs((outer.bottom - outer.top) - editorHeight) > 60) {
            return current;
        }
        current = parent;
    }
}

bool PluginWindow::getPosition(int32_t& x, int32_t& y) {
    if (!open) return false;
    HWND frame = asWindow(findHostFrame());
    const RECT r = screenRect(frame);
    POINT corner{r.left, r.top};
    MapWindowPoints(nullptr, frame ? GetParent(frame) : nullptr, &corner, 1);
    x = corner.x;
    y = corner.y;
    return true;
}

bool PluginWindow::getSize(UiRect& area) {
    if (!open) return false;
    HWND parent = childWindow ? GetParent(asWindow(childWindow)) : nullptr;
    const RECT r = screenRect(parent);
    HWND grandParent = parent ? GetParent(parent) : nullptr;
    HWND reference = grandParent ? GetParent(grandParent) : nullptr;
    // The rectangle keeps its size; only its position changes coordinate system.
    POINT corner{r.left, r.top};
    MapWindowPoints(nullptr, reference, &corner, 1);
    area = UiRect{corner.x, corner.y, corner.x + (r.right - r.left), corner.y + (r.bottom - r.top)};
    return true;
}

void PluginWindow::resizeChildWindow(int32_t width, int32_t height) {
    if (childWindow) resize(asWindow(childWindow), width, height);
}

void PluginWindow::resizeWindowChain(int32_t width, int32_t height) {
    const int border = 2 * GetSystemMetrics(SM_CYDLGFRAME);
    HWND current = asWindow(childWindow);
    if (border == 0) {
        if (current) resize(current, width, height);
        return;
    }
    // Each enclosing window keeps the margins it had around the window inside it.
    int extraWidth = 0, extraHeight = 0;
    while (current) {
        HWND parent = GetParent(current);
        if (!parent || isMdiClient(parent)) {
            resize(current, width + extraWidth, height + extraHeight);
            return;
        }
        const RECT inner = screenRect(current);
        const RECT outer = screenRect(parent);
        resize(current, width + extraWidth, height + extraHeight);
        const int marginWidth = (outer.right - outer.left) - (inner.right - inner.left);
        const int marginHeight = (outer.bottom - outer.top) - (inner.bottom - inner.top);
        if (marginWidth > 80 || marginHeight > 80) return;
        extraWidth += marginWidth;
        extraHeight += marginHeight;
        current = parent;
        if (marginWidth == border) {
            resize(current, width + extraWidth, height + extraHeight);
            return;
        }
    }
}

void PluginWindow::bringFrameToTop() {
    HWND parent = childWindow ? GetParent(asWindow(childWindow)) : nullptr;
    HWND grandParent = parent ? GetParent(parent) : nullptr;
    if (grandParent) BringWindowToTop(grandParent);
}

// Messages arrive through the host's message loop and the window procedure.
void PluginWindow::handleNativeEvents() {}

// Windows hosts expect a control to follow the mouse in a modal loop; its message loop runs inside.
bool PluginWindow::followsDragEvents() { return false; }
