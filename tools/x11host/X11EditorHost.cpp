// X11EditorHost: the host window, the editor opcodes and read-back through Xlib.
#include "tools/x11host/X11EditorHost.h"

#include <chrono>
#include <thread>

#include "tools/hostloader/PluginHost.h"

X11EditorHost::X11EditorHost(const char* display) { display_ = XOpenDisplay(display); }

X11EditorHost::~X11EditorHost() {
    close();
    destroyParent();
    if (display_) XCloseDisplay(display_);
}

bool X11EditorHost::open(PluginHost& host, const std::string& title) {
    if (!display_) {
        error_ = "no X display";
        return false;
    }
    ERect* rect = nullptr;
    if (host.dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect) {
        error_ = "the plug-in gave no editor size";
        return false;
    }
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    if (!parent_) {
        const int screen = DefaultScreen(display_);
        parent_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 40, 40, unsigned(width),
                                      unsigned(height), 0, 0, 0x303030);
        XStoreName(display_, parent_, title.c_str());
        deleteAtom_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display_, parent_, &deleteAtom_, 1);
        XSelectInput(display_, parent_, StructureNotifyMask);
        XMapWindow(display_, parent_);
        // Without a window manager the map is immediate; with one, wait for it.
        XEvent event;
        do XWindowEvent(display_, parent_, StructureNotifyMask, &event);
        while (event.type != MapNotify);
    }
    // The editor may ask for another size (its size menu): the frame follows while the editor is open.
    host.config().sizeWindow = [this](int newWidth, int newHeight) {
        if (!display_ || !parent_ || newWidth <= 0 || newHeight <= 0) return false;
        XResizeWindow(display_, parent_, unsigned(newWidth), unsigned(newHeight));
        XSync(display_, False);
        return true;
    };
    // Linux hosts hand over the X11 window id itself as the pointer.
    if (host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(parent_))) == 0) {
        error_ = "the plug-in refused to open its editor";
        return false;
    }
    host_ = &host;
    return true;
}

void X11EditorHost::close() {
    if (!host_) return;
    host_->dispatch(effEditClose);
    host_->config().sizeWindow = nullptr;
    host_ = nullptr;
    if (display_) XSync(display_, False);
}

void X11EditorHost::destroyParent() {
    if (!display_ || !parent_) return;
    XDestroyWindow(display_, parent_);
    XSync(display_, False);
    parent_ = 0;
}

void X11EditorHost::idle() {
    if (host_) host_->dispatch(effEditIdle);
    if (!display_) return;
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == ClientMessage && Atom(event.xclient.data.l[0]) == deleteAtom_) closeRequested_ = true;
    }
}

int X11EditorHost::childCount() const {
    if (!display_ || !parent_) return 0;
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, parent_, &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    return int(count);
}

Window X11EditorHost::editorWindow() const {
    if (!display_ || !parent_) return 0;
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, parent_, &root, &parent, &children, &count)) return 0;
    const Window first = count > 0 ? children[0] : 0;
    if (children) XFree(children);
    return first;
}

bool X11EditorHost::capture(X11Picture& picture, Window window) const {
    if (!window) window = editorWindow();
    if (!display_ || !window) return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes)) return false;
    XImage* image = XGetImage(display_, window, 0, 0, unsigned(attributes.width), unsigned(attributes.height),
                              AllPlanes, ZPixmap);
    if (!image) return false;
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.rgb.resize(size_t(picture.width) * size_t(picture.height) * 3);
    uint8_t* out = picture.rgb.data();
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            *out++ = uint8_t((p & image->red_mask) >> 16);
            *out++ = uint8_t((p & image->green_mask) >> 8);
            *out++ = uint8_t(p & image->blue_mask);
        }
    }
    XDestroyImage(image);
    return true;
}

void X11EditorHost::toScreen(Window window, int x, int y, int& screenX, int& screenY) const {
    Window child;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &screenX, &screenY, &child);
}

uint64_t X11EditorHost::nowMs() {
    return uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

void X11EditorHost::sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
