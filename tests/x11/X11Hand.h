// The user's hand on the private Xvfb: XTest on a connection of its own, acting from its own thread while
// the host's thread idles the editor; and the screen position of a knob.
#pragma once

#include <chrono>
#include <thread>

#include "tests/x11/X11Session.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

struct Hand {
    Hand() : display(XOpenDisplay(privateDisplay().c_str())) {}
    ~Hand() {
        if (display) XCloseDisplay(display);
    }
    void moveTo(int x, int y) {
        XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
        XSync(display, False);
    }
    void button(unsigned int button, bool down) {
        XTestFakeButtonEvent(display, button, down, CurrentTime);
        XSync(display, False);
    }
    void key(KeySym sym, bool down) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, sym), down, CurrentTime);
        XSync(display, False);
    }
    void control(bool down) { key(XK_Control_L, down); }
    Display* display;
};

// Waits (without idling the editor) until pred holds; the host thread does the idling.
template <typename Pred>
bool waitFor(Pred pred, int timeoutMs = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Screen position of the centre of a parameter's knob.
struct KnobOnScreen {
    KnobOnScreen(NativeInstance& native, VstInt32 index) {
        HeadlessReference layout;
        const UiPoint centre = layout.knobCentre(index);
        native.window->toScreen(native.window->editorWindow(), centre.h, centre.v, x, y);
    }
    int x = 0;
    int y = 0;
};
