// RotaryKnob: angle mapping, the two drag modes, wheel and keys, handle drawing.
#include "gui/controls/RotaryKnob.h"

#include <cmath>

#include "gui/controls/ValueSteps.h"
#include "gui/core/ControlListener.h"
#include "gui/core/DrawSurface.h"
#include "gui/core/Pixmap.h"
#include "gui/core/PluginWindow.h"
#include "gui/core/WindowWatch.h"

namespace {

constexpr float twoPi = 6.2831855f;
constexpr float linearPixelsPerRange = 200.0f;  // a linear drag of 200 pixels covers the whole range

bool samePoint(const UiPoint& a, const UiPoint& b) { return a.h == b.h && a.v == b.v; }

}  // namespace

RotaryKnob::RotaryKnob(const UiRect& bounds, ControlListener* listener, int32_t tag, Pixmap* background,
                       Pixmap* handle, const UiPoint& imageOffset)
    : ValueControl(bounds, listener, tag, background), imageOffset(imageOffset), handlePixmap(handle) {
    if (handlePixmap) {
        handlePixmap->retain();
        inset = static_cast<int32_t>(handlePixmap->getWidth() * 0.5 + 2.5);
    }
    radius = static_cast<float>(bounds.right - bounds.left) * 0.5f;
    setStartAngle(3.9269907f);   // 5π/4: lower left
    setRangeAngle(-4.712389f);   // 3π/2 clockwise
}

RotaryKnob::~RotaryKnob() {
    if (handlePixmap) handlePixmap->release();
}

void RotaryKnob::draw(DrawSurface* surface) {
    if (background) {
        if (transparent)
            background->drawTransparent(surface, bounds, imageOffset);
        else
            background->draw(surface, bounds, imageOffset);
    }
    drawHandle(surface);
    setDirty(false);
}

void RotaryKnob::drawHandle(DrawSurface* surface) {
    UiPoint p;
    valueToPoint(p);
    if (handlePixmap) {
        const int32_t hw = handlePixmap->getWidth();
        const int32_t hh = handlePixmap->getHeight();
        const int32_t left = bounds.left + p.h - hw / 2;
        const int32_t top = bounds.top + p.v - hh / 2;
        handlePixmap->drawTransparent(surface, UiRect{left, top, left + hw, top + hh}, UiPoint{0, 0});
        return;
    }
    const int32_t w = bounds.right - bounds.left;
    const int32_t h = bounds.bottom - bounds.top;
    const UiPoint centre{bounds.left + w / 2 - 1, bounds.top + h / 2};
    const UiPoint tip{bounds.left + p.h - 1, bounds.top + p.v};
    // The shadow lies one pixel left of and below the handle line.
    surface->setFrameColour(handleShadowColour);
    surface->moveTo(tip);
    surface->lineTo(centre);
    surface->setFrameColour(handleColour);
    surface->moveTo(UiPoint{tip.h + 1, tip.v - 1});
    surface->lineTo(UiPoint{centre.h + 1, centre.v - 1});
}

void RotaryKnob::setStartAngle(float radians) {
    startAngle = radians;
    recomputeAngles();
}

float RotaryKnob::getStartAngle() { return startAngle; }

void RotaryKnob::setRangeAngle(float radians) {
    rangeAngle = radians;
    recomputeAngles();
}

float RotaryKnob::getRangeAngle() { return rangeAngle; }

void RotaryKnob::recomputeAngles() {
    valuePerRadian = (maximum - minimum) / rangeAngle;
    valueAtZeroAngle = minimum - valuePerRadian * startAngle;
    halfGapAngle = (twoPi - std::fabs(rangeAngle)) * 0.5f;
    setDirty(true);
}

void RotaryKnob::valueToPoint(UiPoint& point) {
    const double angle = (static_cast<double>(value) - valueAtZeroAngle) / valuePerRadian;
    const double reach = static_cast<double>(radius) - inset;
    point.h = static_cast<int32_t>(radius + std::cos(angle) * reach + 0.5);
    point.v = static_cast<int32_t>(radius - std::sin(angle) * reach + 0.5);
}

