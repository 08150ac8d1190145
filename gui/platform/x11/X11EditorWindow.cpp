// The editor's X11 child window: connection, window, exposures, presses, wheel, pointer and cursor.
#include "gui/platform/x11/X11EditorWindow.h"

#include "gui/core/DrawSurface.h"
#include "gui/core/Platform.h"
#include "gui/core/PluginWindow.h"
#include "gui/core/WindowWatch.h"
#include "gui/platform/cairo/DeviceContext.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "gui/platform/x11/ImageUpload.h"
#include "gui/platform/x11/X11ErrorGuard.h"


#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

// Live windows in creation order; touched only on the host's user-interface thread.
std::vector<X11EditorWindow*>& liveWindows() {
    static std::vector<X11EditorWindow*> windows;
    return windows;
}

UiRect unite(const UiRect& a, const UiRect& b) {
    if (a.isEmpty()) return b;
    if (b.isEmpty()) return a;
    return UiRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                  std::max(a.bottom, b.bottom)};
}

// X's button and modifier masks as the toolkit's bits. The server applies the user's button mapping
// (left-handed swap included) before we see a button, so no swap is needed here.
int32_t toolkitState(unsigned int mask) {
    int32_t state = 0;
    if (mask & Button1Mask) state |= MouseLeft;
    if (mask & Button2Mask) state |= MouseMiddle;
    if (mask & Button3Mask) state |= MouseRight;
    if (mask & ShiftMask) state |= KeyShift;
    if (mask & ControlMask) state |= KeyControl;
    if (mask & Mod1Mask) state |= KeyAlt;
    return state;
}

// The nearest shapes of the standard cursor font, by cursor kind (0 is the parent's cursor).
constexpr unsigned int cursorShapes[7] = {0, XC_watch, XC_sb_h_double_arrow, XC_sb_v_double_arrow,
                                          XC_fleur, XC_top_right_corner, XC_top_left_corner};

// The double-click time where X keeps it: the multiClickTime resource (Xt's name), 400 ms without one.
uint32_t readDoubleClickTime(Display* display) {
    for (const char* name : {"multiClickTime", "MultiClickTime"}) {
        if (const char* value = XGetDefault(display, "VozuvAzirOVA", name)) {
            const long ms = std::strtol(value, nullptr, 10);
            if (ms > 0 && ms < 10000) return uint32_t(ms);
        }
    }
    return 400;
}

}  // namespace

X11EditorWindow* X11EditorWindow::create(Window parent, int32_t width, int32_t height, PluginWindow* owner) {
    if (!parent || width <= 0 || height <= 0) return nullptr;
    auto* window = new (std::nothrow) X11EditorWindow;
    if (!window) return nullptr;
    window->owner_ = owner;
    // Out of memory half-way: the destructor takes down what was made (connection, window, image).
    try {
        liveWindows().push_back(window);
        if (window->open(parent, width, height)) return window;
    } catch (...) {
    }
    delete window;
    return nullptr;
}

