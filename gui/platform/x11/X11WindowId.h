// X11WindowId: the X window an open editor shows in, for hosts that embed an editor by its window id.
#pragma once

#include <cstdint>

class PluginWindow;

class X11WindowId {
public:
    // The editor's child window inside the host's parent; 0 when the plug-in window has none (yet).
    static uintptr_t of(const PluginWindow* window);
};
