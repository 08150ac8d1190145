// Fader: a handle pixmap along a straight track, composed offscreen and copied to the window in one blit.
#pragma once

#include <cstdint>

#include "gui/core/ValueControl.h"

class OffscreenSurface;

// Style bits of a fader; each fader gets exactly one of the four end bits, matching its orientation.
enum FaderStyle : int32_t {
    FaderHorizontal = 1,
    FaderVertical = 2,  // marks the vertical kind; the geometry looks at FaderHorizontal only
    FaderMinLeft = 8,
    FaderMinRight = 16,
    FaderMinTop = 32,
    FaderMinBottom = 64,
};

class Fader : public ValueControl {
public:
    // minPosition and maxPosition: window coordinates along the track between which the handle travels.
    Fader(const UiRect& bounds, ControlListener* listener, int32_t tag, int32_t minPosition, int32_t maxPosition,
          Pixmap* handle, Pixmap* background, const UiPoint& imageOffset, int32_t style);
    ~Fader() override;

    void draw(DrawSurface* surface) override;
    void onMouseDown(DrawSurface* surface, const UiPoint& where) override;
    int32_t onKeyDown(const UiKey& key) override;
    bool onWheel(DrawSurface* surface, const UiPoint& where, float distance) override;
    bool onRemoved(Widget* parent) override;
    bool onAttached(Widget* parent) override;
    void onScaleChanged() override;

    virtual void setTransparentHandle(bool flag);
    virtual void setFreeClick(bool flag);
    virtual bool getFreeClick();
    virtual void setHandleOffset(const UiPoint& point);
    virtual void setHandlePixmap(Pixmap* pixmap);
    virtual Pixmap* getHandlePixmap();
    virtual void setZoomFactor(float f);
    virtual float getZoomFactor();

    // Handle rectangle in control coordinates for the current value, optionally kept inside the travel.
    UiRect handleRect(bool limited);

    int32_t getTravel() const { return travel; }
    int32_t getTravelStart() const { return travelStart; }
    int32_t getTravelEnd() const { return travelEnd; }
    int32_t getMinPosition() const { return minPosition; }
    int32_t getStyle() const { return style; }
    OffscreenSurface* getOffscreen() const { return offscreen; }

protected:
    bool dragTo(DrawSurface* surface, const UiPoint& where, int32_t buttons,
                const WindowWatch& watch) override;
    bool isHorizontal() const { return (style & FaderHorizontal) != 0; }
    // Drawing fraction along the track (0 at the left or top end).
    float valueToFraction(float v) const;
    // Value of a fraction along the track.
    float fractionToValue(float fraction) const;
    // A new off-screen bitmap at the window's scale; the old one stays if making it fails.
    void remakeOffscreen();

    UiPoint imageOffset;
    UiPoint handleOffset;
    Pixmap* handlePixmap = nullptr;  // retained
    OffscreenSurface* offscreen = nullptr;  // owned, present while attached
    int32_t handleWidth = 1;
    int32_t handleHeight = 1;
    int32_t travel = 0;
    int32_t style = 0;
    int32_t travelStart = 0;
    int32_t travelEnd = 0;
    int32_t minPosition = 0;
    int32_t controlWidth = 0;
    int32_t controlHeight = 0;
    float zoomFactor = 10.0f;
    bool transparentHandle = true;
    bool freeClick = true;

private:
    // State of a drag, from the press to the release.
    int32_t dragReference = 0;  // window coordinate along the track where the fraction is 0
    int32_t dragButtons = 0;    // the modifiers when the anchor was last taken with Shift down
    float dragAnchor = 0.0f;    // the value fine adjustment starts from
};