bool X11EditorWindow::open(Window parent, int32_t width, int32_t height) {
    display_ = XOpenDisplay(nullptr);
    if (!display_) return false;
    X11ErrorGuard::addDisplay(display_);
    XWindowAttributes parentAttributes;
    if (!XGetWindowAttributes(display_, parent, &parentAttributes)) {
        gone_ = true;  // nothing was created
        return false;
    }
    const int screen = XScreenNumberOfScreen(parentAttributes.screen);
    root_ = RootWindowOfScreen(parentAttributes.screen);
    // A visual of our own, whatever the parent's depth: the pixels go up exactly as Cairo made them.
    XVisualInfo info;
    if (!XMatchVisualInfo(display_, screen, 24, TrueColor, &info) || !ImageUpload::fits(info.visual, 24)) {
        gone_ = true;
        return false;
    }
    colormap_ = XCreateColormap(display_, root_, info.visual, AllocNone);
    visual_ = info.visual;
    XSetWindowAttributes attributes{};
    attributes.colormap = colormap_;
    attributes.border_pixel = 0;
    attributes.background_pixel = HeadlessWindow::backgroundRgb;
    // Motion with a button down: a press grabs the pointer for this window, so a drag is followed outside it.
    attributes.event_mask =
        ExposureMask | ButtonPressMask | ButtonReleaseMask | ButtonMotionMask | StructureNotifyMask;
    window_ = XCreateWindow(display_, parent, 0, 0, unsigned(width), unsigned(height), 0, 24, InputOutput,
                            info.visual, CWColormap | CWBorderPixel | CWBackPixel | CWEventMask, &attributes);
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    XMapWindow(display_, window_);
    if (X11ErrorGuard::takeErrors(display_) != 0) return false;  // the parent went away meanwhile
    upload_ = std::make_unique<ImageUpload>(display_, info.visual, width, height);
    image_ = new HeadlessWindow(nullptr, UiRect{0, 0, width, height});
    image_->setUserData(owner_);
    doubleClickTime_ = readDoubleClickTime(display_);
    return true;
}

X11EditorWindow::~X11EditorWindow() {
    auto& windows = liveWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
    if (image_) {
        image_->setUserData(nullptr);
        delete image_;
    }
    upload_.reset();
    if (!display_) return;
    // Errors here (the host destroyed the parent and so this window) are the guard's to swallow.
    if (window_ && !gone_) XDestroyWindow(display_, window_);
    for (Cursor cursor : cursors_)
        if (cursor) XFreeCursor(display_, cursor);
    if (gc_) XFreeGC(display_, gc_);
    if (colormap_) XFreeColormap(display_, colormap_);
    X11ErrorGuard::takeErrors(display_);
    X11ErrorGuard::removeDisplay(display_);
    XCloseDisplay(display_);
}

X11EditorWindow* X11EditorWindow::fromImage(const void* backing) {
    if (!backing) return nullptr;
    for (X11EditorWindow* window : liveWindows())
        if (window->image_ == backing) return window;
    return nullptr;
}

X11EditorWindow* X11EditorWindow::first() {
    const auto& windows = liveWindows();
    return windows.empty() ? nullptr : windows.front();
}

bool X11EditorWindow::paintFirstExposed() {
    for (X11EditorWindow* window : liveWindows())
        if (window->paintExposed()) return true;
    return false;
}

void X11EditorWindow::handleEvents() {
    if (!display_) return;
    // The host may close the editor from inside a control's request; a new editor it opens meanwhile may
    // even sit at this one's address, so the plug-in window's lifeline is asked, never an address.
    WindowWatch watch(owner_);
    bool stepped = false;
    // The waiting events, then one pass more: a look at the pointer when no event moved a drag.
    for (bool pending = true; pending;) {
        pending = XPending(display_) > 0;
        const int32_t depth = pressDepth_;
        try {
            if (pending) {
                XEvent event;
                XNextEvent(display_, &event);
                stepped = dispatch(event) || stepped;
            } else if (!stepped && takesDragSteps()) {
                dragStep(nullptr, 0);
            }
        } catch (...) {
            // Out of memory while handling the event: it is dropped, and a press leaves no mouse loop
            // counted as running, or every later press would be ignored.
            if (watch.windowClosed()) return;
            pressDepth_ = depth;
            pressPolls_ = 0;
        }
        if (watch.windowClosed()) return;
    }
    paintExposed();
    // Inside a control's request to the host: what it drew goes up at every idle pass.
    if (pressDepth_ > 0) show();
}

XMotionEvent X11EditorWindow::lastQueuedMotion(XMotionEvent motion) {
    XEvent next;
    while (XEventsQueued(display_, QueuedAlready) > 0) {
        XPeekEvent(display_, &next);
        if (next.type != MotionNotify || next.xmotion.window != window_ || next.xmotion.state != motion.state) break;
        XNextEvent(display_, &next);
        motion = next.xmotion;
    }
    return motion;
}

