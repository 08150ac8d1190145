// The platform seam on the headless backend: scripted clock, counted OLE calls, headless paint dispatch and
// the scripted display scale (getSystemScale).
#include "gui/core/Platform.h"

#include "gui/platform/cairo/HeadlessSystem.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "gui/platform/cairo/ScriptedInput.h"

uint32_t platform::getTicks() { return ScriptedInput::instance().ticks(); }

void platform::sleepFor(uint32_t milliseconds) { ScriptedInput::instance().sleep(milliseconds); }

void platform::initialiseOle() { ++HeadlessSystem::oleInitialisations; }

void platform::uninitialiseOle() { ++HeadlessSystem::oleUninitialisations; }

// The pending paint of the first headless window that has one, as PeekMessage would hand it out.
void platform::dispatchOnePaintMessage() {
    ++HeadlessSystem::paintDispatchCalls;
    if (HeadlessWindow::dispatchOnePendingPaint()) ++HeadlessSystem::paintDispatches;
}

uint32_t platform::getDoubleClickTime() { return ScriptedInput::instance().doubleClickTime(); }

double platform::getSystemScale(NativeHandle) { return HeadlessSystem::displayScale; }
