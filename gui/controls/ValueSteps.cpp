// Wheel and arrow-key steps: move the value, keep it in range, report a change to the listener.
#include "gui/controls/ValueSteps.h"

#include "gui/core/ControlListener.h"
#include "gui/core/DrawSurface.h"
#include "gui/core/ValueControl.h"

namespace {

void stepBy(ValueControl& control, DrawSurface* surface, float step) {
    control.setValue(control.getValue() + step);
    control.clampValue();
    ControlListener* listener = control.getListener();
    if (control.isDirty() && listener) listener->valueChanged(surface, &control);
}

}  // namespace

bool stepValueByWheel(ValueControl& control, DrawSurface* surface, float distance) {
    if (!control.isMouseEnabled()) return false;
    float step = distance * control.getWheelStep();
    if (surface && (surface->getMouseButtons() & KeyShift)) step *= 0.1f;
    stepBy(control, surface, step);
    return true;
}

int32_t stepValueByKey(ValueControl& control, const UiKey& key) {
    float direction;
    switch (key.name) {
    case UiKeyName::Left:
    case UiKeyName::Down: direction = -1.0f; break;
    case UiKeyName::Up:
    case UiKeyName::Right: direction = 1.0f; break;
    default: return -1;
    }
    float step = direction * control.getWheelStep();
    if (key.shift) step *= 0.1f;
    // Keys come from the host, not from a drawing pass: the listener gets no surface.
    stepBy(control, nullptr, step);
    return 1;
}