float RotaryKnob::pointToValue(const UiPoint& point) {
    // Angle of the point around the centre, y pointing up, in [0, 2π).
    float theta = static_cast<float>(std::atan2(static_cast<double>(radius - point.v),
                                                static_cast<double>(point.h - radius)));
    if (theta < 0.0f) theta += twoPi;

    const bool clockwise = rangeAngle < 0.0f;
    // Measured counter-clockwise from the end of the sweep that lies first in that direction.
    float alpha = clockwise ? theta - startAngle - rangeAngle : theta - startAngle;
    float wrapped = alpha;
    if (alpha < 0.0f)
        wrapped = alpha + twoPi;
    else if (alpha > twoPi)
        wrapped = alpha - twoPi;

    const float range = std::fabs(rangeAngle);
    const float gap = halfGapAngle;
    // Inside the dead angle each half snaps to the end it lies next to.
    if (wrapped > range + gap) return clockwise ? maximum : minimum;
    if (wrapped > range) return clockwise ? minimum : maximum;

    float along = alpha;
    if (alpha > range + gap)
        along = alpha - twoPi;
    else if (alpha < -gap)
        along = alpha + twoPi;
    return (clockwise ? maximum : minimum) + along * valuePerRadian;
}

void RotaryKnob::setInset(int32_t pixels) { inset = pixels; }

void RotaryKnob::setHandleShadowColour(UiColor colour) {
    handleShadowColour = colour;
    setDirty(true);
}

void RotaryKnob::setHandleColour(UiColor colour) {
    handleColour = colour;
    setDirty(true);
}

void RotaryKnob::setHandlePixmap(Pixmap* pixmap) {
    if (pixmap) pixmap->retain();  // before the release: the same pixmap may be set again
    if (handlePixmap) handlePixmap->release();
    handlePixmap = pixmap;
    if (pixmap) inset = static_cast<int32_t>(pixmap->getWidth() * 0.5 + 2.5);
}

void RotaryKnob::setZoomFactor(float f) { zoomFactor = f; }

float RotaryKnob::getZoomFactor() { return zoomFactor; }

void RotaryKnob::onMouseDown(DrawSurface* surface, const UiPoint& where) {
    if (!isMouseEnabled() || !surface) return;
    const int32_t buttons = surface->getMouseButtons();
    if (!(buttons & MouseLeft)) return;

    // Control-click restores the default value without an edit gesture.
    if (buttons == (MouseLeft | KeyControl)) {
        value = getDefaultValue();
        if (isDirty() && listener) listener->valueChanged(surface, this);
        return;
    }

    const bool modeLinear = window && window->getKnobMode() == 2;
    const bool altHeld = (buttons & KeyAlt) != 0;
    dragLinear = modeLinear != altHeld;
    dragHandled = UiPoint{-1, -1};
    if (dragLinear) {
        dragRate = linearRate(buttons);
        dragAnchor = where;
        dragBase = value;
        dragButtons = buttons;
    } else {
        dragPrevious = pointToValue(UiPoint{where.h - bounds.left, where.v - bounds.top});
    }
    runDrag(surface, where, buttons);
}

float RotaryKnob::linearRate(int32_t buttons) const {
    const float divisor = (buttons & KeyShift) ? zoomFactor * linearPixelsPerRange : linearPixelsPerRange;
    return (maximum - minimum) / divisor;
}

bool RotaryKnob::dragTo(DrawSurface* surface, const UiPoint& where, int32_t buttons,
                        const WindowWatch& watch) {
    if (samePoint(where, dragHandled)) return true;
    dragHandled = where;
    if (dragLinear) {
        // Right and up count positive.
        const float delta = static_cast<float>((where.h - dragAnchor.h) - (where.v - dragAnchor.v));
        if (buttons != dragButtons) {
            // Re-base so that pressing or releasing Shift does not make the value jump.
            const float newRate = linearRate(buttons);
            dragBase += (dragRate - newRate) * delta;
            dragRate = newRate;
            dragButtons = buttons;
        }
        value = dragBase + delta * dragRate;
        clampValue();
    } else {
        const float v = pointToValue(UiPoint{where.h - bounds.left, where.v - bounds.top});
        const float half = (maximum - minimum) * 0.5f;
        value = v;
        // A jump across the dead angle pins the knob to the end it came from until the cursor
        // returns within half the range of the last accepted value.
        if (dragPrevious - v > half)
            value = maximum;
        else if (v - dragPrevious > half)
            value = minimum;
        else
            dragPrevious = v;
    }
    return reportChange(surface, watch);
}

bool RotaryKnob::onWheel(DrawSurface* surface, const UiPoint&, float distance) {
    return stepValueByWheel(*this, surface, distance);
}

int32_t RotaryKnob::onKeyDown(const UiKey& key) { return stepValueByKey(*this, key); }
