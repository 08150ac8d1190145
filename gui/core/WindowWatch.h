// WindowWatch: tells code that calls out to the host whether its plug-in window was destroyed meanwhile.
#pragma once

#include <cstdint>

class PluginWindow;

// Shared by a window and the watches on it; freed by whichever of them goes last.
struct WindowLifeline {
    int32_t watchers = 0;
    bool closed = false;
};

// A host may close the editor, or the whole plug-in, from inside any request the toolkit sends it
// (idle, automation, begin or end of an edit, a paint of one of its windows). Code that holds the window,
// a widget, the editor or the effect across such a call watches the window first and, once windowClosed()
// answers true, returns at once without touching any of them.
class WindowWatch {
public:
    explicit WindowWatch(PluginWindow* window);  // null: nothing to watch, never closed
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    bool windowClosed() const { return lifeline && lifeline->closed; }

    // For the window: a new lifeline, and the end of it when the window goes.
    static WindowLifeline* createLifeline();
    static void windowGone(WindowLifeline* lifeline);

private:
    WindowLifeline* lifeline;
};
