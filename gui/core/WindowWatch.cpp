// WindowWatch: the lifeline a plug-in window shares with the loops that call out to the host.
#include "gui/core/WindowWatch.h"

#include "gui/core/PluginWindow.h"

WindowWatch::WindowWatch(PluginWindow* window) : lifeline(window ? window->getLifeline() : nullptr) {
    if (lifeline) ++lifeline->watchers;
}

WindowWatch::~WindowWatch() {
    if (!lifeline) return;
    if (--lifeline->watchers == 0 && lifeline->closed) delete lifeline;
}

WindowLifeline* WindowWatch::createLifeline() { return new WindowLifeline(); }

void WindowWatch::windowGone(WindowLifeline* lifeline) {
    if (!lifeline) return;
    lifeline->closed = true;
    if (lifeline->watchers == 0) delete lifeline;
}
