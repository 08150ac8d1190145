// Interface through which a control reports a change the user made; header-only.
#pragma once

class DrawSurface;
class ValueControl;

class ControlListener {
public:
    virtual ~ControlListener() = default;
    // The user changed control's value; surface is the one the control works with, or null.
    virtual void valueChanged(DrawSurface* surface, ValueControl* control) = 0;
};
