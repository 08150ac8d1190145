// Drags fed by window events (the X11 way) give the values and edit gestures of the modal loop (the
// Windows way): the same scripted input through both, for every drag rule of the knobs and the fader.
#include <gtest/gtest.h>

#include <functional>

#include "gui/controls/FilmstripKnob.h"
#include "gui/platform/cairo/HeadlessSystem.h"
#include "tests/controls/ControlHarness.h"

namespace {

struct Outcome {
    std::vector<float> values;
    std::vector<VstInt32> gesture;  // begin-edit, automation and end-edit requests, in order
    bool dragOver = false;
};

// Builds a control in a fresh window, runs the script (screen offsets from the window's origin) and
// records what the listener and the host heard.
Outcome run(bool events, const std::function<ValueControl*(ControlListener*)>& make,
            const std::function<void(ScriptedInput&, UiPoint origin)>& script, UiPoint press) {
    EditorHarness harness(UiRect{0, 0, 300, 200});
    HeadlessSystem::dragEvents = events;
    DrawingListener listener;
    ValueControl* control = make(&listener);
    control->setValue(0.5f);
    control->setDirty(false);
    harness.window->addChild(control);
    harness.child()->paint();
    RecordingHost::instance().requests.clear();
    script(ScriptedInput::instance(), harness.child()->screenOrigin());
    harness.child()->mouseDown(MouseLeft, press);
    HeadlessSystem::dragEvents = false;

    Outcome outcome{listener.values, {}, !harness.window->isDragging()};
    for (const HostRequest& r : RecordingHost::instance().requests)
        if (r.opcode == audioMasterBeginEdit || r.opcode == audioMasterEndEdit)
            outcome.gesture.push_back(r.opcode);
    return outcome;
}

void expectSame(const std::function<ValueControl*(ControlListener*)>& make,
                const std::function<void(ScriptedInput&, UiPoint)>& script, UiPoint press) {
    const Outcome modal = run(false, make, script, press);
    const Outcome evented = run(true, make, script, press);
    ASSERT_GE(modal.values.size(), 2u);
    EXPECT_EQ(evented.values, modal.values);
    EXPECT_EQ(evented.gesture, (std::vector<VstInt32>{audioMasterBeginEdit, audioMasterEndEdit}));
    EXPECT_EQ(modal.gesture, evented.gesture);
    EXPECT_TRUE(evented.dragOver);
}

ValueControl* knob(ControlListener* listener) {
    return new FilmstripKnob(UiRect{100, 20, 142, 57}, listener, 2, 65, 37, nullptr, {0, 0});
}

ValueControl* fader(ControlListener* listener) { return makeExampleFader(listener); }

// Screen point of a window point.
UiPoint at(UiPoint origin, int32_t h, int32_t v) { return UiPoint{origin.h + h, origin.v + v}; }

TEST(DragEventsTest, KnobCircularDragAcrossTheDeadAngle) {
    GuiEditor::knobMode = 0;
    // From the upper right round the bottom (pinned at 1) and back up the left side.
    expectSame(knob, [](ScriptedInput& input, UiPoint o) {
        input.press(at(o, 135, 30)).hold(3);
        for (UiPoint p : {UiPoint{140, 45}, {123, 56}, {119, 56}, {103, 45}, {103, 30}, {121, 22}, {138, 30}})
            input.moveTo(at(o, p.h, p.v));
        input.release();
    }, {135, 30});
}

TEST(DragEventsTest, KnobLinearDragWithShiftPressedAndReleasedOnTheWay) {
    GuiEditor::knobMode = 2;
    expectSame(knob, [](ScriptedInput& input, UiPoint o) {
        input.press(at(o, 120, 40)).hold(3).moveTo(at(o, 140, 40)).setModifiers(KeyShift);
        input.moveTo(at(o, 150, 30)).moveTo(at(o, 160, 35)).setModifiers(0);
        input.moveTo(at(o, 170, 35)).moveTo(at(o, 90, 60)).release();
    }, {120, 40});
    GuiEditor::knobMode = 0;
}

TEST(DragEventsTest, FaderDragWithFineAdjustment) {
    expectSame(fader, [](ScriptedInput& input, UiPoint o) {
        input.press(at(o, 25, 100)).hold(3).moveTo(at(o, 25, 80)).setModifiers(KeyShift).moveTo(at(o, 25, 40))
            .setModifiers(0).moveTo(at(o, 25, 120)).moveTo(at(o, 25, 300)).release();
    }, {25, 100});
}

// A host that dispatches its window messages from inside a request hands the window a press of another
// button while the drag runs (from its begin-edit, say): it starts no second gesture, by events or by the
// modal loop, on a knob or a fader.
TEST(DragEventsTest, APressOfAnotherButtonDuringADragStartsNoSecondGesture) {
    for (bool events : {false, true})
        for (auto make : {knob, fader}) {
            SCOPED_TRACE(events ? "by events" : "by the modal loop");
            EditorHarness harness(UiRect{0, 0, 300, 200});
            HeadlessSystem::dragEvents = events;
            DrawingListener listener;
            harness.window->addChild(make(&listener));
            harness.child()->paint();
            const UiPoint press = make == knob ? UiPoint{135, 30} : UiPoint{25, 100};
            int pressesLeft = 3;
            RecordingHost::instance().answer = [&](const HostRequest& request) -> VstIntPtr {
                if (request.opcode == audioMasterEndEdit || pressesLeft <= 0) return 0;
                --pressesLeft;
                harness.child()->mouseDown(MouseRight, press);
                return 0;
            };
            RecordingHost::instance().requests.clear();
            const UiPoint o = harness.child()->screenOrigin();
            ScriptedInput::instance()
                .press(at(o, press.h, press.v))
                .hold(3)
                .then({MouseLeft | MouseRight, at(o, press.h + 3, press.v - 20)})
                .moveTo(at(o, press.h + 6, press.v - 40))
                .release();
            harness.child()->mouseDown(MouseLeft, press);
            HeadlessSystem::dragEvents = false;
            EXPECT_EQ(harness.requests(audioMasterBeginEdit).size(), 1u);
            EXPECT_EQ(harness.requests(audioMasterEndEdit).size(), 1u);
            EXPECT_LT(pressesLeft, 3);
            EXPECT_FALSE(harness.window->isDragging());
        }
}

}  // namespace
