// Scripted buttons, cursor and clock of the headless backend.
#include "gui/platform/cairo/ScriptedInput.h"

#include "gui/platform/cairo/HeadlessSystem.h"

namespace {
// Polls a held button may see after the script has run dry before it is let go.
constexpr uint64_t runawayPollLimit = 1000000;
constexpr int32_t mouseBits = MouseLeft | MouseMiddle | MouseRight;
}  // namespace

ScriptedInput& ScriptedInput::instance() {
    static ScriptedInput input;
    return input;
}

void ScriptedInput::reset(uint32_t startTicks) {
    current_ = Step{};
    pollsLeft_ = 0;
    queue_.clear();
    ticks_ = startTicks;
    swapped_ = false;
    doubleClickTime_ = 500;
    polls_ = sleeps_ = slept_ = idlePolls_ = 0;
    runaway_ = false;
    oleBaseline_ = HeadlessSystem::oleDepth();
    paintBaseline_ = HeadlessSystem::paintDispatchCalls;
}

int32_t ScriptedInput::oleBalance() const { return HeadlessSystem::oleDepth() - oleBaseline_; }

int32_t ScriptedInput::paintDispatches() const { return HeadlessSystem::paintDispatchCalls - paintBaseline_; }

ScriptedInput::Step& ScriptedInput::lastQueued() {
    if (!queue_.empty()) return queue_.back();
    return current_;
}

void ScriptedInput::enqueue(const Step& step) {
    queue_.push_back(step);
    // A script that starts on an idle input is in force at once: cursor reads before the first poll
    // already see its first step.
    if (pollsLeft_ <= 0 && queue_.size() == 1) moveOn();
}

void ScriptedInput::moveOn() {
    if (queue_.empty()) return;
    current_ = queue_.front();
    queue_.pop_front();
    pollsLeft_ = current_.polls;
    ticks_ += current_.advanceTicks;
    idlePolls_ = 0;
}

ScriptedInput& ScriptedInput::press(UiPoint where, int32_t modifiers, int32_t buttons) {
    Step step;
    step.buttons = (buttons & mouseBits) | (modifiers & ~mouseBits);
    step.cursor = where;
    step.polls = 2;
    enqueue(step);
    return *this;
}

ScriptedInput& ScriptedInput::moveTo(UiPoint where) {
    Step step = lastQueued();
    step.cursor = where;
    step.polls = 1;
    step.advanceTicks = 0;
    enqueue(step);
    return *this;
}

ScriptedInput& ScriptedInput::setModifiers(int32_t modifiers) {
    Step step = lastQueued();
    step.buttons = (step.buttons & mouseBits) | (modifiers & ~mouseBits);
    step.polls = 1;
    step.advanceTicks = 0;
    enqueue(step);
    return *this;
}

ScriptedInput& ScriptedInput::release() {
    Step step = lastQueued();
    step.buttons = 0;
    step.polls = 1;
    step.advanceTicks = 0;
    enqueue(step);
    return *this;
}

ScriptedInput& ScriptedInput::hold(int32_t polls) {
    if (queue_.empty()) {
        pollsLeft_ += polls - current_.polls;
        current_.polls = polls;
    } else {
        queue_.back().polls = polls;
    }
    return *this;
}

ScriptedInput& ScriptedInput::wait(uint32_t ticks) {
    if (queue_.empty()) ticks_ += ticks;  // the step is already current
    else queue_.back().advanceTicks += ticks;
    return *this;
}

ScriptedInput& ScriptedInput::then(const Step& step) {
    enqueue(step);
    return *this;
}

void ScriptedInput::setState(int32_t buttons, UiPoint cursor) {
    queue_.clear();
    current_ = Step{};
    current_.buttons = buttons;
    current_.cursor = cursor;
    pollsLeft_ = 0;
    idlePolls_ = 0;
}

void ScriptedInput::setCursor(UiPoint where) {
    queue_.clear();
    current_.cursor = where;
    pollsLeft_ = 0;
}

int32_t ScriptedInput::pollButtons() {
    ++polls_;
    const int32_t answer = peekButtons();
    if (pollsLeft_ > 0) --pollsLeft_;
    if (pollsLeft_ <= 0 && !queue_.empty()) {
        moveOn();
    } else if (queue_.empty() && (current_.buttons & mouseBits)) {
        if (++idlePolls_ > runawayPollLimit) {
            current_.buttons &= ~mouseBits;
            runaway_ = true;
        }
    }
    return answer;
}

void ScriptedInput::sleep(uint32_t milliseconds) {
    ++sleeps_;
    slept_ += milliseconds;
    ticks_ += milliseconds;
}
