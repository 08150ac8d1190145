// Base of controls that show or edit one number: value, range, tag, listener, background, dirty rules.
// Split: all neutral, in gui/core/ValueControl.cpp.
#pragma once

#include <cstdint>

#include "base/RelaxedAtomic.h"
#include "gui/core/Widget.h"

class ControlListener;
class Pixmap;
class WindowWatch;

class ValueControl : public Widget {
public:
    ValueControl(const UiRect& bounds, ControlListener* listener, int32_t tag, Pixmap* background);
    ~ValueControl() override;

    void draw(DrawSurface* surface) override = 0;
    // Dirty while the value differs from the value last drawn, or while the flag is set.
    bool isDirty() override;
    void setDirty(bool flag) override;

    virtual void pumpIdle();  // the editor's rate-limited idle pass, from mouse loops
    virtual void setValue(float v);  // any thread; stored as given
    virtual float getValue();
    virtual void setMinimum(float v);
    virtual float getMinimum();
    virtual void setMaximum(float v);
    virtual float getMaximum();
    virtual void setPreviousValue(float v);
    virtual float getPreviousValue();
    virtual void setDefaultValue(float v);
    virtual float getDefaultValue();
    virtual void setTag(int32_t t);
    virtual void setBackground(Pixmap* pixmap);
    virtual Pixmap* getBackground();
    virtual void setBackgroundOffset(const UiPoint& point);
    virtual void useOwnPositionAsBackgroundOffset();
    virtual void setWheelStep(float v);
    virtual float getWheelStep();
    virtual void clampValue();  // maximum tested first; NaN stays

    int32_t getTag() const { return tag; }
    ControlListener* getListener() const { return listener; }
    UiPoint getBackgroundOffset() const { return backgroundOffset; }
    // True for the second of two clicks within doubleClickInterval (needs a window with an editor).
    bool isDoubleClick();
    // A drag fed by the window's events: the cursor at where (window coordinates) with the buttons and
    // modifiers of that moment; a step without MouseLeft ends the drag. False once the drag is over, or
    // when the host closed the window from inside a request of this step.
    bool continueDrag(DrawSurface* surface, const UiPoint& where, int32_t buttons);

protected:
    // A drag from where, whose set-up the control has done: the edit gesture begins, then each position
    // goes to dragTo until the button is let go, and the gesture ends. Where the window delivers the
    // mouse as events (X11) it returns at once and the window hands on each event (continueDrag); else it
    // follows the mouse here, in the modal loop Windows hosts expect, polling and running the idle pass.
    void runDrag(DrawSurface* surface, UiPoint where, int32_t buttons);
    // One position of a drag, with the buttons and modifiers held there (MouseLeft absent at the end).
    // Answers false when the host closed the window meanwhile: the drag then touches nothing more.
    virtual bool dragTo(DrawSurface* surface, const UiPoint& where, int32_t buttons,
                        const WindowWatch& watch);

    // Steps of a mouse drag, shared by knobs and faders. The host may close the editor, or the plug-in,
    // from inside any request they send: each answers false when that happened, and the drag then returns
    // at once without touching the control.
    bool beginDrag(const WindowWatch& watch);  // the edit gesture starts, the control takes the focus
    bool reportChange(DrawSurface* surface, const WindowWatch& watch);  // the listener hears a new value
    bool followCursor(DrawSurface* surface, UiPoint& where, const WindowWatch& watch);  // next position, idle

    ControlListener* listener = nullptr;
    int32_t tag = 0;
    float previousValue = 1.0f;
    float defaultValue = 0.5f;
    RelaxedAtomic<float> value{0.0f};  // written from the audio and host threads, drawn on the UI thread
    float minimum = 0.0f;
    float maximum = 1.0f;
    float wheelStep = 0.1f;
    int32_t lastClickTime = -1;
    int32_t doubleClickInterval = 250;
    Pixmap* background = nullptr;  // retained
    UiPoint backgroundOffset;
};