bool X11EditorWindow::dispatch(XEvent& event) {
    switch (event.type) {
    case Expose:
        if (event.xexpose.window == window_) {
            const XExposeEvent& e = event.xexpose;
            exposed_ = unite(exposed_, UiRect{e.x, e.y, e.x + e.width, e.y + e.height});
        }
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window_ && !gone_) {
            gone_ = true;
            if (!owner_) break;
            owner_->onNativeDestroy();
            owner_->cancelDrag();  // no release will come to a window that is gone
        }
        break;
    case MotionNotify:
        if (event.xmotion.window == window_ && takesDragSteps()) {
            // One step for a run of motions: each step sends the host a request and uploads the picture.
            // A motion with other buttons or modifiers than the last step is a step of its own, so a
            // control re-bases (Shift's fine adjustment) where the change happened.
            const bool sameState = toolkitState(event.xmotion.state) == stepButtons_;
            const XMotionEvent motion = sameState ? lastQueuedMotion(event.xmotion) : event.xmotion;
            const UiPoint where{motion.x, motion.y};
            dragStep(&where, toolkitState(motion.state));
            return true;
        }
        break;
    case ButtonRelease:
        if (event.xbutton.window == window_ && takesDragSteps() && event.xbutton.button >= Button1 &&
            event.xbutton.button <= Button5) {
            // The event's state is the one before the release.
            const unsigned int released = Button1Mask << (event.xbutton.button - Button1);
            const UiPoint where{event.xbutton.x, event.xbutton.y};
            dragStep(&where, toolkitState(event.xbutton.state & ~released));
            return true;
        }
        break;
    case ButtonPress:
        if (event.xbutton.window != window_ || pressDepth_ > 0 || gone_ || !owner_) break;
        if (owner_->isDragging()) break;  // another button during a drag
        if (event.xbutton.button >= Button1 && event.xbutton.button <= Button3) {
            pressAt(event.xbutton);
        } else if (event.xbutton.button == Button4 || event.xbutton.button == Button5) {
            paintExposed();
            WindowWatch watch(owner_);
            ++pressDepth_;
            const UiPoint device{event.xbutton.x, event.xbutton.y};
            owner_->onWheel(nullptr, DrawSurface::panelPoint(device, UiPoint{}, owner_->getScale()),
                            event.xbutton.button == Button4 ? 1.0f : -1.0f);
            if (!watch.windowClosed()) --pressDepth_;
        }
        break;
    default:
        break;
    }
    return false;
}

void X11EditorWindow::pressAt(const XButtonEvent& press) {
    paintExposed();
    static constexpr int32_t buttonBits[4] = {0, MouseLeft, MouseMiddle, MouseRight};
    pressState_ = buttonBits[press.button] | toolkitState(press.state);
    stepButtons_ = pressState_;
    pressPolls_ = 2;
    pressTime_ = press.time;
    WindowWatch watch(owner_);
    ++pressDepth_;
    {
        const DeviceContext::Held context(DeviceContext::forWindow(image_));
        DrawSurface surface(owner_, context.get(), image_);
        owner_->onMouseDown(&surface, DrawSurface::panelPoint(UiPoint{press.x, press.y}, UiPoint{}, surface.scale));
    }
    if (watch.windowClosed()) return;
    --pressDepth_;
    pressPolls_ = 0;
    show();
}

bool X11EditorWindow::takesDragSteps() const {
    return owner_ && owner_->isDragging() && pressDepth_ == 0 && !gone_;
}

void X11EditorWindow::dragStep(const UiPoint* where, int32_t buttons) {
    WindowWatch watch(owner_);
    ++pressDepth_;
    {
        const DeviceContext::Held context(DeviceContext::forWindow(image_));
        DrawSurface surface(owner_, context.get(), image_);
        UiPoint at;
        if (where) {
            at = DrawSurface::panelPoint(*where, UiPoint{}, surface.scale);
        } else {
            queryPointer();
            at = DrawSurface::panelPoint(pointer_, surface.screenOrigin, surface.scale);
            buttons = buttons_;
        }
        stepButtons_ = buttons;
        owner_->dragTo(&surface, at, buttons);
    }
    if (watch.windowClosed()) return;  // the host closed the editor from inside the step's requests
    --pressDepth_;
    show();
}

