// Fader: geometry, offscreen drawing, the drag loop with fine adjustment, wheel and keys.
#include "gui/controls/Fader.h"

#include "gui/controls/ValueSteps.h"
#include "gui/core/ControlListener.h"
#include "gui/core/OffscreenSurface.h"
#include "gui/core/Pixmap.h"
#include "gui/core/PluginWindow.h"
#include "gui/core/WindowWatch.h"

Fader::Fader(const UiRect& bounds, ControlListener* listener, int32_t tag, int32_t minPos, int32_t maxPos,
             Pixmap* handle, Pixmap* background, const UiPoint& imageOffset, int32_t style)
    : ValueControl(bounds, listener, tag, background), imageOffset(imageOffset), handlePixmap(handle), style(style) {
    if (handlePixmap) {
        handlePixmap->retain();
        handleWidth = handlePixmap->getWidth();
        handleHeight = handlePixmap->getHeight();
    }
    controlWidth = bounds.right - bounds.left;
    controlHeight = bounds.bottom - bounds.top;
    minPosition = minPos - (isHorizontal() ? bounds.left : bounds.top);
    travel = maxPos - minPos;
    setHandleOffset(UiPoint{0, 0});
}

Fader::~Fader() {
    delete offscreen;
    if (handlePixmap) handlePixmap->release();
}

float Fader::valueToFraction(float v) const {
    return (style & (FaderMinLeft | FaderMinTop)) ? v : 1.0f - v;
}

float Fader::fractionToValue(float fraction) const {
    return (style & (FaderMinRight | FaderMinBottom)) ? 1.0f - fraction : fraction;
}

UiRect Fader::handleRect(bool limited) {
    const int32_t position = static_cast<int32_t>(valueToFraction(value) * static_cast<float>(travel));
    UiRect h;
    if (isHorizontal()) {
        h.top = handleOffset.v;
        h.bottom = h.top + handleHeight;
        h.left = position + handleOffset.h;
        if (limited && h.left < travelStart) h.left = travelStart;
        h.right = h.left + handleWidth;
        if (limited && h.right > travelEnd) h.right = travelEnd;
    } else {
        h.left = handleOffset.h;
        h.right = h.left + handleWidth;
        h.top = position + handleOffset.v;
        if (limited && h.top < travelStart) h.top = travelStart;
        h.bottom = h.top + handleHeight;
        if (limited && h.bottom > travelEnd) h.bottom = travelEnd;
    }
    return h;
}

void Fader::draw(DrawSurface* surface) {
    if (offscreen) {
        const UiRect local{0, 0, controlWidth, controlHeight};
        if (background) {
            if (transparent)
                background->drawTransparent(offscreen, local, imageOffset);
            else
                background->draw(offscreen, local, imageOffset);
        }
        if (handlePixmap) {
            const UiRect h = handleRect(true);
            if (transparentHandle)
                handlePixmap->drawTransparent(offscreen, h, UiPoint{0, 0});
            else
                handlePixmap->draw(offscreen, h, UiPoint{0, 0});
        }
        // Background and handle reach the screen in one blit, without flicker.
        if (surface) offscreen->copyTo(surface, bounds, UiPoint{0, 0});
    }
    setDirty(false);
}

void Fader::onMouseDown(DrawSurface* surface, const UiPoint& start) {
    if (!isMouseEnabled() || !surface) return;
    int32_t buttons = surface->getMouseButtons();
    if (buttons == (MouseLeft | KeyControl)) {
        value = getDefaultValue();
        if (isDirty() && listener) listener->valueChanged(surface, this);
        return;
    }
    if (!(buttons & MouseLeft)) return;

    const bool horizontal = isHorizontal();
    int32_t reference = horizontal ? bounds.left + handleOffset.h : bounds.top + handleOffset.v;
    if (freeClick) {
        // The handle's middle follows the cursor.
        reference += (horizontal ? handleWidth : handleHeight) / 2 - 1;
    } else {
        UiRect h = handleRect(false);
        h.left += bounds.left;
        h.right += bounds.left;
        h.top += bounds.top;
        h.bottom += bounds.top;
        if (!h.containsInclusive(start)) return;
        // The grab point stays under the cursor.
        reference += horizontal ? start.h - h.left : start.v - h.top;
    }

    dragReference = reference;
    dragButtons = buttons;
    dragAnchor = value;
    runDrag(surface, start, buttons);
}

bool Fader::dragTo(DrawSurface* surface, const UiPoint& where, int32_t buttons, const WindowWatch& watch) {
    if (!(buttons & MouseLeft)) return true;
    if (buttons != dragButtons && (buttons & KeyShift)) {
        dragButtons = buttons;
        dragAnchor = value;
    } else if (!(buttons & KeyShift)) {
        dragAnchor = value;
    }
    const int32_t along = isHorizontal() ? where.h - dragReference : where.v - dragReference;
    float v = fractionToValue(static_cast<float>(along) / static_cast<float>(travel));
    // Fine adjustment: the handle moves a zoomFactor-th of the cursor's way from the anchor.
    if (buttons & KeyShift) v = dragAnchor + (v - dragAnchor) / zoomFactor;
    value = v;
    clampValue();
    return reportChange(surface, watch);
}

bool Fader::onWheel(DrawSurface* surface, const UiPoint&, float distance) {
    return stepValueByWheel(*this, surface, distance);
}

int32_t Fader::onKeyDown(const UiKey& key) { return stepValueByKey(*this, key); }

void Fader::remakeOffscreen() {
    auto* fresh = new OffscreenSurface(window, controlWidth, controlHeight, colourBlack);
    delete offscreen;
    offscreen = fresh;
}

bool Fader::onAttached(Widget*) {
    remakeOffscreen();
    return true;
}

void Fader::onScaleChanged() {
    if (offscreen) remakeOffscreen();
}

bool Fader::onRemoved(Widget*) {
    delete offscreen;
    offscreen = nullptr;
    return true;
}

void Fader::setTransparentHandle(bool flag) { transparentHandle = flag; }
void Fader::setFreeClick(bool flag) { freeClick = flag; }
bool Fader::getFreeClick() { return freeClick; }

void Fader::setHandleOffset(const UiPoint& point) {
    handleOffset = point;
    if (isHorizontal()) {
        travelStart = minPosition + handleOffset.h;
        travelEnd = travelStart + travel + handleWidth;
    } else {
        travelStart = minPosition + handleOffset.v;
        travelEnd = travelStart + travel + handleHeight;
    }
}

void Fader::setHandlePixmap(Pixmap* pixmap) {
    if (pixmap) pixmap->retain();
    if (handlePixmap) handlePixmap->release();
    handlePixmap = pixmap;
    if (pixmap) {
        handleWidth = pixmap->getWidth();
        handleHeight = pixmap->getHeight();
    }
}

Pixmap* Fader::getHandlePixmap() { return handlePixmap; }
void Fader::setZoomFactor(float f) { zoomFactor = f; }
float Fader::getZoomFactor() { return zoomFactor; }
