// ValueControl: value, range and dirty rules shared by knobs, faders, read-outs and meters.
#include "gui/core/ValueControl.h"

#include "gui/core/ControlListener.h"
#include "gui/core/DrawSurface.h"
#include "gui/core/Pixmap.h"
#include "gui/core/Platform.h"
#include "gui/core/PluginWindow.h"
#include "gui/core/WindowWatch.h"

ValueControl::ValueControl(const UiRect& bounds, ControlListener* listener, int32_t tag, Pixmap* background)
    : Widget(bounds), listener(listener), tag(tag), background(background) {
    uint32_t systemInterval = platform::getDoubleClickTime();
    doubleClickInterval = systemInterval < 250u ? 250 : int32_t(systemInterval > 0x7FFFFFFFu ? 0x7FFFFFFFu : systemInterval);
    if (background) background->retain();
}

ValueControl::~ValueControl() {
    if (background) background->release();
}

// A comparison involving a NaN counts as different.
bool ValueControl::isDirty() { return !(previousValue == value.load()) || dirty; }

void ValueControl::setDirty(bool flag) {
    dirty = flag;
    if (flag)
        previousValue = value.load() == -1.0f ? 0.0f : -1.0f;
    else
        previousValue = value.load();
}

void ValueControl::pumpIdle() {
    if (window) window->runEditorIdle();
}

bool ValueControl::beginDrag(const WindowWatch& watch) {
    if (!window) return true;
    window->beginEdit(tag);
    if (watch.windowClosed()) return false;
    window->setFocusWidget(this);
    return true;
}

bool ValueControl::reportChange(DrawSurface* surface, const WindowWatch& watch) {
    if (!isDirty() || !listener) return true;
    listener->valueChanged(surface, this);
    return !watch.windowClosed();
}

bool ValueControl::followCursor(DrawSurface* surface, UiPoint& where, const WindowWatch& watch) {
    surface->getMousePosition(where);
    pumpIdle();
    return !watch.windowClosed();
}

void ValueControl::runDrag(DrawSurface* surface, UiPoint where, int32_t buttons) {
    WindowWatch watch(window);
    // The window knows a drag is on from its start: a press that reaches it meanwhile (another button,
    // dispatched by a host from inside one of the drag's requests) starts nothing.
    if (window) window->followDrag(this);
    if (!beginDrag(watch)) return;
    if (window && window->followsDragEvents()) {
        // The press is the first position; the window hands on the rest as its events come.
        if (!dragTo(surface, where, buttons, watch) && !watch.windowClosed()) window->followDrag(nullptr);
        return;
    }
    for (;;) {
        const int32_t held = surface->getMouseButtons();
        if (!dragTo(surface, where, held, watch) || !followCursor(surface, where, watch)) {
            // Closed: this control went with the window, so its members are not read.
            if (!watch.windowClosed() && window) window->followDrag(nullptr);
            return;
        }
        if (!(held & MouseLeft)) break;
    }
    if (window) {
        window->followDrag(nullptr);
        window->endEdit(tag);
    }
}

bool ValueControl::continueDrag(DrawSurface* surface, const UiPoint& where, int32_t buttons) {
    WindowWatch watch(window);
    if (!dragTo(surface, where, buttons, watch)) return false;
    if (buttons & MouseLeft) return true;
    if (window) window->endEdit(tag);
    return false;
}

bool ValueControl::dragTo(DrawSurface*, const UiPoint&, int32_t, const WindowWatch&) { return true; }

void ValueControl::setValue(float v) { value = v; }
float ValueControl::getValue() { return value; }
void ValueControl::setMinimum(float v) { minimum = v; }
float ValueControl::getMinimum() { return minimum; }
void ValueControl::setMaximum(float v) { maximum = v; }
float ValueControl::getMaximum() { return maximum; }
void ValueControl::setPreviousValue(float v) { previousValue = v; }
float ValueControl::getPreviousValue() { return previousValue; }
void ValueControl::setDefaultValue(float v) { defaultValue = v; }
float ValueControl::getDefaultValue() { return defaultValue; }
void ValueControl::setTag(int32_t t) { tag = t; }

void ValueControl::setBackground(Pixmap* pixmap) {
    // Retained before the old one is released, so setting the same pixmap again cannot delete it.
    if (pixmap) pixmap->retain();
    if (background) background->release();
    background = pixmap;
}

Pixmap* ValueControl::getBackground() { return background; }
void ValueControl::setBackgroundOffset(const UiPoint& point) { backgroundOffset = point; }
void ValueControl::useOwnPositionAsBackgroundOffset() { backgroundOffset = UiPoint{bounds.left, bounds.top}; }
void ValueControl::setWheelStep(float v) { wheelStep = v; }
float ValueControl::getWheelStep() { return wheelStep; }

void ValueControl::clampValue() {
    // One read and at most one write: a value set meanwhile by another thread is kept for the next pass.
    float v = value;
    if (v > maximum)
        value = maximum;
    else if (v < minimum)
        value = minimum;
}

bool ValueControl::isDoubleClick() {
    int32_t now = window ? int32_t(window->getTicks()) : 0;
    // Signed arithmetic as the tick count is handed on; wraps like the 32-bit counter it comes from.
    if (lastClickTime > 0 && now < int32_t(uint32_t(lastClickTime) + uint32_t(doubleClickInterval))) {
        lastClickTime = 0;
        return true;
    }
    lastClickTime = now;
    return false;
}