bool X11EditorWindow::paintExposed() {
    if (!display_ || gone_) return false;
    XEvent event;
    while (XCheckTypedWindowEvent(display_, window_, Expose, &event)) dispatch(event);
    if (exposed_.isEmpty()) return false;
    const UiRect area = exposed_;
    exposed_ = UiRect{};
    image_->paint(area);
    lost_ = unite(lost_, area);
    show();
    return true;
}

void X11EditorWindow::resize(int32_t width, int32_t height) {
    if (!display_ || gone_ || width <= 0 || height <= 0) return;
    XResizeWindow(display_, window_, unsigned(width), unsigned(height));
    upload_ = std::make_unique<ImageUpload>(display_, visual_, width, height);
    image_->resize(width, height);
    lost_ = UiRect{0, 0, width, height};
}

void X11EditorWindow::show() {
    if (!display_ || gone_ || !upload_) return;
    upload_->upload(image_->image(), window_, gc_, lost_);
    lost_ = UiRect{};
    XFlush(display_);
}

void X11EditorWindow::queryPointer() {
    if (!display_) return;
    Window root, child;
    int rootX, rootY, x, y;
    unsigned int mask;
    // Asked of the root window, which outlives ours, so the answer never fails on a destroyed editor.
    if (XQueryPointer(display_, root_, &root, &child, &rootX, &rootY, &x, &y, &mask)) {
        pointer_ = UiPoint{rootX, rootY};
        buttons_ = toolkitState(mask);
    } else {
        buttons_ = 0;  // on another screen: nothing is held over this window
    }
}

UiPoint X11EditorWindow::pointer() {
    queryPointer();
    return pointer_;
}

int32_t X11EditorWindow::pollButtons() {
    if (pressPolls_ > 0) {
        --pressPolls_;
        return pressState_;
    }
    queryPointer();
    return buttons_;
}

UiPoint X11EditorWindow::screenOrigin() {
    if (!display_ || gone_) return UiPoint{};
    // A drag keeps the origin its press found: the pointer is grabbed, so the host's window cannot be
    // moved under it, and each step's surface would otherwise cost a round trip to the server.
    if (owner_ && owner_->isDragging()) return origin_;
    int x = 0, y = 0;
    Window child;
    if (!XTranslateCoordinates(display_, window_, root_, 0, 0, &x, &y, &child)) return UiPoint{};
    origin_ = UiPoint{x, y};
    return origin_;
}

bool X11EditorWindow::waitForSecondClick() {
    if (!display_ || gone_) return false;
    const UiPoint start = pointer();
    const UiRect box{start.h - 2, start.v - 2, start.h + 2, start.v + 2};
    const uint32_t started = platform::getTicks();
    for (;;) {
        XEvent event;
        if (XCheckTypedWindowEvent(display_, window_, ButtonPress, &event)) {
            if (event.xbutton.button != Button1) continue;
            // Server times of the two presses, so a late idle does not stretch the interval.
            const bool quick = Time(event.xbutton.time - pressTime_) <= doubleClickTime_;
            pressTime_ = event.xbutton.time;
            return quick;
        }
        if (!box.contains(pointer())) return false;
        if (platform::getTicks() - started > doubleClickTime_) return false;
        platform::sleepFor(5);
    }
}

void X11EditorWindow::setCursorShape(int32_t kind) {
    if (!display_ || gone_ || kind < CursorDefault || kind > CursorFalling) return;
    if (kind == CursorDefault) {
        XUndefineCursor(display_, window_);
    } else {
        if (!cursors_[kind]) cursors_[kind] = XCreateFontCursor(display_, cursorShapes[kind]);
        XDefineCursor(display_, window_, cursors_[kind]);
    }
    XFlush(display_);
}
