// Keeps X protocol errors on the editor's own connections from reaching the host's error handler.
#pragma once

#include "gui/platform/x11/XlibHeaders.h"

// Xlib has one error handler per process, and its default one ends the process. The editor's requests
// can fail when the host destroys the parent window first; those errors are counted per connection and
// otherwise ignored. Errors on every other connection go to the handler that was there before.
class X11ErrorGuard {
public:
    // Called when a connection opens and before it closes; the handler is installed while any is open.
    static void addDisplay(Display* display);
    static void removeDisplay(Display* display);
    // Errors seen on display since the last call; syncs first so that every request has been answered.
    static int takeErrors(Display* display);

private:
    static int handle(Display* display, XErrorEvent* error);
};
