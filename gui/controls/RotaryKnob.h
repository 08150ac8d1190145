// RotaryKnob: a value on an arc, turned by pointing (circular) or by dragging (linear), wheel and arrow keys.
#pragma once

#include <cstdint>

#include "gui/core/ValueControl.h"

class RotaryKnob : public ValueControl {
public:
    // The circle fills the control's width; background is drawn from imageOffset, handle may be null.
    RotaryKnob(const UiRect& bounds, ControlListener* listener, int32_t tag, Pixmap* background,
               Pixmap* handle, const UiPoint& imageOffset);
    ~RotaryKnob() override;

    void draw(DrawSurface* surface) override;
    void onMouseDown(DrawSurface* surface, const UiPoint& where) override;
    int32_t onKeyDown(const UiKey& key) override;
    bool onWheel(DrawSurface* surface, const UiPoint& where, float distance) override;

    virtual void drawHandle(DrawSurface* surface);
    virtual void setStartAngle(float radians);  // angle of the minimum: 0 = right, counter-clockwise positive
    virtual float getStartAngle();
    virtual void setRangeAngle(float radians);  // signed sweep from minimum to maximum; negative = clockwise
    virtual float getRangeAngle();
    virtual void valueToPoint(UiPoint& point);  // handle point of the value, control coordinates
    virtual float pointToValue(const UiPoint& point);
    virtual void setInset(int32_t pixels);
    virtual void setHandleShadowColour(UiColor colour);
    virtual void setHandleColour(UiColor colour);
    virtual void setHandlePixmap(Pixmap* pixmap);
    virtual void setZoomFactor(float f);
    virtual float getZoomFactor();

    // Derived angle values from the range and the angles as they are now.
    void recomputeAngles();

    int32_t getInset() const { return inset; }
    float getRadius() const { return radius; }
    Pixmap* getHandlePixmap() const { return handlePixmap; }

protected:
    bool dragTo(DrawSurface* surface, const UiPoint& where, int32_t buttons,
                const WindowWatch& watch) override;

    UiPoint imageOffset;
    UiColor handleColour = colourWhite;
    UiColor handleShadowColour = colourGrey;
    Pixmap* handlePixmap = nullptr;  // retained
    int32_t inset = 3;
    float startAngle = 0.0f;
    float rangeAngle = 1.0f;
    float halfGapAngle = 0.0f;
    float valuePerRadian = 0.0f;
    float valueAtZeroAngle = 0.0f;
    float radius = 0.0f;
    float zoomFactor = 1.5f;

private:
    float linearRate(int32_t buttons) const;  // value per pixel of a linear drag with these modifiers

    // State of a drag, from the press to the release.
    bool dragLinear = false;
    UiPoint dragHandled;          // the last position handled; a position is handled once
    float dragPrevious = 0.0f;    // circular: the last accepted value
    UiPoint dragAnchor;           // linear: where the press was
    float dragBase = 0.0f;        // linear: the value at the anchor at the current rate
    float dragRate = 0.0f;
    int32_t dragButtons = 0;      // linear: the modifiers the rate was chosen for
};
