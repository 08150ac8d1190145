// A control's mouse loop as the editor serves it: begin-edit, value changes, idle passes, end-edit.
#include <gtest/gtest.h>

#include "tests/gui/EditorHarness.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

// Hands a user change to the effect as automation, as the plug-in's editor does, and marks a
// read-out dirty so the idle passes of the loop have something to redraw.
class AutomatingListener : public ControlListener {
public:
    AutomatingListener(EffectBase* effect, DragControl* readout) : effect(effect), readout(readout) {}
    void valueChanged(DrawSurface*, ValueControl* control) override {
        values.push_back(control->getValue());
        effect->setParameterAutomated(control->getTag(), control->getValue());
        readout->setValue(control->getValue());
    }
    EffectBase* effect;
    DragControl* readout;
    std::vector<float> values;
};

TEST(MouseLoopTest, DragIsBracketedByBeginAndEndEditAndRunsIdlePasses) {
    EditorHarness harness;
    auto* readout = new DragControl({0, 50, 100, 60}, nullptr, -1);
    AutomatingListener listener(harness.effect, readout);
    auto* knob = new DragControl({0, 0, 100, 20}, &listener, 2);
    harness.window->addChild(knob);
    harness.window->addChild(readout);
    ASSERT_NE(harness.child(), nullptr);
    harness.child()->paint();
    RecordingHost::instance().requests.clear();

    // Screen positions; the last one is held long enough for the rate-limited idle pass to come round.
    UiPoint origin = harness.child()->screenOrigin();
    ScriptedInput::instance()
        .press({origin.h + 10, origin.v + 5})
        .moveTo({origin.h + 30, origin.v + 5})
        .moveTo({origin.h + 60, origin.v + 5})
        .hold(40)
        .release();
    harness.child()->mouseDown(MouseLeft, {10, 5});

    ASSERT_FALSE(listener.values.empty());
    EXPECT_FLOAT_EQ(listener.values.front(), 0.1f);
    EXPECT_FLOAT_EQ(listener.values.back(), 0.6f);
    EXPECT_FLOAT_EQ(harness.effect->params[2], 0.6f);

    // Begin-edit first, end-edit last, automation and host idles in between.
    const auto& requests = RecordingHost::instance().requests;
    ASSERT_GE(requests.size(), 4u);
    EXPECT_EQ(requests.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(requests.front().index, 2);
    EXPECT_EQ(requests.back().opcode, audioMasterEndEdit);
    EXPECT_EQ(requests.back().index, 2);
    EXPECT_EQ(harness.requests(audioMasterBeginEdit).size(), 1u);
    EXPECT_EQ(harness.requests(audioMasterAutomate).size(), listener.values.size());
    EXPECT_GE(harness.requests(audioMasterIdle).size(), 1u);

    // The editor's idle pass inside the loop redrew the read-out with the final value.
    EXPECT_FLOAT_EQ(readout->getPreviousValue(), 0.6f);
    EXPECT_EQ(harness.window->getFocusWidget(), knob);
    EXPECT_FALSE(ScriptedInput::instance().runawayReleased());
}

TEST(MouseLoopTest, ClickWithoutThePrimaryButtonStartsNoGesture) {
    EditorHarness harness;
    auto* knob = new DragControl({0, 0, 100, 20}, nullptr, 1);
    harness.window->addChild(knob);
    harness.child()->click({10, 5}, 0, MouseRight);
    EXPECT_TRUE(harness.requests(audioMasterBeginEdit).empty());
    EXPECT_TRUE(harness.requests(audioMasterEndEdit).empty());
}

}  // namespace
