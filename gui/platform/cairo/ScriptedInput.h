// The headless backend's mouse, keyboard and clock: a scripted, deterministic input source.
#pragma once

#include "gui/core/UiTypes.h"

#include <cstdint>
#include <deque>

// Stands in for the asynchronous key state, the cursor and the tick count of a real window system.
// A script is a queue of steps; each step is one state of the buttons, modifiers and cursor that the
// next getMouseButtons polls see. A step becomes current as soon as the previous one has been polled
// its number of times, so a control's mouse loop walks through the script one poll at a time and
// ends when the script releases the button. The last step stays in force once the queue runs dry.
//
//   ScriptedInput& input = ScriptedInput::instance();
//   input.reset();
//   input.press({40, 30}, KeyShift).moveTo({40, 10}).release();
//   window.mouseDown(MouseLeft, {40, 30});
class ScriptedInput {
public:
    struct Step {
        int32_t buttons = 0;        // physical buttons and modifiers, in the toolkit's bit values
        UiPoint cursor;             // screen position
        int32_t polls = 1;          // how many getMouseButtons polls see this step
        uint32_t advanceTicks = 0;  // the clock moves on by this much when the step becomes current
    };

    static ScriptedInput& instance();

    // Back to no buttons, cursor (0, 0), clock at startTicks, empty script, no swap, counters cleared.
    void reset(uint32_t startTicks = 1000);

    // Script building; each call appends one step (or changes the last one) and returns the input.
    // A press lasts two polls: the plug-in window's routing and the control's own first check, so the
    // control's loop starts with the step after it.
    ScriptedInput& press(UiPoint where, int32_t modifiers = 0, int32_t buttons = MouseLeft);
    ScriptedInput& moveTo(UiPoint where);                  // same buttons as the step before
    ScriptedInput& setModifiers(int32_t modifiers);        // same buttons and cursor, new modifiers
    ScriptedInput& release();                              // no button, no modifier, same cursor
    ScriptedInput& hold(int32_t polls);                    // the last queued step lasts this many polls
    ScriptedInput& wait(uint32_t ticks);                   // the last queued step advances the clock
    ScriptedInput& then(const Step& step);

    // Immediate state, bypassing the script (the script is cleared).
    void setState(int32_t buttons, UiPoint cursor);
    void setCursor(UiPoint where);
    // The system's button-swap setting; the backend reads it when it registers its window class.
    void setSwapButtons(bool swapped) { swapped_ = swapped; }
    bool swapButtons() const { return swapped_; }
    // The system's double-click time (500 ms after reset).
    void setDoubleClickTime(uint32_t milliseconds) { doubleClickTime_ = milliseconds; }
    uint32_t doubleClickTime() const { return doubleClickTime_; }

    // What the backend reads. pollButtons answers the current step's physical buttons and modifiers,
    // then moves the script on.
    int32_t pollButtons();
    int32_t peekButtons() const { return current_.buttons; }  // the same answer without moving on
    UiPoint cursor() const { return current_.cursor; }

    uint32_t ticks() const { return ticks_; }
    void advance(uint32_t milliseconds) { ticks_ += milliseconds; }
    void sleep(uint32_t milliseconds);

    bool scriptDone() const { return queue_.empty() && pollsLeft_ <= 0; }
    int32_t pendingSteps() const { return int32_t(queue_.size()); }
    uint64_t pollCount() const { return polls_; }
    uint64_t sleepCount() const { return sleeps_; }
    uint64_t sleptTicks() const { return slept_; }
    // Platform calls since the last reset: OLE initialisations minus uninitialisations, and calls of
    // dispatchOnePaintMessage (whether or not a paint was waiting). HeadlessSystem keeps the totals.
    int32_t oleBalance() const;
    int32_t paintDispatches() const;

    // True when a held button was let go because the script had run out long ago (a test that forgot
    // its release would otherwise spin in the control's loop for ever).
    bool runawayReleased() const { return runaway_; }

private:
    ScriptedInput() { reset(); }
    Step& lastQueued();
    void enqueue(const Step& step);
    void moveOn();

    Step current_;
    int32_t pollsLeft_ = 0;  // polls the current step still owes; 0 or less: free to move on
    std::deque<Step> queue_;
    uint32_t ticks_ = 0;
    bool swapped_ = false;
    uint32_t doubleClickTime_ = 500;
    uint64_t polls_ = 0;
    uint64_t sleeps_ = 0;
    uint64_t slept_ = 0;
    uint64_t idlePolls_ = 0;
    bool runaway_ = false;
    int32_t oleBaseline_ = 0;
    int32_t paintBaseline_ = 0;
};
